// Tables are created in format version 5.x (header byte 11, data-header id
// 0x010B, 79-byte table name). It is the lowest version that holds every
// type the project tables use (Long, Timestamp, Logical and Autoincrement
// need level 5), it is the version most of the engine-written sample tables
// have, so its layout is checked against real files, and pxlib reads it. The
// sort order is "ascii" (0x00): keys then sort by their encoded bytes, which
// is the order the primary index and the blocks must follow.

#include "ParadoxTable.h"

#include "BlobFile.h"
#include "ByteIo.h"
#include "FieldCodec.h"
#include "TableFiles.h"

#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cstring>

using namespace ParadoxBytes;

namespace {

constexpr int FileVersion = 11;
constexpr std::uint16_t DataHeaderVersion = 0x010B;
constexpr int BlockKb = 4;
constexpr int BlockSize = BlockKb * 1024;
constexpr int TableNameLength = 79;
constexpr int HeaderUnit = 0x800;
constexpr int MaxBlocks = 65535;
constexpr std::uint8_t ChangeCount = 1; // DB[0x2D], repeated in PX[0x2C]

[[noreturn]] void Fail(int code, const QString& where, const QString& what) {
    throw EDBEngineError(code, QStringLiteral("%1: %2").arg(where, what));
}

int NaturalSize(TFieldType type) {
    switch (type) {
    case TFieldType::Short:
        return 2;
    case TFieldType::Date:
    case TFieldType::Long:
    case TFieldType::Time:
    case TFieldType::AutoInc:
        return 4;
    case TFieldType::Money:
    case TFieldType::Number:
    case TFieldType::Timestamp:
        return 8;
    case TFieldType::Logical:
        return 1;
    case TFieldType::BCD:
        return 17;
    default:
        return 0;
    }
}

// The low byte of a field's size in the header: BCD stores its decimals there.
std::uint8_t HeaderSizeByte(const TFieldDef& field) {
    return static_cast<std::uint8_t>(field.Type == TFieldType::BCD ? field.Decimals : field.Size);
}

// Writes bytes to a QSaveFile, raising an engine error when the disk refuses.
void WriteAll(QSaveFile& file, const QString& where, std::span<const std::uint8_t> bytes) {
    if (file.write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size()))
        Fail(DBErrorCode::General, where,
             QStringLiteral("write failed: %1").arg(file.errorString()));
}

void WriteAt(QSaveFile& file, const QString& where, qint64 offset,
             std::span<const std::uint8_t> bytes) {
    if (!file.seek(offset))
        Fail(DBErrorCode::General, where,
             QStringLiteral("seek failed: %1").arg(file.errorString()));
    WriteAll(file, where, bytes);
}

void OpenSave(QSaveFile& file, const QString& where) {
    if (!file.open(QIODevice::WriteOnly))
        Fail(DBErrorCode::General, where,
             QStringLiteral("cannot create: %1").arg(file.errorString()));
}

// A data block: {u16 next, u16 prev, s16 offset of the last record}, then the records.
void PutBlockHead(std::span<std::uint8_t> block, int next, int prev, int count, int recordSize) {
    PutU16(block, 0, static_cast<std::uint16_t>(next));
    PutU16(block, 2, static_cast<std::uint16_t>(prev));
    PutS16(block, 4, static_cast<std::int16_t>((count - 1) * recordSize));
}

// The modified big-endian short of index entries.
void PutIndexShort(std::span<std::uint8_t> at, int value) {
    const auto raw = static_cast<std::uint16_t>(static_cast<std::uint16_t>(value) ^ 0x8000);
    at[0] = static_cast<std::uint8_t>(raw >> 8);
    at[1] = static_cast<std::uint8_t>(raw & 0xFF);
}

QByteArray TableName(const std::filesystem::path& file, const char* extension) {
    QByteArray name = QFileInfo(TableFiles::Display(file)).completeBaseName().toLatin1();
    name.append(extension);
    return name.left(TableNameLength - 1);
}

// The .mb file being written: small values share type-3 blocks of 64
// entries, larger ones get a type-2 block each; blocks are appended in order.
class TBlobWriter {
public:
    TBlobWriter(const std::filesystem::path& file, const QString& where)
        : FFile(TableFiles::Display(file)), FWhere(where) {
        OpenSave(FFile, where);
        std::vector<std::uint8_t> header(BlobLayout::ChunkSize);
        WriteAll(FFile, where, header); // filled in by Commit()
        FEnd = BlobLayout::ChunkSize;
    }

