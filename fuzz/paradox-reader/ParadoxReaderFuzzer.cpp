// Feeds arbitrary bytes to the table reader: an input is a u32 LE length n,
// then n bytes of a .db file, then the bytes of its .mb file. Every outcome
// must be a value or an EDBEngineError.
#include "db/format/DBEngineError.h"
#include "db/format/ParadoxTable.h"

#include <QTemporaryDir>

#include <cstdio>
#include <cstring>

namespace {

void WriteFile(const std::filesystem::path& file, const std::uint8_t* data, std::size_t size) {
    FILE* f = std::fopen(file.c_str(), "wb");
    if (!f)
        std::abort();
    if (size)
        std::fwrite(data, 1, size, f);
    std::fclose(f);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static QTemporaryDir dir;
    if (size < 4)
        return 0;
    std::uint32_t dbSize = 0;
    std::memcpy(&dbSize, data, 4);
    data += 4;
    size -= 4;
    dbSize = static_cast<std::uint32_t>(std::min<std::size_t>(dbSize, size));
    const std::filesystem::path db = std::filesystem::path(dir.path().toStdString()) / "fuzz.db";
    const std::filesystem::path mb = std::filesystem::path(dir.path().toStdString()) / "fuzz.mb";
    WriteFile(db, data, dbSize);
    WriteFile(mb, data + dbSize, size - dbSize);
    try {
        const auto table = TParadoxTable::Open(db);
        std::vector<TValue> key;
        table->ForEachRecord([&](const TRecordView& record) {
            for (int i = 0; i < static_cast<int>(table->Fields().size()); ++i) {
                TValue value = record.Value(i);
                record.IsBlank(i);
                if (i < table->KeyFieldCount() &&
                    static_cast<int>(key.size()) < table->KeyFieldCount())
                    key.push_back(std::move(value));
            }
            return true;
        });
        if (!key.empty())
            table->FindKey(key, [](const TRecordView&) {});
    } catch (const EDBEngineError&) {
    }
    return 0;
}
