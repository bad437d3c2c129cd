#pragma once

#include "db/DataSet.h"
#include "db/format/ParadoxTable.h"

#include <QLockFile>
#include <QStringList>

#include <memory>

// An index of a table: its name ("" for the primary index), its fields and options.
struct TIndexDef {
    QString Name;
    QStringList Fields;
    bool Primary = false;
    bool Unique = false;
};

// A Paradox table opened directly by its file name in a folder. Records are
// read in the table's order (key order for a keyed table). Single records are
// edited in place: Edit locks the record against other programs, Post writes
// only the changed fields.
class TTable : public TDataSet {
public:
    TTable();
    ~TTable() override;

    const QString& DatabaseName() const { return FDatabaseName; }
    void SetDatabaseName(const QString& folder);
    // The file name, with or without ".db", in any letter case.
    const QString& TableName() const { return FTableName; }
    void SetTableName(const QString& name);
    // True when the table file exists.
    bool Exists() const;

    // Opens the table's record in edit state after re-reading it from the file.
    // Raises EDBEngineError(Locked) when another program has the record in edit.
    void Edit() override;
    // Writes the fields set since Edit. Raises EDBEngineError(Locked) when the
    // record was changed by another program since it was read, and the engine
    // errors of the writer (key fields, exclusive use); the record then stays
    // in edit state so the caller may cancel.
    void Post() override;
    void Cancel() override;

    // Finds the record whose key fields equal `key` (one value per key field,
    // converted to the key's types) through the primary index
    // and makes it current (true), or leaves the cursor and returns false.
    // Raises EDBEngineError(NotFound) for a table without a key.
    bool FindKey(const std::vector<TValue>& key);
    int KeyFieldCount() const;
    // The primary index (first KeyFieldCount fields) when the table is keyed.
    std::vector<TIndexDef> IndexDefs() const;

    // Deletes the (closed) table with all its companion files.
    void DeleteTable();

    QString DisplayName() const override;

protected:
    void DoOpen(std::vector<TFieldDef>& fields) override;
    void DoClose() override;
    int SourceRowCount() const override;
    TValue SourceValue(int row, int field) const override;

private:
    struct TRow {
        TRecordPos Pos;
        std::vector<std::uint8_t> Bytes;
    };
    std::filesystem::path ResolvedFile() const;
    void ReleaseLock();

    QString FDatabaseName;
    QString FTableName;
    std::filesystem::path FFile;
    std::unique_ptr<TParadoxTable> FParadox;
    std::vector<TRow> FSourceRows;
    std::unique_ptr<QLockFile> FRecordLock;
};