    // Stores `value`, returns the reference {offset | index} and its mod number.
    std::pair<std::uint32_t, std::uint16_t> Store(std::span<const std::uint8_t> value) {
        const auto mod = static_cast<std::uint16_t>(++FModCount);
        if (FModCount > 0xFFFF)
            Fail(DBErrorCode::General, FWhere, QStringLiteral("too many blob values"));
        if (value.size() <= BlobLayout::GroupLimit) {
            const int chunks = BlobLayout::GroupChunksFor(value.size());
            if (FGroupOffset == 0 || FNextEntry < 0 ||
                FNextChunk + chunks > BlobLayout::GroupChunks)
                StartGroup();
            const int index = FNextEntry--;
            BlobLayout::PutGroupEntry(FGroup, index, FNextChunk, value, mod);
            FNextChunk += chunks;
            return {static_cast<std::uint32_t>(FGroupOffset) | static_cast<std::uint32_t>(index),
                    mod};
        }
        const qint64 size = BlobLayout::SingleBlockSize(value.size());
        if (FEnd + size > BlobLayout::MaxOffset || size > 0xFFFF * BlobLayout::ChunkSize)
            Fail(DBErrorCode::General, FWhere, QStringLiteral("the blob file is full"));
        const qint64 offset = FEnd;
        WriteAt(FFile, FWhere, offset, BlobLayout::SingleBlock(value, mod));
        FEnd += size;
        return {static_cast<std::uint32_t>(offset) | 0xFFu, mod};
    }

    void Commit() {
        FlushGroup();
        WriteAt(FFile, FWhere, 0,
                BlobLayout::HeaderBlock(static_cast<std::uint16_t>(std::max(FModCount, 1))));
        if (!FFile.commit())
            Fail(DBErrorCode::General, FWhere,
                 QStringLiteral("cannot save: %1").arg(FFile.errorString()));
    }

private:
    void StartGroup() {
        FlushGroup();
        if (FEnd + BlobLayout::ChunkSize > BlobLayout::MaxOffset)
            Fail(DBErrorCode::General, FWhere, QStringLiteral("the blob file is full"));
        FGroup = BlobLayout::EmptyGroup();
        FGroupOffset = FEnd;
        FEnd += BlobLayout::ChunkSize;
        FNextEntry = BlobLayout::GroupLastEntry;
        FNextChunk = BlobLayout::GroupFirstChunk;
    }
    void FlushGroup() {
        if (FGroupOffset != 0)
            WriteAt(FFile, FWhere, FGroupOffset, FGroup);
    }

    QSaveFile FFile;
    QString FWhere;
    qint64 FEnd = 0;
    int FModCount = 0;
    std::vector<std::uint8_t> FGroup;
    qint64 FGroupOffset = 0;
    int FNextEntry = -1;
    int FNextChunk = 0;
};

struct TIndexEntry {
    std::vector<std::uint8_t> Key;
    int Block = 0;
    int Count = 0;
};

} // namespace

class TParadoxWriter::TImpl {
public:
    TImpl(const std::filesystem::path& file, std::vector<TFieldDef> fields, int keyFields,
          int codePage);
    void Append(const std::vector<TValue>& values);
    void Commit();

private:
    void CheckFields();
    void EncodeBlob(const TFieldDef& field, const TValue& value, std::span<std::uint8_t> out);
    void WriteBlock(int next);
    std::vector<std::uint8_t> DbHeader() const;
    void WritePrimaryIndex(QSaveFile& px, const QString& where) const;

    std::filesystem::path FFile;
    QString FWhere;
    std::vector<TFieldDef> FFields;
    int FKeyFields;
    TCodePage FCodePage;
    std::vector<int> FOffsets;
    int FRecordSize = 0;
    int FKeySize = 0;
    int FPerBlock = 0;
    int FHeaderSize = 0;
    QSaveFile FDb;
    std::optional<TBlobWriter> FMb;
    std::vector<std::uint8_t> FBlock;
    int FBlockCount = 0;
    int FBlockNumber = 0;
    qint64 FNumRecords = 0;
    std::uint32_t FAutoInc = 0;
    std::vector<std::uint8_t> FRecord;
    std::vector<TIndexEntry> FIndex;
    bool FCommitted = false;
};

