// Damaged copies of real tables: each gives an engine error naming the file,
// never a crash, an endless loop or a wrong answer passed off as data.
#include "FormatTestSupport.h"

#include "db/format/DBEngineError.h"

namespace {

// Opens the table and reads every value of every record, and looks up the
// first record's key when the table is keyed.
void ReadEverything(const std::filesystem::path& file) {
    const auto table = TParadoxTable::Open(file);
    std::vector<TValue> firstKey;
    table->ForEachRecord([&](const TRecordView& record) {
        for (int i = 0; i < static_cast<int>(table->Fields().size()); ++i) {
            TValue value = record.Value(i);
            if (i < table->KeyFieldCount() &&
                static_cast<int>(firstKey.size()) < table->KeyFieldCount())
                firstKey.push_back(value);
        }
        return true;
    });
    if (!firstKey.empty())
        table->FindKey(firstKey, [](const TRecordView&) {});
}

struct TDamage {
    const char* Case;
    const char* File;    // the fixture, copied with its companions
    const char* Damaged; // the file of the copy to damage (extension)
    std::size_t Offset;
    std::vector<std::uint8_t> Bytes;
};

void PrintTo(const TDamage& damage, std::ostream* os) {
    *os << damage.Case;
}

// customer.db: header 2048 bytes, 2K blocks, chain 1-8-2-3-4-5-6-7.
// biolife.db: blobs in biolife.mb, the first notes in the type-3 block at 0x1000.
const TDamage Damages[] = {
    {"record size 0", "customer", "db", 0x00, {0, 0}},
    {"record size larger than the fields", "customer", "db", 0x00, {0xE6, 0}},
    {"header size beyond the file", "customer", "db", 0x02, {0xF0, 0x7F}},
    {"header size below the fixed part", "customer", "db", 0x02, {0x10, 0}},
    {"unknown file type", "customer", "db", 0x04, {9}},
    {"an index file opened as a table", "customer", "db", 0x04, {1}},
    {"block size 0", "customer", "db", 0x05, {0}},
    {"block size 99 KB", "customer", "db", 0x05, {99}},
    {"a million records", "customer", "db", 0x06, {0x40, 0x42, 0x0F, 0}},
    {"one record too few", "customer", "db", 0x06, {54, 0, 0, 0}},
    {"more blocks than the file holds", "customer", "db", 0x0C, {9, 0}},
    {"first block outside the file", "customer", "db", 0x0E, {0xE7, 0x03}},
    {"last block not the chain's tail", "customer", "db", 0x10, {8, 0}},
    {"32767 fields", "customer", "db", 0x21, {0xFF, 0x7F}},
    {"no fields", "customer", "db", 0x21, {0, 0}},
    {"more key fields than fields", "customer", "db", 0x23, {99, 0}},
    {"encrypted (v4+ word)", "customer", "db", 0x5C, {1, 2, 3, 4}},
    {"encrypted (first word)", "customer", "db", 0x25, {0x12, 0x34, 0x56, 0x78}},
    {"unknown version", "customer", "db", 0x39, {99}},
    {"unknown code page", "customer", "db", 0x6A, {0x67, 0x12}},
    {"unknown field type", "customer", "db", 0x78, {0x07, 8}},
    {"field size too large", "customer", "db", 0x79, {255}},
    {"field names run past the header", "customer", "db", 0x100,
     std::vector<std::uint8_t>(0x700, 'x')},
    {"chain loops on itself", "customer", "db", 2048, {1, 0}},
    {"chain loops back", "customer", "db", 2048 + 7 * 2048, {1, 0}},
    {"chain links outside the file", "customer", "db", 2048, {0xE7, 0x03}},
    {"back link wrong", "customer", "db", 2048 + 7 * 2048 + 2, {5, 0}},
    {"record count far too large", "customer", "db", 2048 + 4, {0x30, 0x75}},
    {"record count far negative", "customer", "db", 2048 + 4, {0x78, 0xEC}},
    {"record count not a multiple of the size", "customer", "db", 2048 + 4, {7, 0}},
    {"timestamp not a number", "customer", "db", 2048 + 6 + 221, {0xFF, 0xF8, 0, 0, 0, 0, 0, 1}},
    {"logical byte of no meaning", "vendors", "db", 2048 + 6 + 193, {0x42}},
    {"time past midnight", "events", "db", 2048 + 6 + 42, {0x87, 0, 0, 0}},
    {"BCD digit above 9", "TypSammlung", "DB", 0x800 + 6 + 53, {0xCA}},
    {"blob pointer outside the .mb",
     "biolife",
     "db",
     2048 + 6 + 8 + 15 + 30 + 40 + 16 + 50,
     {0x3F, 0, 0, 0x7F}},
    {"blob entry unused", "biolife", "mb", 0x1000 + 12 + 5 * 0x3F, {0, 0, 0, 0, 0}},
    {"blob entry past its block", "biolife", "mb", 0x1000 + 12 + 5 * 0x3F, {0xFF, 0x2C}},
    {"blob block of the wrong type", "biolife", "mb", 0x1000, {4}},
    {"graphic block length differs", "biolife", "mb", 0x2000 + 3, {0xFF, 0xFF, 0, 0}},
    {"not a blob file", "biolife", "mb", 0, {0x55}},
    {"index root outside the .px", "customer", "px", 0x1E, {0xE7, 0x03}},
    {"index entry points outside the table", "customer", "px", 2048 + 6 + 8, {0x83, 0xE7}},
    {"index does not match the key", "customer", "px", 0x58, {0x01, 8}},
};

std::vector<std::string> Companions(const std::string& base) {
    if (base == "customer")
        return {"dbdemos/customer.db", "dbdemos/customer.px"};
    if (base == "biolife")
        return {"dbdemos/biolife.db", "dbdemos/biolife.mb", "dbdemos/biolife.px"};
    if (base == "events")
        return {"dbdemos/events.db", "dbdemos/events.mb", "dbdemos/events.px"};
    if (base == "TypSammlung")
        return {"rparadox/TypSammlung.DB", "rparadox/TypSammlung.MB"};
    return {"dbdemos/" + base + ".db"};
}

class Corruption : public ::testing::TestWithParam<TDamage> {};

TEST_P(Corruption, GivesAnEngineErrorNamingTheFile) {
    REQUIRE_FIXTURES();
    const TDamage& damage = GetParam();
    QTemporaryDir dir;
    const auto table = CopyFixture(dir, Companions(damage.File));
    ASSERT_NO_THROW(ReadEverything(table)); // the undamaged copy reads
    const auto target = InDir(dir, std::string(damage.File) + "." + damage.Damaged);
    auto bytes = FileBytes(target);
    ASSERT_LE(damage.Offset + damage.Bytes.size(), bytes.size());
    std::copy(damage.Bytes.begin(), damage.Bytes.end(),
              bytes.begin() + static_cast<long>(damage.Offset));
    WriteBytes(target, bytes);
    try {
        ReadEverything(table);
        ADD_FAILURE() << "the damage went unnoticed";
    } catch (const EDBEngineError& error) {
        EXPECT_TRUE(error.Message().contains(QString::fromUtf8(damage.File) + QLatin1Char('.')))
            << error.Message().toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(RealTables, Corruption, ::testing::ValuesIn(Damages));

// Truncated at every 97th byte, every table fails cleanly.
TEST(CorruptionSweep, TruncationAtEvery97thByte) {
    REQUIRE_FIXTURES();
    for (const char* name : {"dbdemos/customer.db", "dbdemos/items.db", "dbdemos/biolife.db",
                             "rparadox/TypSammlung.DB"}) {
        SCOPED_TRACE(name);
        QTemporaryDir dir;
        const auto file = CopyFixture(dir, {name});
        const auto whole = FileBytes(file);
        for (std::size_t size = 0; size < whole.size(); size += 97) {
            WriteBytes(file, std::vector<std::uint8_t>(whole.begin(),
                                                       whole.begin() + static_cast<long>(size)));
            EXPECT_THROW(TParadoxTable::Open(file)->Validate(), EDBEngineError) << size;
        }
    }
    QTemporaryDir dir;
    const auto file = CopyFixture(dir, {"dbdemos/events.db", "dbdemos/events.mb"});
    const auto mb = InDir(dir, "events.mb");
    const auto whole = FileBytes(mb);
    // Past 0xA3000 the file holds only a free block, which no value needs.
    for (std::size_t size = 0; size < 0xA3000; size += 97 * 61) {
        WriteBytes(
            mb, std::vector<std::uint8_t>(whole.begin(), whole.begin() + static_cast<long>(size)));
        EXPECT_THROW(ReadEverything(file), EDBEngineError) << size;
    }
}

// Every header byte and every block-link byte flipped in turn: the table
// reads or fails with an engine error, nothing else (the sanitizer build
// checks that no flip reads out of bounds).
TEST(CorruptionSweep, FlippedHeaderAndLinkBytes) {
    REQUIRE_FIXTURES();
    QTemporaryDir dir;
    const auto file = CopyFixture(dir, {"dbdemos/customer.db", "dbdemos/customer.px"});
    const auto whole = FileBytes(file);
    std::vector<std::size_t> offsets;
    for (std::size_t i = 0; i < 0x1A0; ++i)
        offsets.push_back(i);
    for (std::size_t block = 0; block < 8; ++block) {
        for (std::size_t i = 0; i < 6; ++i)
            offsets.push_back(2048 + block * 2048 + i);
    }
    int failures = 0;
    for (std::size_t offset : offsets) {
        auto bytes = whole;
        bytes[offset] ^= 0xFF;
        WriteBytes(file, bytes);
        try {
            ReadEverything(file);
        } catch (const EDBEngineError&) {
            ++failures;
        }
    }
    EXPECT_GT(failures, 100);
}

} // namespace
