#include "ParadoxTable.h"

#include "ByteIo.h"
#include "FieldCodec.h"
#include "ParadoxTableImpl.h"
#include "TableFiles.h"

#include <algorithm>
#include <cstring>

using namespace ParadoxBytes;

namespace {

[[noreturn]] void Fail(const QString& where, const QString& what) {
    throw EDBEngineError(DBErrorCode::Corrupt, QStringLiteral("%1: %2").arg(where, what));
}

int CompareKey(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b) {
    return std::memcmp(a.data(), b.data(), b.size());
}

// The modified big-endian short of index entries (block number, count).
int IndexShort(std::span<const std::uint8_t> bytes) {
    return static_cast<std::int16_t>(
        static_cast<std::uint16_t>(((bytes[0] << 8) | bytes[1]) ^ 0x8000));
}

} // namespace

// ---- TImpl ----------------------------------------------------------------

TParadoxHeader TParadoxTable::TImpl::ReadHeader(TFileReader& file, const QString& where,
                                                int fallbackCodePage) {
    const std::size_t first = static_cast<std::size_t>(std::min<qint64>(file.Size(), 0x58));
    const int needed = TParadoxHeader::HeaderBytesNeeded(file.Read(0, first), file.Size());
    return TParadoxHeader::Parse(file.Read(0, static_cast<std::size_t>(needed)), file.Size(), where,
                                 fallbackCodePage);
}

TParadoxTable::TImpl::TImpl(const std::filesystem::path& file, int fallbackCodePage)
    : File(file), Where(TableFiles::Display(file)), Db(file, Where),
      Header(ReadHeader(Db, Where, fallbackCodePage)), CodePage(Header.CodePage, Where) {
    if (Header.IsIndexFile())
        Fail(Where, QStringLiteral("an index file, not a table"));
    int offset = 0;
    for (const TFieldDef& field : Header.Fields) {
        Offsets.push_back(offset);
        offset += field.Size;
    }
}

TParadoxTable::TImpl::TBlock TParadoxTable::TImpl::ReadBlock(TFileReader& file,
                                                             const TParadoxHeader& header,
                                                             int number, const QString& where) {
    if (number < 1 || number > header.FileBlocks)
        Fail(where, QStringLiteral("block %1 is outside the %2 blocks of the file")
                        .arg(number)
                        .arg(header.FileBlocks));
    const auto bytes =
        file.Read(header.BlockOffset(number), static_cast<std::size_t>(header.BlockSize));
    TBlock block;
    block.Number = number;
    block.Next = U16(bytes, 0);
    block.Prev = U16(bytes, 2);
    const int lastOffset = S16(bytes, 4);
    const int rs = header.RecordSize;
    if (lastOffset < -rs || lastOffset % rs != 0 ||
        lastOffset > (header.MaxRecordsPerBlock() - 1) * rs)
        Fail(where, QStringLiteral("block %1 declares an invalid record count (offset %2)")
                        .arg(number)
                        .arg(lastOffset));
    block.Count = lastOffset / rs + 1;
    block.Records = bytes.subspan(6, static_cast<std::size_t>(block.Count * rs));
    return block;
}

void TParadoxTable::TImpl::WalkChain(const std::function<bool(const TBlock&)>& visit) const {
    Db.Refresh();
    std::vector<bool> seen(static_cast<std::size_t>(Header.FileBlocks) + 1);
    int number = Header.FirstBlock;
    int previous = 0;
    qint64 total = 0;
    while (number != 0) {
        if (number > Header.FileBlocks)
            Fail(Where, QStringLiteral("the block chain links to block %1, outside the %2 blocks "
                                       "of the file")
                            .arg(number)
                            .arg(Header.FileBlocks));
        if (seen[static_cast<std::size_t>(number)])
            Fail(Where, QStringLiteral("the block chain loops at block %1").arg(number));
        seen[static_cast<std::size_t>(number)] = true;
        const TBlock block = ReadBlock(Db, Header, number, Where);
        if (block.Prev != previous)
            Fail(Where, QStringLiteral("block %1 links back to block %2 instead of %3")
                            .arg(number)
                            .arg(block.Prev)
                            .arg(previous));
        total += block.Count;
        if (total > Header.NumRecords)
            Fail(Where, QStringLiteral("the block chain holds more than the %1 records the header "
                                       "declares")
                            .arg(Header.NumRecords));
        if (!visit(block))
            return;
        previous = number;
        number = block.Next;
    }
    if (previous != Header.LastBlock)
        Fail(Where, QStringLiteral("the block chain ends at block %1, the header says %2")
                        .arg(previous)
                        .arg(Header.LastBlock));
    if (total != Header.NumRecords)
        Fail(Where, QStringLiteral("the block chain holds %1 records, the header declares %2")
                        .arg(total)
                        .arg(Header.NumRecords));
}