TParadoxWriter::TImpl::TImpl(const std::filesystem::path& file, std::vector<TFieldDef> fields,
                             int keyFields, int codePage)
    : FFile(file), FWhere(TableFiles::Display(file)), FFields(std::move(fields)),
      FKeyFields(keyFields), FCodePage(codePage, FWhere), FDb(FWhere) {
    CheckFields();
    if (!TableFiles::All(FFile).empty())
        Fail(DBErrorCode::General, FWhere, QStringLiteral("a table of that name already exists"));
    OpenSave(FDb, FWhere);
    std::vector<std::uint8_t> placeholder(static_cast<std::size_t>(FHeaderSize));
    WriteAll(FDb, FWhere, placeholder);
    if (std::any_of(FFields.begin(), FFields.end(),
                    [](const TFieldDef& f) { return IsBlobType(f.Type); })) {
        std::filesystem::path mb = FFile;
        mb.replace_extension(".mb");
        FMb.emplace(mb, TableFiles::Display(mb));
    }
    FBlock.assign(BlockSize, 0);
    FRecord.assign(static_cast<std::size_t>(FRecordSize), 0);
}

void TParadoxWriter::TImpl::CheckFields() {
    if (QFileInfo(FWhere).suffix().compare(QStringLiteral("db"), Qt::CaseInsensitive) != 0)
        Fail(DBErrorCode::General, FWhere, QStringLiteral("a table file must end in .db"));
    if (FFields.empty() || FFields.size() > 255)
        Fail(DBErrorCode::General, FWhere, QStringLiteral("a table needs 1 to 255 fields"));
    if (FKeyFields < 0 || FKeyFields > static_cast<int>(FFields.size()))
        Fail(DBErrorCode::General, FWhere,
             QStringLiteral("invalid key field count %1").arg(FKeyFields));
    int headerBytes = 0x78 + 4 + TableNameLength + static_cast<int>(sizeof "ascii");
    for (std::size_t i = 0; i < FFields.size(); ++i) {
        TFieldDef& f = FFields[i];
        const auto bad = [&](const QString& what) {
            Fail(DBErrorCode::General, FWhere,
                 QStringLiteral("field \"%1\": %2").arg(f.Name, what));
        };
        f.Number = static_cast<int>(i) + 1;
        const std::optional<QByteArray> name = FCodePage.Encode(f.Name);
        if (f.Name.isEmpty() || f.Name.size() > 25 || !name || name->contains('\0'))
            bad(QStringLiteral("a name needs 1 to 25 characters of the table's code page"));
        for (std::size_t j = 0; j < i; ++j) {
            if (FFields[j].Name.compare(f.Name, Qt::CaseInsensitive) == 0)
                bad(QStringLiteral("the name is used twice"));
        }
        if (const int natural = NaturalSize(f.Type)) {
            if (f.Size != 0 && f.Size != natural)
                bad(QStringLiteral("type %1 has size %2")
                        .arg(QLatin1Char(FieldTypeLetter(f.Type)))
                        .arg(natural));
            f.Size = natural;
        } else if (IsBlobType(f.Type)) {
            if (f.Size < (f.Type == TFieldType::Memo ? 11 : 10) || f.Size > 250)
                bad(QStringLiteral("a blob field's size must be 11 (10 for binary) to 250"));
        } else if (f.Size < 1 || f.Size > 255) {
            bad(QStringLiteral("size %1 is out of range 1 to 255").arg(f.Size));
        }
        if (f.Type == TFieldType::BCD && (f.Decimals < 0 || f.Decimals > 32))
            bad(QStringLiteral("a BCD field has 0 to 32 decimals"));
        if (static_cast<int>(i) < FKeyFields && IsBlobType(f.Type))
            bad(QStringLiteral("a blob field cannot be part of the key"));
        FOffsets.push_back(FRecordSize);
        FRecordSize += f.Size;
        if (static_cast<int>(i) < FKeyFields)
            FKeySize += f.Size;
        headerBytes += 2 + 4 + static_cast<int>(name->size()) + 1 + 2;
    }
    if (FRecordSize > BlockSize - 6)
        Fail(DBErrorCode::General, FWhere,
             QStringLiteral("records of %1 bytes do not fit a block").arg(FRecordSize));
    FPerBlock = (BlockSize - 6) / FRecordSize;
    FHeaderSize = (headerBytes + HeaderUnit - 1) / HeaderUnit * HeaderUnit;
}

