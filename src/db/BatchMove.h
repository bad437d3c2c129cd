#pragma once

#include "db/format/ParadoxTypes.h"

#include <QStringList>

#include <functional>
#include <vector>

class TDataSet;
class TTable;

// Copies the records of a dataset that pass its filter, in their order, into
// a new Paradox table with the same columns (names, types, text widths): the
// destination table's DatabaseName and TableName say where. A table of that
// name is replaced.
class TBatchMove {
public:
    void SetSource(TDataSet* source) { FSource = source; }
    void SetDestination(TTable* destination) { FDestination = destination; }
    // "Dest=Source" or "Name" entries choose and rename columns; empty: every
    // column under its own name.
    QStringList& Mappings() { return FMappings; }
    // Called with each record's values, in the destination's column order,
    // before the record is written; it may change them. Empty: none.
    using TRecordHook = std::function<void(std::vector<TValue>& values)>;
    void SetRecordHook(TRecordHook hook) { FRecordHook = std::move(hook); }

    // Runs the copy from the source's first record; an open source is read as
    // it is, a closed one is opened and closed again. The destination must be
    // closed. Returns the number of records copied. Raises EDBEngineError; on
    // failure no destination table is left behind.
    int Execute();
    int MovedCount() const { return FMovedCount; }

private:
    TDataSet* FSource = nullptr;
    TTable* FDestination = nullptr;
    QStringList FMappings;
    TRecordHook FRecordHook;
    int FMovedCount = 0;
};
