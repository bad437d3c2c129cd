#include "db/DataSet.h"

#include "db/Session.h"
#include "db/format/DBEngineError.h"

#include <algorithm>

// The session is made before any dataset, so that it outlives them all, also
// datasets with static storage.
TDataSet::TDataSet() {
    Session();
}

TDataSet::~TDataSet() {
    // Subclasses close in their own destructors (DoClose is theirs); this only
    // makes sure the session forgets the dataset.
    Session().Unregister(this);
}

void TDataSet::Open() {
    if (Active())
        return;
    std::vector<TFieldDef> defs;
    DoOpen(defs);
    FFields.clear();
    for (std::size_t i = 0; i < defs.size(); ++i) {
        defs[i].Number = static_cast<int>(i) + 1;
        FFields.emplace_back(*this, defs[i]);
    }
    FState = TDataSetState::Browse;
    try {
        ApplyFilter();
    } catch (...) {
        FState = TDataSetState::Inactive;
        FFields.clear();
        DoClose();
        throw;
    }
    Session().Register(this);
}

void TDataSet::Close() {
    if (!Active())
        return;
    FPending.clear();
    FState = TDataSetState::Inactive;
    FRows.clear();
    FFields.clear();
    FCurrent = 0;
    FEof = FBof = true;
    DoClose();
    Session().Unregister(this);
}

void TDataSet::SetActive(bool active) {
    if (active)
        Open();
    else
        Close();
}

void TDataSet::RequireActive() const {
    if (!Active())
        throw EDBEngineError(
            DBErrorCode::ClosedDataset,
            QStringLiteral("Cannot perform this operation on a closed dataset (%1)")
                .arg(DisplayName()));
}

void TDataSet::ApplyFilter() {
    const TRecordFilter filter = FFiltered
                                     ? TRecordFilter::Parse(FFilter,
                                                            [this] {
                                                                std::vector<TFieldDef> defs;
                                                                for (const TField& f : FFields)
                                                                    defs.push_back(f.Def());
                                                                return defs;
                                                            }())
                                     : TRecordFilter();
    FRows.clear();
    const int n = SourceRowCount();
    for (int row = 0; row < n; ++row)
        if (filter.Accepts([this, row](int field) { return SourceValue(row, field); }))
            FRows.push_back(row);
    FCurrent = 0;
    FEof = FBof = FRows.empty();
}

void TDataSet::First() {
    RequireActive();
    CheckBrowseMode();
    FCurrent = 0;
    FBof = true;
    FEof = FRows.empty();
}

void TDataSet::Next() {
    RequireActive();
    CheckBrowseMode();
    if (FCurrent + 1 < static_cast<int>(FRows.size())) {
        ++FCurrent;
        FBof = false;
    } else {
        FEof = true;
    }
}

void TDataSet::Prior() {
    RequireActive();
    CheckBrowseMode();
    if (FCurrent > 0) {
        --FCurrent;
        FEof = false;
    } else {
        FBof = true;
    }
}

void TDataSet::Last() {
    RequireActive();
    CheckBrowseMode();
    FCurrent = FRows.empty() ? 0 : static_cast<int>(FRows.size()) - 1;
    FEof = true;
    FBof = FRows.empty();
}

bool TDataSet::Eof() const {
    RequireActive();
    return FEof;
}

bool TDataSet::Bof() const {
    RequireActive();
    return FBof;
}

int TDataSet::RecordCount() const {
    RequireActive();
    return static_cast<int>(FRows.size());
}

int TDataSet::RecNo() const {
    RequireActive();
    return FRows.empty() ? 0 : FCurrent + 1;
}

TField& TDataSet::Fields(int index) {
    if (index < 0 || index >= FieldCount())
        throw EDBEngineError(
            DBErrorCode::NotFound,
            QStringLiteral("Field index %1 out of range in %2").arg(index).arg(DisplayName()));
    return FFields[static_cast<std::size_t>(index)];
}

TField* TDataSet::FindField(const QString& name) {
    for (TField& f : FFields)
        if (f.FieldName().compare(name, Qt::CaseInsensitive) == 0)
            return &f;
    return nullptr;
}

