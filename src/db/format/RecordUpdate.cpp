#include "ParadoxTable.h"

#include "BlobFile.h"
#include "FieldCodec.h"
#include "FileLock.h"
#include "ParadoxTableImpl.h"
#include "TableFiles.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

// Fields of the table that a maintained secondary index (.Xnn of type 5,
// .XGn of type 8) covers. Such a file's fields are the indexed fields, then
// the primary key (under names of its own, such as "Cust#"), then "Blk Num";
// the indexed fields carry the table's field names.
std::vector<int> MaintainedIndexFields(const TParadoxTable& table,
                                       const std::filesystem::path& indexFile) {
    const QString where = TableFiles::Display(indexFile);
    TFileReader file(indexFile, where);
    const TParadoxHeader header = TParadoxTable::TImpl::ReadHeader(file, where, table.CodePage());
    if (header.FileType != TParadoxHeader::SecondaryDataInc &&
        header.FileType != TParadoxHeader::CompositeDataInc)
        return {};
    const int indexed = static_cast<int>(header.Fields.size()) - 1 - table.KeyFieldCount();
    if (indexed < 1)
        throw EDBEngineError(
            DBErrorCode::Corrupt,
            QStringLiteral("%1: the secondary index does not match its table").arg(where));
    std::vector<int> fields;
    for (int i = 0; i < indexed; ++i) {
        const QString& name = header.Fields[static_cast<std::size_t>(i)].Name;
        const int field = table.FieldIndex(name);
        if (field < 0)
            throw EDBEngineError(
                DBErrorCode::KeyViolation,
                QStringLiteral("%1: the secondary index covers a field \"%2\" that "
                               "the table lacks; refusing to leave it stale")
                    .arg(where, name));
        fields.push_back(field);
    }
    return fields;
}

} // namespace

