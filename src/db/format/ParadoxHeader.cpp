#include "ParadoxHeader.h"

#include "ByteIo.h"
#include "CodePage.h"
#include "DBEngineError.h"

using namespace ParadoxBytes;

namespace {

constexpr std::size_t FixedHeaderSize = 0x58;
constexpr std::size_t DataHeaderEnd = 0x78;

[[noreturn]] void Fail(const QString& where, const QString& what) {
    throw EDBEngineError(DBErrorCode::Corrupt, QStringLiteral("%1: %2").arg(where, what));
}

bool KnownType(std::uint8_t code) {
    return (code >= 0x01 && code <= 0x06) || code == 0x09 || (code >= 0x0C && code <= 0x10) ||
           (code >= 0x14 && code <= 0x18);
}

// Checks a field's declared size against what its type allows.
bool SizeFits(TFieldType type, int size) {
    switch (type) {
    case TFieldType::Alpha:
    case TFieldType::Bytes:
        return size >= 1 && size <= 255;
    case TFieldType::Short:
        return size == 2;
    case TFieldType::Date:
    case TFieldType::Long:
    case TFieldType::Time:
    case TFieldType::AutoInc:
        return size == 4;
    case TFieldType::Money:
    case TFieldType::Number:
    case TFieldType::Timestamp:
        return size == 8;
    case TFieldType::Logical:
        return size == 1;
    case TFieldType::BCD:
        return size == 17;
    default:
        return size >= 10 && size <= 250; // blobs: leader plus the 10-byte reference
    }
}

} // namespace

int TParadoxHeader::HeaderBytesNeeded(std::span<const std::uint8_t> first88, qint64 fileSize) {
    if (first88.size() < FixedHeaderSize)
        return static_cast<int>(first88.size());
    const qint64 declared = std::max<qint64>(U16(first88, 0x02), FixedHeaderSize);
    return static_cast<int>(std::min(declared, fileSize));
}

