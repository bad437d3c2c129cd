#pragma once

#include "db/DataSet.h"
#include "db/format/ParadoxTable.h"

#include <QStringList>

#include <filesystem>
#include <ostream>
#include <vector>

// Readable gtest messages for texts.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

// Small Paradox tables written for one test, and rows of a dataset as text.

struct TCol {
    const char* Name;
    TFieldType Type;
    int Size = 0; // Alpha width; 0: the type's natural size
};

// Writes a table with `keys` key fields (rows must then come in key order).
void WriteTable(const std::filesystem::path& file, const std::vector<TCol>& cols,
                const std::vector<std::vector<TValue>>& rows, int keys = 0);

// The estimating project of the query tests (see DbTestTables.cpp) in
// `folder`, and its project list in `systemFolder`.
void WriteTestProject(const std::filesystem::path& folder);
void WriteTestProjectList(const std::filesystem::path& systemFolder);

// Every record of an open dataset from the first, each as its fields' texts
// joined by "|".
QStringList Rows(TDataSet& dataSet);
