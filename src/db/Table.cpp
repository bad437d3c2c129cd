#include "db/Table.h"

#include "db/Session.h"
#include "db/format/DBEngineError.h"

#include <QDir>

namespace {
QString PathText(const std::filesystem::path& p) {
    return QString::fromStdString(p.string());
}
} // namespace

TTable::TTable() = default;

TTable::~TTable() {
    Close();
}

void TTable::SetDatabaseName(const QString& folder) {
    Close();
    FDatabaseName = folder;
}

void TTable::SetTableName(const QString& name) {
    Close();
    FTableName = name;
}

bool TTable::Exists() const {
    return !FDatabaseName.isEmpty() && !FTableName.isEmpty() &&
           FindTableFile(FDatabaseName.toStdString(), FTableName).has_value();
}

std::filesystem::path TTable::ResolvedFile() const {
    if (FTableName.isEmpty())
        throw EDBEngineError(DBErrorCode::NotFound, QStringLiteral("The table has no table name"));
    const std::filesystem::path folder = FDatabaseName.toStdString();
    const auto file = FindTableFile(folder, FTableName);
    if (!file)
        throw EDBEngineError(DBErrorCode::NotFound,
                             QStringLiteral("Table does not exist: %1")
                                 .arg(PathText(folder / FTableName.toStdString())));
    return *file;
}

QString TTable::DisplayName() const {
    return FFile.empty() ? FTableName : PathText(FFile);
}

void TTable::DoOpen(std::vector<TFieldDef>& fields) {
    FFile = ResolvedFile();
    FParadox = TParadoxTable::Open(FFile);
    FSourceRows.clear();
    try {
        FParadox->ForEachRecord([this](const TRecordView& record) {
            const auto bytes = record.Bytes();
            FSourceRows.push_back({record.Position(), {bytes.begin(), bytes.end()}});
            return true;
        });
    } catch (...) {
        FSourceRows.clear();
        FParadox.reset();
        throw;
    }
    fields = FParadox->Fields();
}

void TTable::DoClose() {
    ReleaseLock();
    FSourceRows.clear();
    FParadox.reset();
}

int TTable::SourceRowCount() const {
    return static_cast<int>(FSourceRows.size());
}

TValue TTable::SourceValue(int row, int field) const {
    const TRow& r = FSourceRows[static_cast<std::size_t>(row)];
    return TRecordView(*FParadox, r.Bytes, r.Pos).Value(field);
}

void TTable::ReleaseLock() {
    if (FRecordLock) {
        FRecordLock->unlock();
        FRecordLock.reset();
    }
}

void TTable::Edit() {
    RequireActive();
    if (State() == TDataSetState::Edit)
        return;
    const int row = CurrentSourceRow();
    if (row < 0)
        throw EDBEngineError(
            DBErrorCode::General,
            QStringLiteral("Cannot edit: the table is empty: %1").arg(DisplayName()));
    TRow& r = FSourceRows[static_cast<std::size_t>(row)];
    // The record lock is a lock file beside the table, named after the
    // record's offset, so that every program working on the folder sees it. A
    // lock whose program has ended is taken over; age alone never frees it.
    const std::filesystem::path lockPath =
        FFile.parent_path() /
        (FFile.filename().string() + "." + std::to_string(r.Pos.Offset) + ".lck");
    auto lock = std::make_unique<QLockFile>(PathText(lockPath));
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) {
        if (lock->error() == QLockFile::LockFailedError)
            throw EDBEngineError(
                DBErrorCode::Locked,
                QStringLiteral("Record locked by another user. Table: %1").arg(DisplayName()));
        throw EDBEngineError(DBErrorCode::ReadOnly,
                             QStringLiteral("Cannot lock the record: %1").arg(PathText(lockPath)));
    }
    bool present = false;
    FParadox->ReadAt(r.Pos, [&r, &present](const TRecordView& record) {
        const auto bytes = record.Bytes();
        r.Bytes.assign(bytes.begin(), bytes.end());
        present = true;
    });
    if (!present)
        throw EDBEngineError(
            DBErrorCode::NotFound,
            QStringLiteral("Record was deleted by another user. Table: %1").arg(DisplayName()));
    FRecordLock = std::move(lock);
    ClearPending();
    SetState(TDataSetState::Edit);
}

void TTable::Post() {
    TDataSet::Post(); // raises unless in edit state
    TRow& r = FSourceRows[static_cast<std::size_t>(CurrentSourceRow())];
    if (!PendingChanges().empty()) {
        std::vector<TFieldChange> changes;
        for (const auto& [field, value] : PendingChanges())
            changes.push_back({field, value});
        UpdateRecordInPlace(FFile, r.Pos, r.Bytes, changes);
        Session().TableChanged(FFile);
        FParadox->ReadAt(r.Pos, [&r](const TRecordView& record) {
            const auto bytes = record.Bytes();
            r.Bytes.assign(bytes.begin(), bytes.end());
        });
    }
    ClearPending();
    SetState(TDataSetState::Browse);
    ReleaseLock();
}

void TTable::Cancel() {
    TDataSet::Cancel();
    ReleaseLock();
}

int TTable::KeyFieldCount() const {
    RequireActive();
    return FParadox->KeyFieldCount();
}

bool TTable::FindKey(const std::vector<TValue>& key) {
    RequireActive();
    CheckBrowseMode();
    const int keys = FParadox->KeyFieldCount();
    if (keys == 0)
        throw EDBEngineError(DBErrorCode::NotFound,
                             QStringLiteral("Table has no primary index: %1").arg(DisplayName()));
    if (static_cast<int>(key.size()) != keys)
        throw EDBEngineError(
            DBErrorCode::General,
            QStringLiteral("FindKey needs %1 key values for %2").arg(keys).arg(DisplayName()));
    std::vector<TValue> converted;
    for (std::size_t i = 0; i < key.size(); ++i) {
        const TFieldDef& def = FParadox->Fields()[i];
        converted.push_back(ConvertValue(key[i], def.Type, def.Name));
    }
    std::optional<qint64> offset;
    FParadox->FindKey(converted,
                      [&offset](const TRecordView& record) { offset = record.Position().Offset; });
    if (!offset)
        return false;
    for (std::size_t row = 0; row < FSourceRows.size(); ++row)
        if (FSourceRows[row].Pos.Offset == *offset)
            return MoveToSourceRow(static_cast<int>(row));
    return false;
}

std::vector<TIndexDef> TTable::IndexDefs() const {
    RequireActive();
    std::vector<TIndexDef> defs;
    const int keys = FParadox->KeyFieldCount();
    if (keys > 0) {
        TIndexDef primary;
        primary.Primary = primary.Unique = true;
        for (int i = 0; i < keys; ++i)
            primary.Fields << FParadox->Fields()[static_cast<std::size_t>(i)].Name;
        defs.push_back(primary);
    }
    return defs;
}

void TTable::DeleteTable() {
    if (Active())
        throw EDBEngineError(DBErrorCode::General,
                             QStringLiteral("Cannot delete an open table: %1").arg(DisplayName()));
    const std::filesystem::path file = ResolvedFile();
    DeleteParadoxTable(file);
    Session().TableChanged(file);
}