void TParadoxTable::TImpl::CheckField(int field) const {
    if (field < 0 || field >= static_cast<int>(Header.Fields.size()))
        throw EDBEngineError(DBErrorCode::NotFound,
                             QStringLiteral("%1: no field number %2").arg(Where).arg(field + 1));
}

std::span<const std::uint8_t>
TParadoxTable::TImpl::FieldBytes(int field, std::span<const std::uint8_t> record) const {
    CheckField(field);
    const auto index = static_cast<std::size_t>(field);
    return record.subspan(static_cast<std::size_t>(Offsets[index]),
                          static_cast<std::size_t>(Header.Fields[index].Size));
}

TValue TParadoxTable::TImpl::Value(int field, std::span<const std::uint8_t> record) const {
    const auto bytes = FieldBytes(field, record);
    const TFieldDef& def = Header.Fields[static_cast<std::size_t>(field)];
    if (!IsBlobType(def.Type))
        return FieldCodec::Decode(def, bytes, CodePage, Where);

    // A blob field: `leader` bytes of the value, then a little-endian
    // reference {u32 offset|index, u32 length, u16 modification number}.
    const std::size_t leader = static_cast<std::size_t>(def.Size - 10);
    const std::uint32_t pointer = U32(bytes, leader);
    const std::uint32_t length = U32(bytes, leader + 4);
    if (length == 0)
        return std::monostate{};
    QByteArray data;
    if (pointer == 0) {
        if (length > leader)
            Fail(Where, QStringLiteral("field \"%1\" declares %2 bytes inline but holds only %3")
                            .arg(def.Name)
                            .arg(length)
                            .arg(leader));
        data =
            QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(length));
    } else {
        if (!Mb) {
            const auto mbFile = TableFiles::Companion(File, QStringLiteral("mb"));
            if (!mbFile)
                throw EDBEngineError(
                    DBErrorCode::NotFound,
                    QStringLiteral("%1: field \"%2\" is stored in a blob file (.mb) "
                                   "that is missing")
                        .arg(Where, def.Name));
            Mb.emplace(*mbFile, TableFiles::Display(*mbFile));
        }
        data = Mb->Read(pointer, length, def.Name);
    }
    switch (def.Type) {
    case TFieldType::Memo:
    case TFieldType::FmtMemo:
        return CodePage.Decode(
            std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(data.constData()),
                                          static_cast<std::size_t>(data.size())));
    case TFieldType::Graphic:
        // Graphics carry an 8-byte prefix {01 00 00 01, u32 image length}.
        if (data.size() >= 8 && data.startsWith(QByteArrayView("\x01\x00\x00\x01", 4)))
            data.remove(0, 8);
        return data;
    default:
        return data;
    }
}

int TParadoxTable::TImpl::KeySize() const {
    int size = 0;
    for (int i = 0; i < Header.KeyFields; ++i)
        size += Header.Fields[static_cast<std::size_t>(i)].Size;
    return size;
}

bool TParadoxTable::TImpl::KeyBytesOrdered() const {
    // The "ascii" sort order compares the code-page bytes; other language
    // drivers collate text in an order that the bytes do not follow.
    if (Header.SortOrder == 0)
        return true;
    for (int i = 0; i < Header.KeyFields; ++i) {
        if (Header.Fields[static_cast<std::size_t>(i)].Type == TFieldType::Alpha)
            return false;
    }
    return true;
}

std::optional<std::vector<std::uint8_t>>
TParadoxTable::TImpl::EncodeKey(const std::vector<TValue>& key) const {
    if (Header.KeyFields == 0)
        throw EDBEngineError(DBErrorCode::General,
                             QStringLiteral("%1: the table has no primary key").arg(Where));
    if (static_cast<int>(key.size()) != Header.KeyFields)
        throw EDBEngineError(DBErrorCode::General,
                             QStringLiteral("%1: the key has %2 fields, not %3")
                                 .arg(Where)
                                 .arg(Header.KeyFields)
                                 .arg(key.size()));
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(KeySize()));
    std::size_t at = 0;
    for (int i = 0; i < Header.KeyFields; ++i) {
        const TFieldDef& def = Header.Fields[static_cast<std::size_t>(i)];
        try {
            FieldCodec::Encode(def, key[static_cast<std::size_t>(i)], CodePage,
                               std::span(bytes).subspan(at, static_cast<std::size_t>(def.Size)),
                               Where);
        } catch (const EDBEngineError&) {
            return std::nullopt;
        }
        at += static_cast<std::size_t>(def.Size);
    }
    return bytes;
}

