#pragma once

#include <QStringList>

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
    int FMovedCount = 0;
};
