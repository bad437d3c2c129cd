#pragma once

#include "db/format/ParadoxTypes.h"

#include <QString>

#include <filesystem>
#include <memory>
#include <vector>

// A query result read in full: column definitions (type and width from the
// source column where there is one) and the rows in their order.
struct TSqlResult {
    std::vector<TFieldDef> Fields;
    std::vector<std::vector<TValue>> Rows;
};

// Evaluates SQL of the local dialect with SQLite over Paradox tables loaded
// into one in-memory database. A loaded table stays cached until its file's
// size or modification time changes or Invalidate names it.
class TSqlEngine {
public:
    TSqlEngine();
    ~TSqlEngine();
    TSqlEngine(const TSqlEngine&) = delete;
    TSqlEngine& operator=(const TSqlEngine&) = delete;

    // Runs `sql` against the tables of `folder`. Raises EDBEngineError:
    // SqlSyntax for text the dialect or SQLite rejects, NotFound for a missing
    // table, and the table readers' errors.
    TSqlResult Run(const std::filesystem::path& folder, const QString& sql);
    // The SQLite text that Run would execute, with the tables loaded.
    QString Translate(const std::filesystem::path& folder, const QString& sql);

    // Forgets the cached copy of `file` (any letter case of the same path).
    void Invalidate(const std::filesystem::path& file);
    // Forgets every cached table.
    void Clear();
    // How many times a table file was read into the cache (for tests and tools).
    int LoadCount() const;
    // Writes the cached tables into a native SQLite database file, under the
    // names that Translate uses (benchmarks and diagnostics).
    void SaveLoadedTables(const std::filesystem::path& file);

private:
    class TImpl;
    std::unique_ptr<TImpl> FImpl;
};
