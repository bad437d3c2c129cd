#include "db/Query.h"

#include "db/Session.h"
#include "db/format/DBEngineError.h"
#include "db/sql/SqlEngine.h"

TQuery::TQuery() = default;

TQuery::~TQuery() {
    Close();
}

void TQuery::SetDatabaseName(const QString& folder) {
    Close();
    FDatabaseName = folder;
}

void TQuery::SetSQL(const QStringList& lines) {
    Close();
    FSQL = lines;
}

void TQuery::SetSQL(const QString& text) {
    QString t = text;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    SetSQL(t.isEmpty() ? QStringList() : t.split(QLatin1Char('\n')));
}

void TQuery::DoOpen(std::vector<TFieldDef>& fields) {
    if (FDatabaseName.isEmpty())
        throw EDBEngineError(DBErrorCode::NotFound,
                             QStringLiteral("The query has no database folder"));
    auto result = std::make_unique<TSqlResult>(
        Session().SqlEngine().Run(FDatabaseName.toStdString(), SQLText()));
    fields = result->Fields;
    FResult = std::move(result);
}

void TQuery::DoClose() {
    FResult.reset();
}

int TQuery::SourceRowCount() const {
    return FResult ? static_cast<int>(FResult->Rows.size()) : 0;
}

TValue TQuery::SourceValue(int row, int field) const {
    return FResult->Rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(field)];
}
