// In-place updates of real tables: only the changed fields' bytes move, and
// every refusal leaves the file as it was.
#include "FormatTestSupport.h"

#include "db/format/DBEngineError.h"
#include "db/format/FileLock.h"

#include <sys/wait.h>
#include <unistd.h>

namespace {

struct TRecordAt {
    TRecordPos Pos;
    std::vector<std::uint8_t> Bytes;
};

TRecordAt RecordNumber(const std::filesystem::path& file, int n) {
    TRecordAt found;
    int i = 0;
    TParadoxTable::Open(file)->ForEachRecord([&](const TRecordView& record) {
        if (++i != n)
            return true;
        found.Pos = record.Position();
        found.Bytes.assign(record.Bytes().begin(), record.Bytes().end());
        return false;
    });
    return found;
}

// Byte offsets in the file at which `after` differs from `before`.
std::vector<qint64> ChangedOffsets(const std::vector<std::uint8_t>& before,
                                   const std::vector<std::uint8_t>& after) {
    std::vector<qint64> offsets;
    for (std::size_t i = 0; i < std::min(before.size(), after.size()); ++i) {
        if (before[i] != after[i])
            offsets.push_back(static_cast<qint64>(i));
    }
    return offsets;
}

TEST(UpdateRecordInPlace, ChangesExactlyTheBytesOfTheChangedFields) {
    REQUIRE_FIXTURES();
    QTemporaryDir dir;
    const auto file = CopyFixture(dir, {"dbdemos/customer.db", "dbdemos/customer.px",
                                        "dbdemos/customer.xg0", "dbdemos/customer.yg0"});
    const auto table = TParadoxTable::Open(file);
    const int taxRate = table->FieldIndex(QStringLiteral("TaxRate"));
    const int contact = table->FieldIndex(QStringLiteral("Contact"));
    const int state = table->FieldIndex(QStringLiteral("State"));
    // Record 5 lies in physical block 8, the second block of the chain.
    const TRecordAt record = RecordNumber(file, 5);
    ASSERT_EQ(record.Pos.Block, 8);
    const auto before = FileBytes(file);
    const auto rowsBefore = ReadAll(*table);

    UpdateRecordInPlace(
        file, record.Pos, record.Bytes,
        {{contact, QStringLiteral("Ann Other")}, {taxRate, 7.25}, {state, TValue()}});

    const auto after = FileBytes(file);
    ASSERT_EQ(after.size(), before.size());
    qint64 fieldStart[3] = {0, 0, 0};
    int fieldSize[3] = {0, 0, 0};
    const int changed[3] = {contact, taxRate, state};
    for (int k = 0; k < 3; ++k) {
        qint64 offset = 0;
        for (int f = 0; f < changed[k]; ++f)
            offset += table->Fields()[static_cast<std::size_t>(f)].Size;
        fieldStart[k] = record.Pos.Offset + offset;
        fieldSize[k] = table->Fields()[static_cast<std::size_t>(changed[k])].Size;
    }
    for (qint64 offset : ChangedOffsets(before, after)) {
        bool inside = false;
        for (int k = 0; k < 3; ++k)
            inside = inside || (offset >= fieldStart[k] && offset < fieldStart[k] + fieldSize[k]);
        EXPECT_TRUE(inside) << "byte " << offset << " changed outside the updated fields";
    }

    auto rowsAfter = ReadAll(*TParadoxTable::Open(file));
    auto expected = rowsBefore;
    expected[4][static_cast<std::size_t>(contact)] = QStringLiteral("Ann Other");
    expected[4][static_cast<std::size_t>(taxRate)] = 7.25;
    expected[4][static_cast<std::size_t>(state)] = TValue();
    EXPECT_EQ(rowsAfter, expected);
}

TEST(UpdateRecordInPlace, RefusalsLeaveTheFileUntouched) {
    REQUIRE_FIXTURES();
    const struct {
        const char* Case;
        std::vector<std::string> Files;
        const char* Field;
        TValue Value;
        int Code;
        bool StaleBytes = false;
        qint64 DamageOffset = -1; // a byte set to 0x01 before the update
    } cases[] = {
        {"key field",
         {"dbdemos/customer.db", "dbdemos/customer.px"},
         "CustNo",
         1.0,
         DBErrorCode::KeyViolation},
        {"maintained composite index",
         {"dbdemos/customer.db", "dbdemos/customer.xg0"},
         "Company",
         QStringLiteral("X"),
         DBErrorCode::KeyViolation},
        {"maintained single-field index",
         {"dbdemos/custoly.db", "dbdemos/custoly.x07"},
         "City",
         QStringLiteral("X"),
         DBErrorCode::KeyViolation},
        {"blob field",
         {"dbdemos/custoly.db"},
         "Remarks",
         QStringLiteral("X"),
         DBErrorCode::General},
        {"autoincrement field",
         {"dbdemos/custoly.db"},
         "CustNo",
         qint64{99},
         DBErrorCode::KeyViolation},
        {"value too long",
         {"dbdemos/customer.db"},
         "Zip",
         QStringLiteral("12345678901"),
         DBErrorCode::General},
        {"value of the wrong kind",
         {"dbdemos/customer.db"},
         "TaxRate",
         QStringLiteral("x"),
         DBErrorCode::General},
        {"record changed by someone else",
         {"dbdemos/customer.db"},
         "Contact",
         QStringLiteral("X"),
         DBErrorCode::Locked,
         true},
        // Block 1's next link pointed back at itself: a chain that loops.
        {"damaged chain",
         {"dbdemos/customer.db"},
         "Contact",
         QStringLiteral("X"),
         DBErrorCode::Corrupt,
         false,
         2048},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Case);
        QTemporaryDir dir;
        const auto file = CopyFixture(dir, c.Files);
        const TRecordAt record = RecordNumber(file, 2);
        if (c.DamageOffset >= 0) {
            auto bytes = FileBytes(file);
            bytes[static_cast<std::size_t>(c.DamageOffset)] = 0x01;
            bytes[static_cast<std::size_t>(c.DamageOffset) + 1] = 0x00;
            WriteBytes(file, bytes);
        }
        auto expected = record.Bytes;
        if (c.StaleBytes)
            expected[40] ^= 0x20;
        const auto before = FileBytes(file);
        const int field = TParadoxTable::Open(file)->FieldIndex(QString::fromUtf8(c.Field));
        try {
            UpdateRecordInPlace(file, record.Pos, expected, {{field, c.Value}});
            ADD_FAILURE() << "the update was not refused";
        } catch (const EDBEngineError& error) {
            EXPECT_EQ(error.ErrorCode(), c.Code) << error.Message().toStdString();
            EXPECT_FALSE(error.Message().isEmpty());
        }
        EXPECT_EQ(FileBytes(file), before);
    }
}