void UpdateRecordInPlace(const std::filesystem::path& file, TRecordPos pos,
                         std::span<const std::uint8_t> expected,
                         const std::vector<TFieldChange>& changes) {
    if (changes.empty())
        return;
    // The lock comes first, so that the checks below see the file as it will
    // be written.
    const auto located = TParadoxTable::Open(file);
    const TFileLock lock(located->FileName());
    const auto table = TParadoxTable::Open(located->FileName());
    const TParadoxTable::TImpl& impl = table->Impl();
    const QString& where = impl.Where;

    std::vector<int> guarded;
    for (const auto& index : TableFiles::SecondaryIndexes(table->FileName())) {
        for (int field : MaintainedIndexFields(*table, index))
            guarded.push_back(field);
    }
    const auto& fields = table->Fields();
    std::optional<std::filesystem::path> mbFile;
    std::vector<bool> seen(fields.size());
    for (const TFieldChange& change : changes) {
        impl.CheckField(change.Field);
        const TFieldDef& def = fields[static_cast<std::size_t>(change.Field)];
        const auto refuse = [&](int code, const QString& why) {
            return EDBEngineError(code,
                                  QStringLiteral("%1: field \"%2\" cannot be changed in place: %3")
                                      .arg(where, def.Name, why));
        };
        if (seen[static_cast<std::size_t>(change.Field)])
            throw refuse(DBErrorCode::General, QStringLiteral("it is given twice"));
        seen[static_cast<std::size_t>(change.Field)] = true;
        if (change.Field < table->KeyFieldCount())
            throw refuse(DBErrorCode::KeyViolation,
                         QStringLiteral("it belongs to the primary key"));
        if (std::find(guarded.begin(), guarded.end(), change.Field) != guarded.end())
            throw refuse(DBErrorCode::KeyViolation,
                         QStringLiteral("a maintained secondary index covers it"));
        // Formatted memos carry formatting data of their own, and binary,
        // OLE and graphic values are never ours to write.
        if (IsBlobType(def.Type) && def.Type != TFieldType::Memo)
            throw refuse(DBErrorCode::General, QStringLiteral("its value lives in the blob file"));
        if (def.Type == TFieldType::Memo && !mbFile) {
            mbFile = TableFiles::Companion(table->FileName(), QStringLiteral("mb"));
            if (!mbFile)
                throw refuse(DBErrorCode::NotFound,
                             QStringLiteral("the table's blob file (.mb) is missing"));
        }
        if (def.Type == TFieldType::AutoInc)
            throw refuse(DBErrorCode::General, QStringLiteral("the table numbers it itself"));
    }

    // The whole chain must be sound, and the record must still be on it.
    bool onChain = false;
    impl.WalkChain([&](const TParadoxTable::TImpl::TBlock& block) {
        onChain = onChain || block.Number == pos.Block;
        return true;
    });
    std::vector<std::uint8_t> current;
    const bool present = onChain && table->ReadAt(pos, [&](const TRecordView& record) {
        current.assign(record.Bytes().begin(), record.Bytes().end());
    });
    if (!present || expected.size() != current.size() ||
        !std::equal(expected.begin(), expected.end(), current.begin()))
        throw EDBEngineError(
            DBErrorCode::Locked,
            QStringLiteral("%1: the record was changed or moved by another user").arg(where));

    // Patch the new field bytes into the record, to be written from the
    // first changed byte to the last in one call; bytes in between are
    // rewritten with the values just verified.
    std::size_t low = current.size();
    std::size_t high = 0;
    std::vector<std::uint8_t> updated = current;
    struct TMemo {
        std::span<std::uint8_t> Field;
        QByteArray Data;
        bool External = false; // longer than the leader
    };
    std::vector<TMemo> memos;
    for (const TFieldChange& change : changes) {
        const std::size_t offset =
            static_cast<std::size_t>(impl.Offsets[static_cast<std::size_t>(change.Field)]);
        const TFieldDef& def = fields[static_cast<std::size_t>(change.Field)];
        const std::size_t size = static_cast<std::size_t>(def.Size);
        const std::span<std::uint8_t> out = std::span(updated).subspan(offset, size);
        if (def.Type == TFieldType::Memo) {
            QByteArray data = FieldCodec::BlobData(def, change.Value, impl.CodePage, where);
            const bool external =
                static_cast<std::size_t>(data.size()) > FieldCodec::BlobLeader(def);
            memos.push_back({out, std::move(data), external});
        } else {
            FieldCodec::Encode(def, change.Value, impl.CodePage, out, where);
        }
        low = std::min(low, offset);
        high = std::max(high, offset + size);
    }

    // A memo that fits its leader is stored in the record alone. A longer one
    // goes into a new block at the end of the .mb, which is written and synced
    // before the record refers to it: a failure or crash before the record
    // write leaves at worst a block that nothing refers to. The .mb is locked
    // as well as the .db (always in that order, and without waiting) while it
    // grows, which also keeps out a process that writes the blob file without
    // going through this table's lock.
    std::optional<TBlobAppender> blobs;
    if (mbFile) {
        if (std::any_of(memos.begin(), memos.end(),
                        [](const TMemo& memo) { return memo.External; }))
            blobs.emplace(*mbFile);
        else
            TBlobAppender::Check(*mbFile);
    }
    for (const TMemo& memo : memos) {
        const std::span<const std::uint8_t> data(
            reinterpret_cast<const std::uint8_t*>(memo.Data.constData()),
            static_cast<std::size_t>(memo.Data.size()));
        const auto [pointer, mod] =
            memo.External ? blobs->Add(data) : std::pair<std::uint32_t, std::uint16_t>{0, 0};
        FieldCodec::PutBlobField(memo.Field, data, pointer, mod);
    }
    if (blobs)
        blobs->Commit();

    if (!lock.WriteAt(std::span(updated).subspan(low, high - low),
                      pos.Offset + static_cast<qint64>(low)))
        throw EDBEngineError(DBErrorCode::General,
                             QStringLiteral("%1: the record could not be written: %2")
                                 .arg(where, errno ? QString::fromLocal8Bit(std::strerror(errno))
                                                   : QStringLiteral("short write")));
}