void TParadoxWriter::TImpl::EncodeBlob(const TFieldDef& field, const TValue& value,
                                       std::span<std::uint8_t> out) {
    const QByteArray data = FieldCodec::BlobData(field, value, FCodePage, FWhere);
    const std::span<const std::uint8_t> bytes(
        reinterpret_cast<const std::uint8_t*>(data.constData()),
        static_cast<std::size_t>(data.size()));
    const auto [pointer, mod] = bytes.size() > FieldCodec::BlobLeader(field)
                                    ? FMb->Store(bytes)
                                    : std::pair<std::uint32_t, std::uint16_t>{0, 0};
    FieldCodec::PutBlobField(out, bytes, pointer, mod);
}

void TParadoxWriter::TImpl::Append(const std::vector<TValue>& values) {
    if (FCommitted)
        Fail(DBErrorCode::ClosedDataset, FWhere, QStringLiteral("the table is already committed"));
    if (values.size() != FFields.size())
        Fail(DBErrorCode::General, FWhere,
             QStringLiteral("%1 values for %2 fields").arg(values.size()).arg(FFields.size()));
    std::uint32_t autoInc = FAutoInc;
    for (std::size_t i = 0; i < FFields.size(); ++i) {
        const TFieldDef& f = FFields[i];
        const std::span<std::uint8_t> out = std::span(FRecord).subspan(
            static_cast<std::size_t>(FOffsets[i]), static_cast<std::size_t>(f.Size));
        if (IsBlobType(f.Type)) {
            EncodeBlob(f, values[i], out);
            continue;
        }
        TValue value = values[i];
        if (f.Type == TFieldType::AutoInc) {
            if (std::holds_alternative<std::monostate>(value))
                value = static_cast<qint64>(autoInc) + 1;
            else if (const auto* given = std::get_if<qint64>(&value); !given || *given < 1)
                Fail(DBErrorCode::General, FWhere,
                     QStringLiteral(
                         "field \"%1\": an autoincrement value must be a positive integer")
                         .arg(f.Name));
            autoInc = std::max(autoInc, static_cast<std::uint32_t>(std::get<qint64>(value)));
        }
        FieldCodec::Encode(f, value, FCodePage, out, FWhere);
    }
    if (FKeyFields > 0) {
        const std::span<const std::uint8_t> key =
            std::span(FRecord).first(static_cast<std::size_t>(FKeySize));
        if (!FIndex.empty() && FBlockCount > 0) {
            // FIndex holds each block's first key; the last record written is
            // in the current block.
            const std::uint8_t* last = FBlock.data() + 6 + (FBlockCount - 1) * FRecordSize;
            if (std::memcmp(key.data(), last, key.size()) <= 0)
                Fail(DBErrorCode::KeyViolation, FWhere,
                     QStringLiteral("record %1: keys must be unique and come in ascending order")
                         .arg(FNumRecords + 1));
        }
    }
    if (FBlockNumber == 0 || FBlockCount == FPerBlock) {
        if (FBlockNumber == MaxBlocks)
            Fail(DBErrorCode::General, FWhere, QStringLiteral("the table is full"));
        if (FBlockNumber != 0)
            WriteBlock(FBlockNumber + 1);
        ++FBlockNumber;
        FBlockCount = 0;
        std::fill(FBlock.begin(), FBlock.end(), std::uint8_t{0});
        if (FKeyFields > 0)
            FIndex.push_back(
                {std::vector<std::uint8_t>(FRecord.begin(), FRecord.begin() + FKeySize),
                 FBlockNumber, 0});
    }
    std::memcpy(FBlock.data() + 6 + FBlockCount * FRecordSize, FRecord.data(), FRecord.size());
    ++FBlockCount;
    if (FKeyFields > 0)
        ++FIndex.back().Count;
    ++FNumRecords;
    FAutoInc = autoInc;
}

void TParadoxWriter::TImpl::WriteBlock(int next) {
    PutBlockHead(FBlock, next, FBlockNumber - 1, FBlockCount, FRecordSize);
    WriteAll(FDb, FWhere, FBlock);
}

