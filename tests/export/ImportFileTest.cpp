#include "export/ImportFile.h"
#include "export/ImportLines.h"
#include "export/ImportNumber.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

struct TNumberCase {
    double Value;
    int Places;
    const char* Expected;
};

TEST(ImportNumber, EighteenDigitsThenHalfAwayFromZero) {
    const TNumberCase cases[] = {
        {0.0625, 3, "0.063"}, // exactly half: away from zero
        {-0.0625, 3, "-0.063"},
        {1.0005, 3, "1.000"}, // stored just below the half
        {-1.0005, 3, "-1.000"},
        {2.675, 2, "2.67"}, // stored as 2.67499999999999982
        {12.5, 3, "12.500"},
        {0, 3, "0.000"},
        {0, 2, "0.00"},
        {-0.0, 3, "0.000"},
        {-0.0004, 3, "0.000"}, // rounds to zero: no minus sign
        {-0.0005, 3, "-0.001"},
        {0.0005, 3, "0.001"},
        {0.9995, 3, "1.000"}, // stored as 0.999500000000000055
        {999.9996, 3, "1000.000"},
        {9.995, 2, "9.99"}, // stored as 9.99499999999999922
        {48.483146067415730, 2, "48.48"},
        {4750.4, 3, "4750.400"},
        {1234567.891, 3, "1234567.891"}, // no digit grouping
        {1e20, 3, "100000000000000000000.000"},
        {1e-30, 3, "0.000"},
        {std::numeric_limits<double>::infinity(), 3, "INF"},
        {-std::numeric_limits<double>::infinity(), 3, "-INF"},
        {std::nan(""), 3, "NAN"},
    };
    for (const TNumberCase& c : cases) {
        EXPECT_EQ(FormatImportNumber(c.Value, c.Places, QStringLiteral(".")),
                  QLatin1String(c.Expected))
            << "value " << c.Value << " places " << c.Places;
    }
}

TEST(ImportNumber, UsesTheGivenDecimalPoint) {
    EXPECT_EQ(FormatImportNumber(12.5, 3, QStringLiteral(",")), QStringLiteral("12,500"));
    EXPECT_EQ(ImportLines::SubJobLine(QStringLiteral("1207"), QStringLiteral("A100: "), 12.5,
                                      QStringLiteral(",")),
              QStringLiteral("1207,A100: ,12,500"));
}

TEST(ImportLines, JobLineRateIsZeroWithoutTime) {
    EXPECT_EQ(ImportLines::JobLine(QStringLiteral("9999"), 0, 0, 0, QStringLiteral(".")),
              QStringLiteral("9999,0.000,0.000,0.00"));
    EXPECT_EQ(ImportLines::JobLine(QStringLiteral("9999"), 1500, 0, 120, QStringLiteral(".")),
              QStringLiteral("9999,1500.000,0.000,0.00"));
    EXPECT_EQ(
        ImportLines::JobLine(QStringLiteral("1207"), 4750.4, 66.75, 3236.25, QStringLiteral(".")),
        QStringLiteral("1207,4750.400,66.750,48.48"));
}

TEST(ImportFile, Windows1252WithCrLfAndNoBom) {
    EXPECT_EQ(ImportFileBytes({}), QByteArray());
    EXPECT_EQ(ImportFileBytes({QString()}), QByteArray("\r\n"));
    // é and € exist in the code page; a CJK character and an emoji (one
    // character, two UTF-16 units) do not; a SUB control character stays.
    const QString text = QString::fromUtf8("Caf\u00e9 \u20ac5 \u6f22\U0001F600|") + QChar(0x1a);
    EXPECT_EQ(ImportFileBytes({text, QStringLiteral("b,c")}), QByteArray("Caf\xe9 \x80"
                                                                         "5 ??|\x1a\r\nb,c\r\n"));
}

TEST(ImportFile, SaveReplacesTheFileAndLeavesNoOtherFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("Job.csv"));
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("an older and longer file\r\n");
    }
    SaveImportFile(path, {QStringLiteral("1207,1.000,2.000,3.00")});
    QFile saved(path);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), QByteArray("1207,1.000,2.000,3.00\r\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{QStringLiteral("Job.csv")});
}

TEST(ImportFile, SaveFailureNamesThePathAndKeepsTheOldFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // A folder where the file should be cannot be replaced, not even by root.
    const QString path = dir.filePath(QStringLiteral("Job.csv"));
    ASSERT_TRUE(QDir().mkpath(path));
    try {
        SaveImportFile(path, {QStringLiteral("x")});
        FAIL() << "no error";
    } catch (const std::runtime_error& error) {
        EXPECT_TRUE(QString::fromStdString(error.what())
                        .startsWith(QStringLiteral("Cannot create file \"") + path + "\". "))
            << error.what();
    }
    EXPECT_TRUE(QFileInfo(path).isDir());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{QStringLiteral("Job.csv")});
}

} // namespace
