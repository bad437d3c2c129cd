#pragma once

#include <QString>

#include <filesystem>
#include <optional>
#include <vector>

// The files that make up a table: NAME.db and its companions beside it
// (.px, .mb, .val, .tv, .fam, .Xnn, .Ynn, .XGn, .YGn), matched without regard to case.
namespace TableFiles {

// The companion of `table` with extension `extension` ("px", "mb"), or std::nullopt.
std::optional<std::filesystem::path> Companion(const std::filesystem::path& table,
                                               const QString& extension);

// Every existing file of the table, the .db included, sorted by name.
std::vector<std::filesystem::path> All(const std::filesystem::path& table);

// The secondary index data files (.Xnn and .XGn) of the table.
std::vector<std::filesystem::path> SecondaryIndexes(const std::filesystem::path& table);

// `path` as text for messages.
QString Display(const std::filesystem::path& path);

} // namespace TableFiles