std::vector<std::uint8_t> TParadoxWriter::TImpl::DbHeader() const {
    std::vector<std::uint8_t> h(static_cast<std::size_t>(FHeaderSize));
    const auto n = static_cast<std::uint16_t>(FFields.size());
    const auto blocks = static_cast<std::uint16_t>(FBlockNumber);
    PutU16(h, 0x00, static_cast<std::uint16_t>(FRecordSize));
    PutU16(h, 0x02, static_cast<std::uint16_t>(FHeaderSize));
    h[0x04] = FKeyFields > 0 ? 0 : 2;
    h[0x05] = BlockKb;
    PutU32(h, 0x06, static_cast<std::uint32_t>(FNumRecords));
    PutU16(h, 0x0A, blocks);
    PutU16(h, 0x0C, blocks);
    PutU16(h, 0x0E, blocks ? 1 : 0);
    PutU16(h, 0x10, blocks);
    PutU16(h, 0x12, 1);
    PutU16(h, 0x21, n);
    PutU16(h, 0x23, static_cast<std::uint16_t>(FKeyFields));
    PutU32(h, 0x25, 0xFF00FF00u); // "not encrypted" in version 4 and later
    h[0x29] = 0x00;               // sort order "ascii"
    h[0x2D] = ChangeCount;
    h[0x39] = FileVersion;
    PutU16(h, 0x3A, blocks);
    h[0x3E] = 0x1F;
    h[0x3F] = 0x0F;
    PutU32(h, 0x49, FAutoInc);
    h[0x56] = 0x20;
    PutU16(h, 0x58, DataHeaderVersion);
    PutU16(h, 0x5A, DataHeaderVersion);
    PutU16(h, 0x64, static_cast<std::uint16_t>(n + 1));
    PutU16(h, 0x6A, static_cast<std::uint16_t>(FCodePage.Number()));
    h[0x6C] = 1;
    h[0x6D] = 1;

    std::size_t at = 0x78;
    for (const TFieldDef& f : FFields) {
        h[at++] = static_cast<std::uint8_t>(f.Type);
        h[at++] = HeaderSizeByte(f);
    }
    at += 4 + 4 * FFields.size(); // table-name and field-name pointers, unused on disk
    const QByteArray tableName = TableName(FFile, ".db");
    std::memcpy(h.data() + at, tableName.constData(), static_cast<std::size_t>(tableName.size()));
    at += TableNameLength;
    for (const TFieldDef& f : FFields) {
        const QByteArray name = *FCodePage.Encode(f.Name);
        std::memcpy(h.data() + at, name.constData(), static_cast<std::size_t>(name.size()));
        at += static_cast<std::size_t>(name.size()) + 1;
    }
    PutU16(h, 0x66, static_cast<std::uint16_t>(at - 0x58));
    for (std::uint16_t id = 1; id <= n; ++id) {
        PutU16(h, at, id);
        at += 2;
    }
    PutU16(h, 0x6E, static_cast<std::uint16_t>(at - 0x58));
    std::memcpy(h.data() + at, "ascii", 6);
    at += 6;
    PutU16(h, 0x51, static_cast<std::uint16_t>(at));
    return h;
}

