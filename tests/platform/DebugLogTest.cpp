#include "platform/DebugLog.h"

#include "support/ScopedEnv.h"
#include "support/TestFiles.h"

#include <QCoreApplication>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class DebugLogTest : public ::testing::Test {
protected:
    QTemporaryDir FDir;
    TScopedEnv FHome{"VARNEL_HOME", FDir.path()};
    QString FLog = FDir.filePath(QStringLiteral("DEBUG.LOG"));

    void SetUp() override { LogDisabled = false; }
    void TearDown() override { LogDisabled = false; }

    QStringList LogLines() const {
        QStringList lines = QString::fromUtf8(ReadTestFile(FLog)).split(u'\n');
        EXPECT_EQ(lines.back(), QString()) << "the log ends in a line break";
        lines.removeLast();
        return lines;
    }
    static QString Message(const QString& line) { return line.mid(line.indexOf(u"]  ") + 3); }
};

TEST_F(DebugLogTest, EntryFormat) {
    const QLocale locale = QLocale::system();
    const QString pid = QString::number(QCoreApplication::applicationPid());
    const QDate date(2008, 3, 3);
    const QString day = locale.toString(date, locale.dateFormat(QLocale::ShortFormat));
    EXPECT_EQ(FormatLogEntry(QDateTime(date, QTime(0, 0)), QStringLiteral("m")),
              day + " [" + pid + "]  m");
    const QDateTime afternoon(date, QTime(14, 5, 9));
    EXPECT_EQ(FormatLogEntry(afternoon, QStringLiteral("m")),
              day + u' ' + locale.toString(afternoon, locale.timeFormat(QLocale::LongFormat)) +
                  " [" + pid + "]  m");
    EXPECT_TRUE(FormatLogEntry(QDateTime(date, QTime(0, 0, 1)), {}).startsWith(day + u' '));
}

TEST_F(DebugLogTest, KeepsTheLast500LinesAndCountsAnEntryAsOneUntilReread) {
    QByteArray old;
    for (int i = 1; i <= 500; ++i)
        old += "old " + QByteArray::number(i) + "\r\n";
    WriteTestFile(FLog, old);

    DebugLog(QStringLiteral("one"));
    QStringList lines = LogLines();
    ASSERT_EQ(lines.size(), 500);
    EXPECT_EQ(lines.front(), "old 2");
    EXPECT_EQ(Message(lines.back()), "one");

    DebugLog(QStringLiteral("first\r\nsecond\nthird"));
    lines = LogLines();
    ASSERT_EQ(lines.size(), 502);
    EXPECT_EQ(lines.front(), "old 3");
    EXPECT_EQ(Message(lines[499]), "first");
    EXPECT_EQ(lines.mid(500), (QStringList{"second", "third"}));

    DebugLog(QStringLiteral("next"));
    lines = LogLines();
    ASSERT_EQ(lines.size(), 500);
    EXPECT_EQ(lines.front(), "old 6");
    EXPECT_EQ(Message(lines.back()), "next");
}

TEST_F(DebugLogTest, AnUnwritableLogIsLeftAloneAndSwitchesLoggingOff) {
    // Both cases refuse even root: a file without any write permission (honoured
    // like a read-only attribute) and a folder where the file should be.
    for (bool folder : {false, true}) {
        SCOPED_TRACE(folder ? "folder" : "read-only file");
        LogDisabled = false;
        QFile::remove(FLog);
        QDir(FLog).removeRecursively();
        if (folder) {
            QDir().mkpath(FLog + QStringLiteral("/inner"));
        } else {
            WriteTestFile(FLog, "kept\n");
            QFile::setPermissions(FLog, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        }
        const QStringList entries = FolderEntries(FDir.path());

        EXPECT_NO_THROW(DebugLog(QStringLiteral(">>---Varnel Loading")));
        EXPECT_TRUE(LogDisabled);
        EXPECT_EQ(FolderEntries(FDir.path()), entries);
        if (folder) {
            EXPECT_EQ(FolderEntries(FLog), QStringList{QStringLiteral("inner")});
        } else {
            EXPECT_EQ(ReadTestFile(FLog), "kept\n");
        }

        // While switched off nothing is written, even once writing would work.
        QFile::setPermissions(FLog, QFile::ReadOwner | QFile::WriteOwner);
        QDir(FLog).removeRecursively();
        DebugLog(QStringLiteral("ignored"));
        EXPECT_EQ(QFileInfo::exists(FLog), !folder);
        if (!folder) {
            EXPECT_EQ(ReadTestFile(FLog), "kept\n");
        }

        LogDisabled = false;
        DebugLog(QStringLiteral("written"));
        EXPECT_FALSE(LogDisabled);
        EXPECT_EQ(Message(LogLines().back()), "written");
    }
}

TEST_F(DebugLogTest, DebugLogFileLogsTheNameThenTheText) {
    DebugLogFile(QStringLiteral("Varnel.INI"));
    EXPECT_FALSE(QFileInfo::exists(FLog));

    WriteTestFile(FDir.filePath(QStringLiteral("Varnel.INI")), "[HVN]\r\nInbox=/x");
    DebugLogFile(QStringLiteral("Varnel.INI"));
    const QStringList lines = LogLines();
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(Message(lines[0]), "Varnel.INI");
    EXPECT_EQ(Message(lines[1]), "[HVN]");
    EXPECT_EQ(lines.mid(2), (QStringList{"Inbox=/x", ""}));
}

} // namespace
