#pragma once

#include "db/format/ParadoxTable.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

// A field definition for a table a test creates.
inline TFieldDef Field(const char* name, TFieldType type, int size = 0, int decimals = 0) {
    TFieldDef f;
    f.Name = QString::fromUtf8(name);
    f.Type = type;
    f.Size = size;
    f.Decimals = decimals;
    return f;
}

// The real sample tables, or an empty path when the shared folder is absent.
inline std::filesystem::path FixtureDir() {
    const std::filesystem::path dir =
        std::filesystem::path(VARNEL_SHARED_DIR) / "fixtures" / "paradox-real";
    return std::filesystem::is_directory(dir) ? dir : std::filesystem::path();
}

#define REQUIRE_FIXTURES()                                                                         \
    if (FixtureDir().empty())                                                                      \
    GTEST_SKIP() << "the shared Paradox fixtures (../shared/fixtures/paradox-real) are absent"

// Copies fixture files (paths relative to the fixture folder) into `dir`,
// writable, and returns the copy of the first.
inline std::filesystem::path CopyFixture(const QTemporaryDir& dir,
                                         const std::vector<std::string>& files) {
    std::filesystem::path first;
    for (const std::string& name : files) {
        const std::filesystem::path from = FixtureDir() / name;
        const std::filesystem::path to =
            std::filesystem::path(dir.path().toStdString()) / from.filename();
        std::filesystem::copy_file(from, to);
        std::filesystem::permissions(to, std::filesystem::perms::owner_read |
                                             std::filesystem::perms::owner_write);
        if (first.empty())
            first = to;
    }
    return first;
}

inline std::filesystem::path InDir(const QTemporaryDir& dir, const std::string& name) {
    return std::filesystem::path(dir.path().toStdString()) / name;
}

inline std::vector<std::uint8_t> FileBytes(const std::filesystem::path& file) {
    std::vector<std::uint8_t> bytes(std::filesystem::file_size(file));
    FILE* f = std::fopen(file.c_str(), "rb");
    const std::size_t got = f ? std::fread(bytes.data(), 1, bytes.size(), f) : 0;
    if (f)
        std::fclose(f);
    bytes.resize(got);
    return bytes;
}

inline void WriteBytes(const std::filesystem::path& file, const std::vector<std::uint8_t>& bytes) {
    FILE* f = std::fopen(file.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

// Every record of a table, decoded.
inline std::vector<std::vector<TValue>> ReadAll(const TParadoxTable& table) {
    std::vector<std::vector<TValue>> rows;
    table.ForEachRecord([&](const TRecordView& record) {
        std::vector<TValue> row;
        for (int i = 0; i < static_cast<int>(table.Fields().size()); ++i)
            row.push_back(record.Value(i));
        rows.push_back(std::move(row));
        return true;
    });
    return rows;
}

// gtest printing of values, for readable failures.
inline void PrintTo(const TValue& value, std::ostream* os) {
    std::visit(
        [os](const auto& v) {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, std::monostate>)
                *os << "<blank>";
            else if constexpr (std::is_same_v<T, bool> || std::is_same_v<T, qint64> ||
                               std::is_same_v<T, double>)
                *os << v;
            else if constexpr (std::is_same_v<T, QString>)
                *os << '"' << v.toStdString() << '"';
            else if constexpr (std::is_same_v<T, QByteArray>)
                *os << "<" << v.size() << " bytes>";
            else
                *os << v.toString(Qt::ISODateWithMs).toStdString();
        },
        value);
}