TParadoxHeader TParadoxHeader::Parse(std::span<const std::uint8_t> head, qint64 fileSize,
                                     const QString& where, int fallbackCodePage) {
    if (head.size() < FixedHeaderSize || fileSize < static_cast<qint64>(FixedHeaderSize))
        Fail(where, QStringLiteral("the file is too short to be a table (%1 bytes)").arg(fileSize));

    TParadoxHeader h;
    h.RecordSize = U16(head, 0x00);
    h.HeaderSize = U16(head, 0x02);
    h.FileType = U8(head, 0x04);
    const int maxTableSize = U8(head, 0x05);
    h.NumRecords = U32(head, 0x06);
    h.BlocksInUse = U16(head, 0x0A);
    h.FileBlocks = U16(head, 0x0C);
    h.FirstBlock = U16(head, 0x0E);
    h.LastBlock = U16(head, 0x10);
    h.IndexFieldNumber = U8(head, 0x15);
    h.IndexRoot = U16(head, 0x1E);
    h.IndexLevels = U8(head, 0x20);
    const int numFields = U16(head, 0x21);
    h.KeyFields = U16(head, 0x23);
    const std::uint32_t encryption1 = U32(head, 0x25);
    h.SortOrder = U8(head, 0x29);
    h.FileVersion = U8(head, 0x39);
    h.AutoInc = U32(head, 0x49);
    h.FirstFreeBlock = U16(head, 0x4D);

    if (h.FileType > CompositeDataInc)
        Fail(where, QStringLiteral("not a Paradox table (file type %1)").arg(h.FileType));
    if (h.FileVersion < 3 || h.FileVersion > 12)
        Fail(where, QStringLiteral("unknown file version %1").arg(h.FileVersion));
    if (maxTableSize < 1 || maxTableSize > 32)
        Fail(where, QStringLiteral("invalid block size code %1").arg(maxTableSize));
    h.BlockSize = maxTableSize * 1024;
    if (h.HeaderSize < static_cast<int>(FixedHeaderSize) || h.HeaderSize > fileSize)
        Fail(where, QStringLiteral("header size %1 does not fit a file of %2 bytes")
                        .arg(h.HeaderSize)
                        .arg(fileSize));
    if (head.size() < static_cast<std::size_t>(h.HeaderSize))
        Fail(where, QStringLiteral("the header is truncated"));
    head = head.first(static_cast<std::size_t>(h.HeaderSize));
    if (h.RecordSize <= 0 || h.RecordSize > h.BlockSize - 6)
        Fail(where, QStringLiteral("invalid record size %1").arg(h.RecordSize));
    if (h.HeaderSize + static_cast<qint64>(h.FileBlocks) * h.BlockSize > fileSize)
        Fail(where,
             QStringLiteral("the file is truncated: %1 blocks of %2 bytes do not fit in %3 bytes")
                 .arg(h.FileBlocks)
                 .arg(h.BlockSize)
                 .arg(fileSize));
    if (h.BlocksInUse > h.FileBlocks || h.FirstBlock > h.FileBlocks || h.LastBlock > h.FileBlocks ||
        h.FirstFreeBlock > h.FileBlocks)
        Fail(where,
             QStringLiteral("block numbers beyond the %1 blocks of the file").arg(h.FileBlocks));
    if ((h.FirstBlock == 0) != (h.LastBlock == 0) || (h.FirstBlock == 0 && h.NumRecords != 0))
        Fail(where, QStringLiteral("the block chain does not match the record count"));
    if (h.NumRecords > static_cast<qint64>(h.FileBlocks) * h.MaxRecordsPerBlock())
        Fail(where, QStringLiteral("%1 records cannot fit in %2 blocks")
                        .arg(h.NumRecords)
                        .arg(h.FileBlocks));

    if (h.HasDataHeader()) {
        if (h.HeaderSize < static_cast<int>(DataHeaderEnd))
            Fail(where, QStringLiteral("header size %1 is too small").arg(h.HeaderSize));
        const std::uint32_t encryption2 = U32(head, 0x5C);
        if (encryption2 != 0 || (encryption1 != 0 && encryption1 != 0xFF00FF00))
            throw EDBEngineError(DBErrorCode::General,
                                 QStringLiteral("%1: the table is encrypted").arg(where));
    } else if (encryption1 != 0 && encryption1 != 0xFF00FF00) {
        throw EDBEngineError(DBErrorCode::General,
                             QStringLiteral("%1: the table is encrypted").arg(where));
    }

    const std::size_t varStart = h.HasDataHeader() ? DataHeaderEnd : FixedHeaderSize;
    if (numFields < 1 || varStart + 2 * static_cast<std::size_t>(numFields) > head.size())
        Fail(where, QStringLiteral("invalid field count %1").arg(numFields));
    if (h.KeyFields > numFields)
        Fail(where,
             QStringLiteral("%1 key fields but only %2 fields").arg(h.KeyFields).arg(numFields));

    int sum = 0;
    h.Fields.resize(static_cast<std::size_t>(numFields));
    for (int i = 0; i < numFields; ++i) {
        TFieldDef& f = h.Fields[static_cast<std::size_t>(i)];
        const std::uint8_t code = U8(head, varStart + 2 * static_cast<std::size_t>(i));
        const int size = U8(head, varStart + 2 * static_cast<std::size_t>(i) + 1);
        if (!KnownType(code))
            Fail(where,
                 QStringLiteral("field %1 has unknown type 0x%2").arg(i + 1).arg(code, 2, 16));
        f.Type = static_cast<TFieldType>(code);
        f.Number = i + 1;
        if (f.Type == TFieldType::BCD) {
            if (size > 32)
                Fail(where, QStringLiteral("field %1 has %2 decimals").arg(i + 1).arg(size));
            f.Decimals = size;
            f.Size = 17;
        } else {
            f.Size = size;
        }
        if (!SizeFits(f.Type, f.Size))
            Fail(where, QStringLiteral("field %1 has invalid size %2 for type %3")
                            .arg(i + 1)
                            .arg(f.Size)
                            .arg(QLatin1Char(FieldTypeLetter(f.Type))));
        sum += f.Size;
    }
    // Index entries carry three shorts after the key fields.
    if (h.IsIndexFile())
        sum += 6;
    if (sum != h.RecordSize)
        Fail(where, QStringLiteral("the fields take %1 bytes but records are %2 bytes")
                        .arg(sum)
                        .arg(h.RecordSize));

    h.CodePage = h.HasDataHeader() ? U16(head, 0x6A) : 0;
    if (h.CodePage == 0)
        h.CodePage = fallbackCodePage;
    const TCodePage codePage(h.CodePage, where);

    if (h.IsIndexFile()) {
        if (h.NumRecords > 0 && (h.IndexRoot < 1 || h.IndexRoot > h.FileBlocks ||
                                 h.IndexLevels < 1 || h.IndexLevels > 16))
            Fail(where, QStringLiteral("invalid index root %1 or level count %2")
                            .arg(h.IndexRoot)
                            .arg(h.IndexLevels));
        return h;
    }

    // Field infos, the table-name pointer, the field-name pointers, the
    // table name, then the NUL-terminated field names.
    std::size_t at = varStart + 2 * static_cast<std::size_t>(numFields) + 4 +
                     4 * static_cast<std::size_t>(numFields) +
                     static_cast<std::size_t>(h.TableNameLength());
    const auto readName = [&]() -> std::optional<QString> {
        std::size_t end = at;
        while (end < head.size() && head[end] != 0)
            ++end;
        if (end >= head.size())
            return std::nullopt;
        QString name = codePage.Decode(head.subspan(at, end - at));
        at = end + 1;
        return name;
    };
    for (int i = 0; i < numFields; ++i) {
        std::optional<QString> name = readName();
        if (!name)
            Fail(where, QStringLiteral("the name of field %1 runs past the header").arg(i + 1));
        h.Fields[static_cast<std::size_t>(i)].Name = *name;
    }
    if (h.HasDataHeader()) {
        at += 2 * static_cast<std::size_t>(numFields); // field ids
        if (at < head.size()) {
            if (std::optional<QString> sortName = readName())
                h.SortOrderName = *sortName;
        }
    }
    return h;
}
