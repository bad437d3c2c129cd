#pragma once

#include "db/DataSet.h"

#include <QStringList>

#include <memory>

struct TSqlResult;

// A query in the local SQL dialect against the tables of one folder: table
// references are file names ("phase.db") or bare names (Prod_Lib), found
// without regard to case; string literals may be double-quoted; a column may
// be qualified by its table's name although the table has an alias. The whole
// result is read on Open; tables are read through the session's cache.
class TQuery : public TDataSet {
public:
    TQuery();
    ~TQuery() override;

    // The folder that serves as the database.
    const QString& DatabaseName() const { return FDatabaseName; }
    void SetDatabaseName(const QString& folder);

    // The SQL text as lines. Setting it closes the query.
    const QStringList& SQL() const { return FSQL; }
    QString SQLText() const { return FSQL.join(QLatin1Char('\n')); }
    void SetSQL(const QStringList& lines);
    void SetSQL(const QString& text);

    QString DisplayName() const override { return QStringLiteral("query"); }

protected:
    // Raises EDBEngineError(SqlSyntax) with the reason for text the dialect does
    // not allow, EDBEngineError(NotFound) for a missing table or column.
    void DoOpen(std::vector<TFieldDef>& fields) override;
    void DoClose() override;
    int SourceRowCount() const override;
    TValue SourceValue(int row, int field) const override;

private:
    QString FDatabaseName;
    QStringList FSQL;
    std::unique_ptr<TSqlResult> FResult;
};
