#include "BlobFile.h"

#include "ByteIo.h"
#include "DBEngineError.h"
#include "TableFiles.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

using namespace ParadoxBytes;
using BlobLayout::ChunkSize;

// ---- BlobLayout -----------------------------------------------------------

namespace BlobLayout {

std::vector<std::uint8_t> HeaderBlock(std::uint16_t modCount) {
    std::vector<std::uint8_t> header(ChunkSize);
    static constexpr std::uint8_t Fixed[] = {0x82, 0x73, 0x02, 0x00, 0x29, 0x00};
    header[0] = 0;
    PutU16(header, 1, 1);
    PutU16(header, ModCountOffset, modCount);
    std::memcpy(header.data() + 5, Fixed, sizeof Fixed);
    PutU16(header, 0x0B, 0x1000);
    PutU16(header, 0x0D, 0x1000);
    header[0x10] = 0x10;
    PutU16(header, 0x11, 0x0040);
    PutU16(header, 0x13, 0x0800);
    header[0x29] = 0xA1;
    header[0x2A] = 0x02;
    return header;
}

std::vector<std::uint8_t> EmptyGroup() {
    std::vector<std::uint8_t> group(ChunkSize);
    group[0] = 3;
    PutU16(group, 1, 1);
    return group;
}

int GroupChunksFor(std::size_t length) {
    return static_cast<int>((length + 15) / 16);
}

void PutGroupEntry(std::span<std::uint8_t> group, int index, int chunk,
                   std::span<const std::uint8_t> value, std::uint16_t mod) {
    const int chunks = GroupChunksFor(value.size());
    std::span<std::uint8_t> entry = group.subspan(12 + 5 * static_cast<std::size_t>(index), 5);
    entry[0] = static_cast<std::uint8_t>(chunk);
    entry[1] = static_cast<std::uint8_t>(chunks);
    PutU16(entry, 2, mod);
    entry[4] = static_cast<std::uint8_t>(value.size() - static_cast<std::size_t>(chunks - 1) * 16);
    std::memcpy(group.data() + chunk * 16, value.data(), value.size());
}

qint64 SingleBlockSize(std::size_t length) {
    return (9 + static_cast<qint64>(length) + ChunkSize - 1) / ChunkSize * ChunkSize;
}

std::vector<std::uint8_t> SingleBlock(std::span<const std::uint8_t> value, std::uint16_t mod) {
    const qint64 size = SingleBlockSize(value.size());
    std::vector<std::uint8_t> block(static_cast<std::size_t>(size));
    block[0] = 2;
    PutU16(block, 1, static_cast<std::uint16_t>(size / ChunkSize));
    PutU32(block, 3, static_cast<std::uint32_t>(value.size()));
    PutU16(block, 7, mod);
    std::memcpy(block.data() + 9, value.data(), value.size());
    return block;
}

} // namespace BlobLayout

// ---- TBlobFile ------------------------------------------------------------

TBlobFile::TBlobFile(const std::filesystem::path& path, const QString& where)
    : FFile(path, where), FWhere(where) {
    if (FFile.Size() < ChunkSize)
        throw EDBEngineError(DBErrorCode::Corrupt,
                             QStringLiteral("%1: too short to be a blob file").arg(where));
    const auto head = FFile.Read(0, 3);
    if (head[0] != 0 || U16(head, 1) == 0)
        throw EDBEngineError(DBErrorCode::Corrupt,
                             QStringLiteral("%1: not a blob file, or encrypted").arg(where));
}

QByteArray TBlobFile::Read(std::uint32_t pointer, std::uint32_t length, const QString& field) {
    const qint64 offset = pointer & 0xFFFFFF00u;
    const std::uint32_t index = pointer & 0xFFu;
    const auto fail = [&](const QString& what) {
        return EDBEngineError(DBErrorCode::Corrupt,
                              QStringLiteral("%1: the value of field \"%2\" at "
                                             "offset 0x%3: %4")
                                  .arg(FWhere, field)
                                  .arg(offset, 0, 16)
                                  .arg(what));
    };
    if (offset > FFile.Size() - ChunkSize)
        FFile.Refresh();
    if (offset < ChunkSize || offset > FFile.Size() - 12)
        throw fail(QStringLiteral("the offset lies outside the file"));
    const auto head = FFile.Read(offset, 12);
    const auto asBytes = [](std::span<const std::uint8_t> data) {
        return QByteArray(reinterpret_cast<const char*>(data.data()),
                          static_cast<qsizetype>(data.size()));
    };
    if (index == 0xFF) {
        if (head[0] != 2)
            throw fail(
                QStringLiteral("block type %1 where a single blob was expected").arg(head[0]));
        const qint64 chunks = U16(head, 1);
        const std::uint32_t stored = U32(head, 3);
        if (stored != length)
            throw fail(QStringLiteral("the block holds %1 bytes, the record says %2")
                           .arg(stored)
                           .arg(length));
        if (9 + static_cast<qint64>(length) > chunks * ChunkSize)
            throw fail(QStringLiteral("the value is longer than its block"));
        return asBytes(FFile.Read(offset + 9, length));
    }
    if (index >= 64)
        throw fail(QStringLiteral("entry index %1 is out of range").arg(index));
    if (head[0] != 3)
        throw fail(QStringLiteral("block type %1 where a blob group was expected").arg(head[0]));
    if (offset + ChunkSize > FFile.Size())
        throw fail(QStringLiteral("the block runs past the end of the file"));
    const auto entry = FFile.Read(offset + 12 + 5 * static_cast<qint64>(index), 5);
    const qint64 dataOffset = entry[0] * 16;
    const int chunks = entry[1];
    const int lastBytes = entry[4];
    if (dataOffset == 0 || chunks == 0 || lastBytes < 1 || lastBytes > 16)
        throw fail(QStringLiteral("entry %1 is not in use").arg(index));
    const std::uint32_t stored = static_cast<std::uint32_t>((chunks - 1) * 16 + lastBytes);
    if (stored != length)
        throw fail(QStringLiteral("entry %1 holds %2 bytes, the record says %3")
                       .arg(index)
                       .arg(stored)
                       .arg(length));
    if (dataOffset + length > ChunkSize)
        throw fail(QStringLiteral("entry %1 runs past its block").arg(index));
    return asBytes(FFile.Read(offset + dataOffset, length));
}