TField& TDataSet::FieldByName(const QString& name) {
    if (TField* f = FindField(name))
        return *f;
    throw EDBEngineError(DBErrorCode::NotFound,
                         QStringLiteral("%1: Field '%2' not found").arg(DisplayName(), name));
}

void TDataSet::SetFilter(const QString& filter) {
    if (filter == FFilter)
        return;
    const QString old = FFilter;
    FFilter = filter;
    if (Active() && FFiltered) {
        try {
            CheckBrowseMode();
            ApplyFilter();
        } catch (...) {
            FFilter = old;
            throw;
        }
    }
}

void TDataSet::SetFiltered(bool filtered) {
    if (filtered == FFiltered)
        return;
    FFiltered = filtered;
    if (Active()) {
        try {
            CheckBrowseMode();
            ApplyFilter();
        } catch (...) {
            FFiltered = !filtered;
            throw;
        }
    }
}

bool TDataSet::Locate(const QString& fieldName, const TValue& value, TLocateOptions options) {
    RequireActive();
    const TField& field = FieldByName(fieldName);
    const int index = field.FieldNo() - 1;
    const bool text = std::holds_alternative<QString>(value);
    const TValue wanted = text && (options.CaseInsensitive || options.PartialKey)
                              ? value
                              : ConvertValue(value, field.DataType(), field.FieldName());
    const Qt::CaseSensitivity cs =
        options.CaseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive;
    for (std::size_t i = 0; i < FRows.size(); ++i) {
        const TValue v = SourceValue(FRows[i], index);
        bool match = false;
        if (IsBlank(wanted)) {
            match = IsBlank(v);
        } else if (IsBlank(v)) {
            match = false;
        } else if (text && (options.CaseInsensitive || options.PartialKey)) {
            const QString s = ValueToText(v);
            const QString& w = std::get<QString>(wanted);
            match = options.PartialKey ? s.startsWith(w, cs) : s.compare(w, cs) == 0;
        } else {
            match = v == wanted;
        }
        if (match) {
            CheckBrowseMode();
            FCurrent = static_cast<int>(i);
            FEof = FBof = false;
            return true;
        }
    }
    return false;
}

void TDataSet::Edit() {
    throw EDBEngineError(
        DBErrorCode::ReadOnly,
        QStringLiteral("Cannot modify a read-only dataset (%1)").arg(DisplayName()));
}

void TDataSet::Post() {
    if (FState != TDataSetState::Edit)
        throw EDBEngineError(DBErrorCode::General,
                             QStringLiteral("%1: dataset not in edit mode").arg(DisplayName()));
}

void TDataSet::Cancel() {
    if (FState == TDataSetState::Edit) {
        FPending.clear();
        FState = TDataSetState::Browse;
    }
}

void TDataSet::CheckBrowseMode() {
    if (FState == TDataSetState::Edit)
        Post();
}

bool TDataSet::MoveToSourceRow(int row) {
    const auto it = std::lower_bound(FRows.begin(), FRows.end(), row);
    if (it == FRows.end() || *it != row)
        return false;
    FCurrent = static_cast<int>(it - FRows.begin());
    FEof = FBof = false;
    return true;
}

int TDataSet::CurrentSourceRow() const {
    if (!Active() || FRows.empty())
        return -1;
    return FRows[static_cast<std::size_t>(FCurrent)];
}

void TDataSet::SetState(TDataSetState state) {
    FState = state;
}

TValue TDataSet::CurrentValue(int field) const {
    RequireActive();
    if (FState == TDataSetState::Edit) {
        const auto it = FPending.find(field);
        if (it != FPending.end())
            return it->second;
    }
    const int row = CurrentSourceRow();
    if (row < 0 || field < 0 || field >= FieldCount())
        return std::monostate{};
    return SourceValue(row, field);
}

void TDataSet::SetCurrentValue(int field, const TValue& value) {
    if (FState != TDataSetState::Edit)
        throw EDBEngineError(
            DBErrorCode::General,
            QStringLiteral("%1: dataset not in edit or insert mode").arg(DisplayName()));
    FPending[field] = value;
}
