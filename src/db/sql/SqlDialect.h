#pragma once

#include <QString>

#include <functional>
#include <vector>

// What a select-list item of the outermost SELECT is, for result columns that
// have no source column to take their type from.
enum class TSelectItemKind {
    Column,
    IntegerConstant,
    FloatConstant,
    TextConstant,
    Count,
    Sum,
    Other
};

struct TTranslation {
    QString Sql; // the statement in SQLite's dialect
    // One entry per select-list item; empty when the list has a "*".
    std::vector<TSelectItemKind> Items;
};

// Translates one SELECT statement of the local SQL dialect into SQLite's.
// Table references ("phase.db", Prod_Lib) are replaced by the names that
// `resolve` returns for them (it gets the name as written, without quotes, and
// raises when there is no such table); every table gets its alias, or its own
// name as alias; qualifiers that name an aliased table by its own name are
// replaced by the alias; double-quoted texts become string literals (after a
// "." they stay column names); NOT applies to a comparison with a blank as to
// a false one. Raises EDBEngineError(SqlSyntax) with the reason for text the
// dialect does not allow: other statements than SELECT, several statements,
// unknown qualifiers, a column outside GROUP BY beside aggregates, unbalanced
// parentheses or quotes.
TTranslation TranslateSql(const QString& text,
                          const std::function<QString(const QString&)>& resolve);
