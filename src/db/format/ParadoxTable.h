#pragma once

#include "DBEngineError.h"
#include "ParadoxTypes.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <vector>

// Where a record lies in its .db file. Valid until the table is written by
// anything other than an in-place update.
struct TRecordPos {
    std::uint16_t Block = 0; // 1-based data block number
    int Slot = 0;            // 0-based record index inside the block
    qint64 Offset = 0;       // byte offset of the record in the file
};

class TParadoxTable;

// One record of a table during a visit. Decoding is lazy: a field costs only
// when it is asked for. The view is valid only inside the visit callback.
class TRecordView {
public:
    TRecordView(const TParadoxTable& table, std::span<const std::uint8_t> bytes, TRecordPos pos)
        : FTable(table), FBytes(bytes), FPos(pos) {}

    // The value of field `field` (0-based). Blob values are read from the .mb
    // file; raises EDBEngineError when the blob reference is damaged.
    TValue Value(int field) const;
    bool IsBlank(int field) const;
    // The raw bytes of the whole record and of one field.
    std::span<const std::uint8_t> Bytes() const { return FBytes; }
    std::span<const std::uint8_t> FieldBytes(int field) const;
    TRecordPos Position() const { return FPos; }

private:
    const TParadoxTable& FTable;
    std::span<const std::uint8_t> FBytes;
    TRecordPos FPos;
};

// A Paradox table file (.db, versions 3.0 to 7.x) opened for reading, with its
// companions (.px, .mb) found beside it without regard to case. Records are
// visited in block-chain order, which for a keyed table is key order.
class TParadoxTable {
public:
    // Opens and validates the header. `file` may be given with or without the
    // .db extension and in any letter case. Raises EDBEngineError naming the
    // file when it is missing, damaged, encrypted or not a table. Version 3.x
    // files carry no code page; `fallbackCodePage` is used for them.
    static std::unique_ptr<TParadoxTable> Open(const std::filesystem::path& file,
                                               int fallbackCodePage = 1252);
    ~TParadoxTable();

    const std::filesystem::path& FileName() const;
    const std::vector<TFieldDef>& Fields() const;
    // 0-based index of the field named `name` (case-insensitive), or -1.
    int FieldIndex(const QString& name) const;
    int KeyFieldCount() const;
    int FileVersion() const; // the header's version byte: 3, 4, 5-9, 10-11, 12
    int CodePage() const;
    qint64 RecordCount() const;
    int RecordSize() const;

    // Walks the whole block chain, checking every link and count, without
    // decoding records. Raises EDBEngineError(Corrupt) as ForEachRecord does.
    void Validate() const;

    // Calls visit(record) for every record in chain order until it returns
    // false. Memory stays bounded by one block. Raises EDBEngineError when the
    // chain is damaged (a loop, a link out of the file, a wrong count).
    void ForEachRecord(const std::function<bool(const TRecordView&)>& visit) const;

    // Finds the record whose key fields equal `key` (KeyFieldCount values),
    // through the primary index (any number of levels) when there is one,
    // else along the sorted chain, stopping at the block that must hold the
    // key. Keys in a collation other than byte order are searched record by
    // record. Calls visit for it and returns true, or returns false (also for
    // a key that no record could hold: a value of the wrong kind or too long).
    bool FindKey(const std::vector<TValue>& key,
                 const std::function<void(const TRecordView&)>& visit) const;

    // Re-reads the record at `pos` from the file (after a possible change by
    // another writer); false when no record is there any more.
    bool ReadAt(TRecordPos pos, const std::function<void(const TRecordView&)>& visit) const;

    class TImpl;
    const TImpl& Impl() const { return *FImpl; }

private:
    explicit TParadoxTable(std::unique_ptr<TImpl> impl);
    std::unique_ptr<TImpl> FImpl;
};

// A change to one field of a record.
struct TFieldChange {
    int Field = 0; // 0-based
    TValue Value;
};

// Writes the changed fields of the record at `pos` in place: exactly the bytes
// of those fields and nothing else, in one write, under an exclusive lock on
// the table file. `expected` is the record's bytes as the caller read them;
// when the record on disk differs (another writer changed it) nothing is
// written and EDBEngineError(Locked) is raised.
//
// A memo (M) value is text in the table's code page. One that fits the
// field's leader (size - 10 bytes) is stored in the record alone and the .mb
// is left as it is; a blank or empty value clears the field. A longer one is
// appended to the .mb as a new block (TBlobAppender: one-entry type-3 block up
// to 2 KB, else a type-2 block) under the next modification number, which is
// bumped in the .mb header; the leader holds the value's first bytes. The old
// value's space stays allocated. The .mb is locked too while it grows, and the
// new block and count are synced before the record is written, so a failure or
// crash leaves at worst an unreferenced block. A failed append cuts the .mb
// back to its old size, leaves the record as it was and raises
// EDBEngineError(General) naming the .mb.
//
// Raises EDBEngineError(KeyViolation) for a key field or a field of a
// maintained secondary index; EDBEngineError(General) for an autoincrement
// field, any other blob field (formatted memo, binary, OLE, graphic) or a value
// that does not fit; EDBEngineError(NotFound) for a memo field when the table
// has no .mb; EDBEngineError(Corrupt) when the table or its .mb (for a memo
// change) fails validation; EDBEngineError(ExclusiveOpen) when another process
// holds the lock (TFileLock) on the .db, or on the .mb when one must be
// appended; and EDBEngineError(ReadOnly) when a file to be written cannot be.
// Nothing is written in any of these cases.
void UpdateRecordInPlace(const std::filesystem::path& file, TRecordPos pos,
                         std::span<const std::uint8_t> expected,
                         const std::vector<TFieldChange>& changes);

// Creates a new table (replacing nothing: raises when the file exists) and
// appends records. Keyed tables (keyFields > 0) take their records in
// ascending key order, compared as encoded bytes (numbers by value, text by
// its code-page bytes, so "B" < "a"), and get a primary index; a key out of
// order or repeated raises EDBEngineError(KeyViolation). A blank
// autoincrement value takes the next number. The files appear complete under
// their final names only when Commit() succeeds; dropping the writer before
// that leaves nothing behind.
class TParadoxWriter {
public:
    TParadoxWriter(const std::filesystem::path& file, std::vector<TFieldDef> fields,
                   int keyFields = 0, int codePage = 1252);
    ~TParadoxWriter();
    void Append(const std::vector<TValue>& values);
    void Commit();

private:
    class TImpl;
    std::unique_ptr<TImpl> FImpl;
};

// Deletes a table and all of its companion files (same base name, any
// extension of the format, found without regard to case).
void DeleteParadoxTable(const std::filesystem::path& file);

// Resolves a table name given with or without extension, in any case, in
// `folder`. Returns the existing file, or std::nullopt.
std::optional<std::filesystem::path> FindTableFile(const std::filesystem::path& folder,
                                                   const QString& name);
