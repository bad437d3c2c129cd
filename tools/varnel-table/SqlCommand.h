#pragma once

#include <QString>

#include <cstdio>

// varnel-table --sql FOLDER TEXT [--filter EXPR]: runs a query of the local
// SQL dialect against the tables of FOLDER and prints the result as a table
// dump does (column names, then the rows, tab-separated). Returns 0, or 1
// with the engine error on `err`.
int RunSql(const QString& folder, const QString& text, const QString& filter, std::FILE* out,
           std::FILE* err);