std::optional<TRecordPos>
TParadoxTable::TImpl::FindByIndex(std::span<const std::uint8_t> key,
                                  std::vector<std::uint8_t>& record) const {
    const auto pxFile = TableFiles::Companion(File, QStringLiteral("px"));
    const QString pxWhere = TableFiles::Display(*pxFile);
    TFileReader px(*pxFile, pxWhere);
    const TParadoxHeader index = ReadHeader(px, pxWhere, Header.CodePage);
    const int keySize = KeySize();
    bool matches = index.FileType == TParadoxHeader::PrimaryIndex &&
                   static_cast<int>(index.Fields.size()) == Header.KeyFields &&
                   index.RecordSize == keySize + 6;
    for (std::size_t i = 0; matches && i < index.Fields.size(); ++i)
        matches = index.Fields[i].Type == Header.Fields[i].Type &&
                  index.Fields[i].Size == Header.Fields[i].Size;
    if (!matches)
        Fail(pxWhere, QStringLiteral("the primary index does not match the key of its table"));
    if (index.NumRecords == 0)
        return std::nullopt;

    int number = index.IndexRoot;
    const std::size_t ks = static_cast<std::size_t>(keySize);
    const std::size_t entrySize = static_cast<std::size_t>(index.RecordSize);
    for (int level = index.IndexLevels; level >= 1; --level) {
        const TBlock block = ReadBlock(px, index, number, pxWhere);
        int chosen = -1;
        for (int i = 0; i < block.Count; ++i) {
            if (CompareKey(block.Records.subspan(static_cast<std::size_t>(i) * entrySize, ks),
                           key) > 0)
                break;
            chosen = i;
        }
        if (chosen < 0)
            return std::nullopt;
        number =
            IndexShort(block.Records.subspan(static_cast<std::size_t>(chosen) * entrySize + ks, 2));
        if (level > 1 && (number < 1 || number > index.FileBlocks))
            Fail(pxWhere,
                 QStringLiteral("an index entry points at block %1, outside the file").arg(number));
    }
    if (number < 1 || number > Header.FileBlocks)
        Fail(pxWhere, QStringLiteral("an index entry points at data block %1, outside the table")
                          .arg(number));
    const TBlock block = ReadBlock(Db, Header, number, Where);
    const std::size_t rs = static_cast<std::size_t>(Header.RecordSize);
    for (int slot = 0; slot < block.Count; ++slot) {
        const auto bytes = block.Records.subspan(static_cast<std::size_t>(slot) * rs, rs);
        if (CompareKey(bytes, key) == 0) {
            record.assign(bytes.begin(), bytes.end());
            return TRecordPos{static_cast<std::uint16_t>(number), slot,
                              Header.BlockOffset(number) + 6 +
                                  static_cast<qint64>(slot) * Header.RecordSize};
        }
    }
    return std::nullopt;
}

std::optional<TRecordPos>
TParadoxTable::TImpl::FindInChain(std::span<const std::uint8_t> key,
                                  std::vector<std::uint8_t>& record) const {
    const bool ordered = KeyBytesOrdered();
    const std::size_t rs = static_cast<std::size_t>(Header.RecordSize);
    std::optional<TRecordPos> found;
    WalkChain([&](const TBlock& block) {
        if (block.Count == 0)
            return true;
        // In key order a block whose last key is smaller cannot hold the key.
        if (ordered &&
            CompareKey(block.Records.subspan((static_cast<std::size_t>(block.Count) - 1) * rs, rs),
                       key) < 0)
            return true;
        for (int slot = 0; slot < block.Count; ++slot) {
            const auto bytes = block.Records.subspan(static_cast<std::size_t>(slot) * rs, rs);
            if (CompareKey(bytes, key) == 0) {
                record.assign(bytes.begin(), bytes.end());
                found = TRecordPos{static_cast<std::uint16_t>(block.Number), slot,
                                   Header.BlockOffset(block.Number) + 6 +
                                       static_cast<qint64>(slot) * Header.RecordSize};
                return false;
            }
        }
        return !ordered;
    });
    return found;
}

// ---- TRecordView ----------------------------------------------------------

TValue TRecordView::Value(int field) const {
    return FTable.Impl().Value(field, FBytes);
}

bool TRecordView::IsBlank(int field) const {
    const auto& impl = FTable.Impl();
    const auto bytes = impl.FieldBytes(field, FBytes);
    const TFieldDef& def = impl.Header.Fields[static_cast<std::size_t>(field)];
    if (IsBlobType(def.Type))
        return U32(bytes, bytes.size() - 6) == 0;
    return FieldCodec::IsBlank(def, bytes);
}

