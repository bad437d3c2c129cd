#pragma once

#include "FileLock.h"
#include "FileReader.h"

#include <QByteArray>

#include <cstdint>
#include <span>
#include <utility>
#include <vector>

// The layout of .mb blocks, shared by the writer of new tables and the
// in-place update of existing ones. The file is made of 4 KB chunks; a block
// starts with {u8 type, u16 chunk count}.
namespace BlobLayout {

constexpr qint64 ChunkSize = 4096;
// Values up to this size share type-3 blocks; larger ones get a type-2 block each.
constexpr std::size_t GroupLimit = 2048;
// A type-3 block: a 12-byte head, 64 entries of 5 bytes, then the data in
// 16-byte chunks from this one on. Entries are handed out from 63 downwards.
constexpr int GroupFirstChunk = 21;
constexpr int GroupChunks = 256;
constexpr int GroupLastEntry = 63;
// A reference keeps the entry index in its low byte, so blocks must start below this.
constexpr qint64 MaxOffset = 0xFFFFFF00LL;
// Where the header block keeps the modification number handed out last.
constexpr qint64 ModCountOffset = 3;

// The header block of a new file; its free-space directory is empty.
std::vector<std::uint8_t> HeaderBlock(std::uint16_t modCount);

// A type-3 block with no entry in use.
std::vector<std::uint8_t> EmptyGroup();

// The 16-byte chunks a value of `length` bytes (at most GroupLimit) takes in a type-3 block.
int GroupChunksFor(std::size_t length);

// Puts `value` into entry `index` of `group`, its data from 16-byte chunk `chunk` on.
void PutGroupEntry(std::span<std::uint8_t> group, int index, int chunk,
                   std::span<const std::uint8_t> value, std::uint16_t mod);

// The size of the type-2 block for a value of `length` bytes: whole chunks
// for its 9-byte head and the value.
qint64 SingleBlockSize(std::size_t length);

// The type-2 block holding `value` alone.
std::vector<std::uint8_t> SingleBlock(std::span<const std::uint8_t> value, std::uint16_t mod);

} // namespace BlobLayout

// The .mb file of a table: blob values in type-2 blocks (one value) and
// type-3 blocks (up to 64 small values).
class TBlobFile {
public:
    // Opens and checks the header block. Raises EDBEngineError naming the file.
    TBlobFile(const std::filesystem::path& path, const QString& where);

    // The value that a record's 10-byte reference points at: `pointer` is the
    // block offset with the entry index in its low byte, `length` the length
    // the record declares. Raises EDBEngineError(Corrupt) when the reference
    // does not lead to a value of that length. A reference past the end of
    // the file as last seen takes the file's size again first, so that
    // blocks appended since (by an in-place update) are found.
    QByteArray Read(std::uint32_t pointer, std::uint32_t length, const QString& field);

private:
    TFileReader FFile;
    QString FWhere;
};

// New values for the .mb of an existing table. Each goes into a block of its
// own appended after the last block (a type-3 block with a single entry, or
// a type-2 block), under a modification number one above the header's count.
// Nothing else in the file changes but that count: freed space, the blocks
// already there and the header's free-space directory are never touched, so
// the new blocks cannot clash with space the engine may hand out.
class TBlobAppender {
public:
    // Locks `path` for writing (TFileLock: EDBEngineError(ExclusiveOpen) or
    // (ReadOnly)) and checks it as Check() does.
    explicit TBlobAppender(const std::filesystem::path& path);

    // Checks the file without writing or locking it: a header block, then a
    // walk of the blocks by their chunk counts that ends exactly at the end
    // of the file. Raises EDBEngineError(Corrupt) naming the file otherwise.
    static void Check(const std::filesystem::path& path);

    // Lays out `value` (longer than the leader of its field) as a new block
    // and returns its reference {offset | index} and modification number.
    // Nothing is written before Commit(). Raises EDBEngineError(General) when
    // the file or its modification numbers are exhausted.
    std::pair<std::uint32_t, std::uint16_t> Add(std::span<const std::uint8_t> value);

    // Writes the new blocks after the end of the file and syncs them, then
    // the header's modification count, synced too, so that a record may
    // refer to them once this returns. When a write or sync fails, the file
    // is cut back to its old size, the old count is put back, and
    // EDBEngineError(General) naming the file is raised.
    void Commit();

private:
    struct TScan {
        qint64 Size = 0;
        std::uint16_t ModCount = 0;
    };
    static TScan Scan(const std::filesystem::path& path, const QString& where);

    TFileLock FLock;
    QString FWhere;
    TScan FFile;
    std::vector<std::uint8_t> FBlocks;
    std::uint16_t FModCount = 0;
};
