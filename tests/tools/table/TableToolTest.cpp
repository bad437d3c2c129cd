// The output of varnel-table, byte for byte.
#include "TableModes.h"

#include "db/format/FormatTestSupport.h"
#include "db/format/ParadoxTable.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace {

// Runs a mode with standard output and standard error captured.
struct TRun {
    int Code = -1;
    std::string Out;
    std::string Err;
};

template <typename Mode> TRun RunMode(Mode mode, const QString& file) {
    char* outText = nullptr;
    char* errText = nullptr;
    std::size_t outSize = 0;
    std::size_t errSize = 0;
    FILE* out = open_memstream(&outText, &outSize);
    FILE* err = open_memstream(&errText, &errSize);
    TRun run;
    run.Code = mode(file, out, err);
    std::fclose(out);
    std::fclose(err);
    run.Out.assign(outText, outSize);
    run.Err.assign(errText, errSize);
    std::free(outText);
    std::free(errText);
    return run;
}

class VarnelTable : public ::testing::Test {
protected:
    void SetUp() override {
        File = Dir.filePath(QStringLiteral("items.db"));
        TParadoxWriter writer(
            File.toStdString(),
            {Field("Id", TFieldType::Long), Field("Name", TFieldType::Alpha, 12),
             Field("Qty", TFieldType::Number), Field("Day", TFieldType::Date),
             Field("Clock", TFieldType::Time), Field("Stamp", TFieldType::Timestamp),
             Field("Done", TFieldType::Logical), Field("Exact", TFieldType::BCD, 0, 2),
             Field("Notes", TFieldType::Memo, 20), Field("Pic", TFieldType::Graphic, 10)},
            1);
        writer.Append({qint64{1}, QStringLiteral("Größe"), 0.1, QDate(2024, 2, 29), QTime(7, 5, 0),
                       QDateTime(QDate(1999, 12, 31), QTime(23, 59, 59, 120), Qt::UTC), true, 12.5,
                       QStringLiteral("a\tb\r\nc\\d\ne"), QByteArray(3000, 'p')});
        writer.Append({qint64{2}, TValue(), -40.0, TValue(), TValue(), TValue(), false, -0.25,
                       TValue(), TValue()});
        writer.Append({qint64{3}, QStringLiteral("x"), 1e21, TValue(), TValue(), TValue(), TValue(),
                       TValue(), QString(400, QLatin1Char('m')), TValue()});
        writer.Commit();
    }
    QTemporaryDir Dir;
    QString File;
};

TEST_F(VarnelTable, DumpsHeaderAndRecordsAsTabSeparatedText) {
    const TRun run = RunMode(DumpTable, File);
    EXPECT_EQ(run.Code, 0);
    EXPECT_EQ(run.Err, "");
    const std::string expected =
        "Id\tName\tQty\tDay\tClock\tStamp\tDone\tExact\tNotes\tPic\n"
        "1\tGröße\t0.1\t2024-02-29\t07:05:00\t1999-12-31T23:59:59.120\ttrue\t12.5\t"
        "a\\tb\\nc\\\\d\\ne\t<3000 bytes>\n"
        "2\t\t-40\t\t\t\tfalse\t-0.25\t\t\n"
        "3\tx\t1e+21\t\t\t\t\t\t" +
        std::string(400, 'm') + "\t\n";
    EXPECT_EQ(run.Out, expected);
}

TEST_F(VarnelTable, SchemaListsVersionCodePageCountsAndFields) {
    const TRun run = RunMode(PrintSchema, File);
    EXPECT_EQ(run.Code, 0);
    EXPECT_EQ(run.Out, "Version\t11\nCode page\t1252\nRecords\t3\nKey fields\t1\n"
                       "Id\tI\t4\nName\tA\t12\nQty\tN\t8\nDay\tD\t4\nClock\tT\t4\nStamp\t@\t8\n"
                       "Done\tL\t1\nExact\t#\t17\t2\nNotes\tM\t20\nPic\tG\t10\n");
}

TEST_F(VarnelTable, AnUnreadableFilePrintsTheEngineErrorAndExits1) {
    QFile file(File);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    file.seek(0x21);
    file.write("\xFF\x7F", 2); // 32767 fields
    file.close();
    for (const auto mode : {DumpTable, PrintSchema}) {
        const TRun run = RunMode(mode, File);
        EXPECT_EQ(run.Code, 1);
        EXPECT_EQ(run.Out, "");
        EXPECT_NE(run.Err.find("items.db: invalid field count 32767"), std::string::npos)
            << run.Err;
    }
    const TRun missing = RunMode(DumpTable, Dir.filePath(QStringLiteral("nothing.db")));
    EXPECT_EQ(missing.Code, 1);
    EXPECT_NE(missing.Err.find("nothing.db: table not found"), std::string::npos) << missing.Err;
}

TEST(VarnelTableFixtures, DatesBeforeYearOneAndTheEnginesBlanks) {
    const std::string file =
        std::string(VARNEL_SHARED_DIR) + "/fixtures/paradox-real/rparadox/TypSammlung.DB";
    if (!QFile::exists(QString::fromStdString(file)))
        GTEST_SKIP() << "the shared Paradox fixtures are absent";
    const TRun run = RunMode(DumpTable, QString::fromStdString(file));
    EXPECT_EQ(run.Code, 0);
    EXPECT_NE(
        run.Out.find("Fünfter Datensatz\t1.34\t13.002\t\t\t13.123457\t-0001-12-31\t01:10:12\t"
                     "-0001-12-31T01:00:00\tDies ist eine Memo im 'Fünften Datensat'\t\t5\t\t\n"),
        std::string::npos)
        << run.Out;
    EXPECT_NE(run.Out.find("Erste Zeile\t23\t\t\t\t\t\t\t\t\tfalse\t3\t\t\n"), std::string::npos);
}

} // namespace