std::span<const std::uint8_t> TRecordView::FieldBytes(int field) const {
    return FTable.Impl().FieldBytes(field, FBytes);
}

// ---- TParadoxTable --------------------------------------------------------

TParadoxTable::TParadoxTable(std::unique_ptr<TImpl> impl) : FImpl(std::move(impl)) {}
TParadoxTable::~TParadoxTable() = default;

std::unique_ptr<TParadoxTable> TParadoxTable::Open(const std::filesystem::path& file,
                                                   int fallbackCodePage) {
    std::filesystem::path resolved = file;
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error)) {
        const std::filesystem::path folder = file.has_parent_path() ? file.parent_path() : ".";
        const auto found = FindTableFile(folder, QString::fromStdString(file.filename().string()));
        if (!found)
            throw EDBEngineError(
                DBErrorCode::NotFound,
                QStringLiteral("%1: table not found").arg(TableFiles::Display(file)));
        resolved = *found;
    }
    return std::unique_ptr<TParadoxTable>(
        new TParadoxTable(std::make_unique<TImpl>(resolved, fallbackCodePage)));
}

const std::filesystem::path& TParadoxTable::FileName() const {
    return FImpl->File;
}
const std::vector<TFieldDef>& TParadoxTable::Fields() const {
    return FImpl->Header.Fields;
}
int TParadoxTable::KeyFieldCount() const {
    return FImpl->Header.KeyFields;
}
int TParadoxTable::FileVersion() const {
    return FImpl->Header.FileVersion;
}
int TParadoxTable::CodePage() const {
    return FImpl->Header.CodePage;
}
qint64 TParadoxTable::RecordCount() const {
    return FImpl->Header.NumRecords;
}
int TParadoxTable::RecordSize() const {
    return FImpl->Header.RecordSize;
}

int TParadoxTable::FieldIndex(const QString& name) const {
    const auto& fields = FImpl->Header.Fields;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (fields[i].Name.compare(name, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    }
    return -1;
}

void TParadoxTable::Validate() const {
    FImpl->WalkChain([](const TImpl::TBlock&) { return true; });
}

void TParadoxTable::ForEachRecord(const std::function<bool(const TRecordView&)>& visit) const {
    const std::size_t rs = static_cast<std::size_t>(FImpl->Header.RecordSize);
    std::vector<std::uint8_t> records;
    FImpl->WalkChain([&](const TImpl::TBlock& block) {
        // A copy, so that a visitor may read this table again.
        records.assign(block.Records.begin(), block.Records.end());
        const qint64 base = FImpl->Header.BlockOffset(block.Number) + 6;
        for (int slot = 0; slot < block.Count; ++slot) {
            const TRecordPos pos{static_cast<std::uint16_t>(block.Number), slot,
                                 base + static_cast<qint64>(slot) * FImpl->Header.RecordSize};
            if (!visit(TRecordView(
                    *this, std::span(records).subspan(static_cast<std::size_t>(slot) * rs, rs),
                    pos)))
                return false;
        }
        return true;
    });
}

bool TParadoxTable::FindKey(const std::vector<TValue>& key,
                            const std::function<void(const TRecordView&)>& visit) const {
    const auto encoded = FImpl->EncodeKey(key);
    if (!encoded)
        return false;
    FImpl->Db.Refresh();
    std::vector<std::uint8_t> record;
    const bool useIndex = FImpl->KeyBytesOrdered() &&
                          TableFiles::Companion(FImpl->File, QStringLiteral("px")).has_value();
    const std::optional<TRecordPos> pos =
        useIndex ? FImpl->FindByIndex(*encoded, record) : FImpl->FindInChain(*encoded, record);
    if (!pos)
        return false;
    visit(TRecordView(*this, record, *pos));
    return true;
}

bool TParadoxTable::ReadAt(TRecordPos pos,
                           const std::function<void(const TRecordView&)>& visit) const {
    const TParadoxHeader& header = FImpl->Header;
    if (pos.Block < 1 || pos.Block > header.FileBlocks || pos.Slot < 0)
        return false;
    FImpl->Db.Refresh();
    const TImpl::TBlock block = TImpl::ReadBlock(FImpl->Db, header, pos.Block, FImpl->Where);
    const qint64 offset =
        header.BlockOffset(pos.Block) + 6 + static_cast<qint64>(pos.Slot) * header.RecordSize;
    if (pos.Slot >= block.Count || offset != pos.Offset)
        return false;
    const std::size_t rs = static_cast<std::size_t>(header.RecordSize);
    const auto bytes = block.Records.subspan(static_cast<std::size_t>(pos.Slot) * rs, rs);
    const std::vector<std::uint8_t> record(bytes.begin(), bytes.end());
    visit(TRecordView(*this, record, pos));
    return true;
}