// A second process holds the table's lock: the update fails with an engine
// error and the file keeps its bytes; once the holder is gone it succeeds.
TEST(UpdateRecordInPlace, ASecondWriterIsLockedOut) {
    REQUIRE_FIXTURES();
    QTemporaryDir dir;
    const auto file = CopyFixture(dir, {"dbdemos/vendors.db"});
    const TRecordAt record = RecordNumber(file, 1);
    const int preferred = TParadoxTable::Open(file)->FieldIndex(QStringLiteral("Preferred"));
    int locked[2];
    int release[2];
    ASSERT_EQ(pipe(locked), 0);
    ASSERT_EQ(pipe(release), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        char byte = 0;
        try {
            const TFileLock lock(file);
            byte = 1;
            (void)!write(locked[1], &byte, 1);
            (void)!read(release[0], &byte, 1);
        } catch (...) {
            (void)!write(locked[1], &byte, 1);
        }
        _exit(0);
    }
    char byte = 0;
    ASSERT_EQ(read(locked[0], &byte, 1), 1);
    ASSERT_EQ(byte, 1) << "the helper process could not take the lock";

    const auto before = FileBytes(file);
    try {
        UpdateRecordInPlace(file, record.Pos, record.Bytes, {{preferred, false}});
        ADD_FAILURE() << "the update ran while another process held the lock";
    } catch (const EDBEngineError& error) {
        EXPECT_EQ(error.ErrorCode(), DBErrorCode::ExclusiveOpen);
        EXPECT_TRUE(error.Message().contains(QStringLiteral("vendors.db")));
    }
    EXPECT_EQ(FileBytes(file), before);

    ASSERT_EQ(write(release[1], &byte, 1), 1);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    UpdateRecordInPlace(file, record.Pos, record.Bytes, {{preferred, false}});
    TParadoxTable::Open(file)->ReadAt(record.Pos, [&](const TRecordView& view) {
        EXPECT_EQ(view.Value(preferred), TValue(false));
    });
    for (int fd : {locked[0], locked[1], release[0], release[1]})
        close(fd);
}

TEST(ParadoxTableFiles, DeleteRemovesEveryCompanionInAnyCase) {
    REQUIRE_FIXTURES();
    QTemporaryDir dir;
    CopyFixture(dir, {"dbdemos/customer.db", "dbdemos/customer.px", "dbdemos/customer.VAL",
                      "dbdemos/customer.xg0", "dbdemos/customer.yg0", "dbdemos/orders.db"});
    std::filesystem::rename(InDir(dir, "customer.px"), InDir(dir, "CUSTOMER.PX"));
    WriteBytes(InDir(dir, "customer.txt"), {1});
    WriteBytes(InDir(dir, "customers.db"), {1});
    DeleteParadoxTable(InDir(dir, "Customer"));
    QStringList left = QDir(dir.path()).entryList(QDir::Files, QDir::Name);
    EXPECT_EQ(left, QStringList({QStringLiteral("customer.txt"), QStringLiteral("customers.db"),
                                 QStringLiteral("orders.db")}));
    EXPECT_NO_THROW(DeleteParadoxTable(InDir(dir, "customer.db"))); // already gone
}

} // namespace