void TParadoxWriter::TImpl::WritePrimaryIndex(QSaveFile& px, const QString& where) const {
    // One level-1 entry per data block with its first key and record count;
    // each higher level holds one entry per block of the level below, until a
    // level fits in one block, the root. Blocks are numbered level by level.
    const int entrySize = FKeySize + 6;
    const int perBlock = (BlockSize - 6) / entrySize;
    std::vector<std::vector<std::uint8_t>> blocks;
    std::vector<TIndexEntry> level = FIndex;
    int levels = 0;
    qint64 entries = 0;
    int firstOfLevel = 1;
    while (!level.empty()) {
        ++levels;
        std::vector<TIndexEntry> parents;
        const int count = static_cast<int>((level.size() + static_cast<std::size_t>(perBlock) - 1) /
                                           static_cast<std::size_t>(perBlock));
        for (int b = 0; b < count; ++b) {
            const int number = firstOfLevel + b;
            if (number > MaxBlocks)
                Fail(DBErrorCode::General, where, QStringLiteral("the primary index is full"));
            std::vector<std::uint8_t> block(BlockSize);
            const std::size_t from =
                static_cast<std::size_t>(b) * static_cast<std::size_t>(perBlock);
            const std::size_t to =
                std::min(level.size(), from + static_cast<std::size_t>(perBlock));
            int sum = 0;
            for (std::size_t e = from; e < to; ++e) {
                std::uint8_t* entry =
                    block.data() + 6 + (e - from) * static_cast<std::size_t>(entrySize);
                std::memcpy(entry, level[e].Key.data(), level[e].Key.size());
                const std::span<std::uint8_t> tail(entry + FKeySize, 6);
                PutIndexShort(tail.subspan(0, 2), level[e].Block);
                PutIndexShort(tail.subspan(2, 2), std::min(level[e].Count, 0x7FFF));
                PutIndexShort(tail.subspan(4, 2), 0);
                sum += level[e].Count;
            }
            PutS16(block, 4,
                   static_cast<std::int16_t>((static_cast<int>(to - from) - 1) * entrySize));
            entries += static_cast<qint64>(to - from);
            blocks.push_back(std::move(block));
            parents.push_back({level[from].Key, number, sum});
        }
        firstOfLevel += count;
        if (count == 1)
            break;
        level = std::move(parents);
    }

    // One chain through all blocks, level 1 first and the root last, so
    // that the entries read in chain order as the records of the file.
    for (std::size_t b = 0; b < blocks.size(); ++b) {
        PutU16(blocks[b], 0, static_cast<std::uint16_t>(b + 1 < blocks.size() ? b + 2 : 0));
        PutU16(blocks[b], 2, static_cast<std::uint16_t>(b));
    }

    std::vector<std::uint8_t> h(HeaderUnit);
    const auto fileBlocks = static_cast<std::uint16_t>(blocks.size());
    PutU16(h, 0x00, static_cast<std::uint16_t>(entrySize));
    PutU16(h, 0x02, HeaderUnit);
    h[0x04] = 1;
    h[0x05] = BlockKb;
    PutU32(h, 0x06, static_cast<std::uint32_t>(entries));
    PutU16(h, 0x0A, fileBlocks);
    PutU16(h, 0x0C, fileBlocks);
    PutU16(h, 0x0E, fileBlocks ? 1 : 0);
    PutU16(h, 0x10, fileBlocks);
    PutU16(h, 0x12, 2);
    PutU16(h, 0x1E, static_cast<std::uint16_t>(std::max<std::size_t>(blocks.size(), 1)));
    h[0x20] = static_cast<std::uint8_t>(std::max(levels, 1));
    PutU16(h, 0x21, static_cast<std::uint16_t>(FKeyFields));
    h[0x2C] = ChangeCount;
    h[0x39] = FileVersion;
    PutU16(h, 0x3A, fileBlocks);
    h[0x49] = 1;
    std::size_t at = 0x58;
    for (int i = 0; i < FKeyFields; ++i) {
        h[at++] = static_cast<std::uint8_t>(FFields[static_cast<std::size_t>(i)].Type);
        h[at++] = HeaderSizeByte(FFields[static_cast<std::size_t>(i)]);
    }
    at += 4;
    const QByteArray tableName = TableName(FFile, ".px");
    std::memcpy(h.data() + at, tableName.constData(), static_cast<std::size_t>(tableName.size()));
    at += TableNameLength;
    PutU16(h, 0x51, static_cast<std::uint16_t>(at));
    WriteAll(px, where, h);
    for (const auto& block : blocks)
        WriteAll(px, where, block);
}

void TParadoxWriter::TImpl::Commit() {
    if (FCommitted)
        Fail(DBErrorCode::ClosedDataset, FWhere, QStringLiteral("the table is already committed"));
    if (FBlockNumber != 0)
        WriteBlock(0);
    WriteAt(FDb, FWhere, 0, DbHeader());

    std::filesystem::path pxFile = FFile;
    pxFile.replace_extension(".px");
    const QString pxWhere = TableFiles::Display(pxFile);
    std::optional<QSaveFile> px;
    if (FKeyFields > 0) {
        px.emplace(pxWhere);
        OpenSave(*px, pxWhere);
        WritePrimaryIndex(*px, pxWhere);
    }
    if (!TableFiles::All(FFile).empty())
        Fail(DBErrorCode::General, FWhere, QStringLiteral("a table of that name already exists"));
    // The .db appears last, so that no reader finds the table incomplete.
    if (FMb)
        FMb->Commit();
    if (px && !px->commit()) {
        DeleteParadoxTable(FFile);
        Fail(DBErrorCode::General, pxWhere,
             QStringLiteral("cannot save: %1").arg(px->errorString()));
    }
    if (!FDb.commit()) {
        DeleteParadoxTable(FFile);
        Fail(DBErrorCode::General, FWhere,
             QStringLiteral("cannot save: %1").arg(FDb.errorString()));
    }
    FCommitted = true;
}

TParadoxWriter::TParadoxWriter(const std::filesystem::path& file, std::vector<TFieldDef> fields,
                               int keyFields, int codePage)
    : FImpl(std::make_unique<TImpl>(file, std::move(fields), keyFields, codePage)) {}
TParadoxWriter::~TParadoxWriter() = default;
void TParadoxWriter::Append(const std::vector<TValue>& values) {
    FImpl->Append(values);
}
void TParadoxWriter::Commit() {
    FImpl->Commit();
}