// ---- TBlobAppender --------------------------------------------------------

TBlobAppender::TBlobAppender(const std::filesystem::path& path)
    : FLock(path), FWhere(TableFiles::Display(path)), FFile(Scan(path, FWhere)),
      FModCount(FFile.ModCount) {}

void TBlobAppender::Check(const std::filesystem::path& path) {
    Scan(path, TableFiles::Display(path));
}

TBlobAppender::TScan TBlobAppender::Scan(const std::filesystem::path& path, const QString& where) {
    const auto corrupt = [&](const QString& what) {
        return EDBEngineError(DBErrorCode::Corrupt, QStringLiteral("%1: %2").arg(where, what));
    };
    TFileReader file(path, where);
    TScan scan;
    scan.Size = file.Size();
    if (scan.Size < ChunkSize || scan.Size % ChunkSize != 0)
        throw corrupt(
            QStringLiteral("%1 bytes is not a whole number of 4 KB blocks").arg(scan.Size));
    // Only the head of each block is read, through the reader's window, so
    // the walk costs little whatever the blobs' sizes.
    for (qint64 offset = 0; offset < scan.Size;) {
        const auto head = file.Read(offset, offset == 0 ? 5 : 3);
        const int type = head[0];
        const int chunks = U16(head, 1);
        const bool valid = offset == 0 ? type == 0 : (type == 2 || type == 3 || type == 4);
        if (!valid || chunks == 0)
            throw corrupt(offset == 0
                              ? QStringLiteral("not a blob file, or encrypted")
                              : QStringLiteral("block type %1 with %2 chunks at offset 0x%3")
                                    .arg(type)
                                    .arg(chunks)
                                    .arg(offset, 0, 16));
        if (offset == 0)
            scan.ModCount = U16(head, BlobLayout::ModCountOffset);
        offset += chunks * ChunkSize;
        if (offset > scan.Size)
            throw corrupt(QStringLiteral("the last block runs past the end of the file"));
    }
    return scan;
}

std::pair<std::uint32_t, std::uint16_t> TBlobAppender::Add(std::span<const std::uint8_t> value) {
    if (FModCount == 0xFFFF)
        throw EDBEngineError(DBErrorCode::General,
                             QStringLiteral("%1: no modification numbers are left").arg(FWhere));
    const auto mod = static_cast<std::uint16_t>(FModCount + 1);
    const qint64 offset = FFile.Size + static_cast<qint64>(FBlocks.size());
    std::vector<std::uint8_t> block;
    std::uint32_t index = 0xFF;
    if (value.size() <= BlobLayout::GroupLimit) {
        block = BlobLayout::EmptyGroup();
        BlobLayout::PutGroupEntry(block, BlobLayout::GroupLastEntry, BlobLayout::GroupFirstChunk,
                                  value, mod);
        index = BlobLayout::GroupLastEntry;
    } else if (BlobLayout::SingleBlockSize(value.size()) <= 0xFFFF * ChunkSize) {
        block = BlobLayout::SingleBlock(value, mod);
    }
    if (block.empty() || offset + static_cast<qint64>(block.size()) > BlobLayout::MaxOffset)
        throw EDBEngineError(DBErrorCode::General,
                             QStringLiteral("%1: the blob file is full").arg(FWhere));
    FBlocks.insert(FBlocks.end(), block.begin(), block.end());
    FModCount = mod;
    return {static_cast<std::uint32_t>(offset) | index, mod};
}

void TBlobAppender::Commit() {
    if (FBlocks.empty())
        return;
    std::uint8_t count[2];
    PutU16(count, 0, FModCount);
    std::uint8_t oldCount[2];
    PutU16(oldCount, 0, FFile.ModCount);
    bool countWritten = false;
    const auto fail = [&](const QString& what) {
        const int error = errno;
        // Back to the file as it was; a failure here leaves at worst a
        // block no record refers to, or a skipped modification number.
        if (countWritten)
            FLock.WriteAt(oldCount, BlobLayout::ModCountOffset);
        (void)!::ftruncate(FLock.Handle(), static_cast<off_t>(FFile.Size));
        return EDBEngineError(DBErrorCode::General,
                              QStringLiteral("%1: %2: %3")
                                  .arg(FWhere, what,
                                       error ? QString::fromLocal8Bit(std::strerror(error))
                                             : QStringLiteral("short write")));
    };
    // The blocks are on disk before the count that hands out their numbers,
    // and both are before the caller lets a record refer to them.
    if (!FLock.WriteAt(FBlocks, FFile.Size))
        throw fail(QStringLiteral("the new blob value could not be appended"));
    if (::fdatasync(FLock.Handle()) != 0)
        throw fail(QStringLiteral("the new blob value could not be synced"));
    countWritten = true;
    if (!FLock.WriteAt(count, BlobLayout::ModCountOffset))
        throw fail(QStringLiteral("the modification count could not be written"));
    if (::fdatasync(FLock.Handle()) != 0)
        throw fail(QStringLiteral("the modification count could not be synced"));
    FFile.Size += static_cast<qint64>(FBlocks.size());
    FFile.ModCount = FModCount;
    FBlocks.clear();
}
