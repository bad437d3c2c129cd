#include "platform/IniFile.h"
#include "platform/IniValues.h"

#include "support/TestFiles.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

// A byte array of a literal with embedded NULs.
template <std::size_t N> QByteArray Bytes(const char (&text)[N]) {
    return QByteArray(text, N - 1);
}

TEST(IniFile, WritingKeysKeepsEveryOtherLineByteForByte) {
    const QByteArray original = "; settings\r\n"
                                "[hvn]\r\n"
                                "  inbox =  /old/inbox  \r\n"
                                "JobFile=Job\r\n"
                                "\r\n"
                                "[Unknown]\n"
                                "keep=this ; not a comment\n"
                                "\n"
                                "[CSV]\r\n"
                                "AsPhases=0\r\n"
                                "\r\n"
                                "; trailing comment";
    TIniFile ini(QStringLiteral("/nowhere/Varnel.INI"), original);
    ini.WriteString(QStringLiteral("HVN"), QStringLiteral("Inbox"), QStringLiteral("/new"));
    ini.WriteString(QStringLiteral("HVN"), QStringLiteral("TasksFile"), QStringLiteral("T"));
    ini.WriteInteger(QStringLiteral("csv"), QStringLiteral("CollapseTasks"), 2);
    ini.WriteBool(QStringLiteral("OPTIONS"), QStringLiteral("INCMILELOG"), true);
    EXPECT_EQ(ini.Content().toStdString(), "; settings\r\n"
                                           "[hvn]\r\n"
                                           "inbox=/new\r\n"
                                           "JobFile=Job\r\n"
                                           "TasksFile=T\r\n"
                                           "\r\n"
                                           "[Unknown]\n"
                                           "keep=this ; not a comment\n"
                                           "\n"
                                           "[CSV]\r\n"
                                           "AsPhases=0\r\n"
                                           "CollapseTasks=2\r\n"
                                           "\r\n"
                                           "; trailing comment\r\n"
                                           "\r\n"
                                           "[OPTIONS]\r\n"
                                           "INCMILELOG=1\r\n");
    // Rewriting a value it already has changes nothing.
    const QByteArray before = ini.Content();
    ini.WriteString(QStringLiteral("Hvn"), QStringLiteral("JOBFILE"), QStringLiteral("Job"));
    EXPECT_EQ(ini.Content(), before);
}

TEST(IniFile, UpdateFileRoundTripsThroughTheDisk) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Varnel.INI"));
    {
        TIniFile ini(path);
        EXPECT_FALSE(ini.SectionExists(QStringLiteral("HVN")));
        ini.WriteString(QStringLiteral("HVN"), QStringLiteral("Inbox"), QStringLiteral("/in"));
        ini.UpdateFile();
    }
    EXPECT_EQ(ReadTestFile(path), "[HVN]\nInbox=/in\n");
    WriteTestFile(path, "#x\n[HVN]\nInbox=/in\n[p100]\nJOBNUMBER=12\n");
    TIniFile ini(path);
    ini.WriteString(QStringLiteral("P100"), QStringLiteral("jobnumber"), QStringLiteral("13"));
    ini.UpdateFile();
    EXPECT_EQ(ReadTestFile(path), "#x\n[HVN]\nInbox=/in\n[p100]\nJOBNUMBER=13\n");
    EXPECT_EQ(FolderEntries(dir.path()), QStringList{QStringLiteral("Varnel.INI")});
    EXPECT_EQ(TIniFile(path).ReadString(QStringLiteral("p100"), QStringLiteral("JobNumber"), {}),
              QStringLiteral("13"));
}

TEST(IniFile, ReadsNamesWithoutRegardToCaseAndTheFirstDuplicate) {
    const QByteArray content = "orphan=before any section\n"
                               "[HVN]\n"
                               ";Inbox=commented\n"
                               "  Inbox = /first  \n"
                               "INBOX=/second\n"
                               "JobFile=\n"
                               "no equals sign\n"
                               "[hvn]\n"
                               "SubJobsFile=second section\n"
                               "[Long]\n"
                               "Value=" +
                               QByteArray(3000, 'x') + "\n";
    const TIniFile ini(QStringLiteral("x.ini"), content);
    const QString def = QStringLiteral("default");
    EXPECT_EQ(ini.ReadString(QStringLiteral("hvn"), QStringLiteral("inbox"), def), "/first");
    EXPECT_EQ(ini.ReadString(QStringLiteral("HVN"), QStringLiteral("JobFile"), def), "");
    EXPECT_EQ(ini.ReadString(QStringLiteral("HVN"), QStringLiteral("SubJobsFile"), def), def);
    EXPECT_EQ(ini.ReadString(QStringLiteral("HVN"), QStringLiteral("orphan"), def), def);
    EXPECT_EQ(ini.ReadString(QStringLiteral("Missing"), QStringLiteral("Inbox"), def), def);
    EXPECT_EQ(ini.ReadString(QStringLiteral("Long"), QStringLiteral("Value"), def),
              QString(TIniFile::MaxValueLength, u'x'));
}

TEST(IniValues, IntegersInDecimalAndHexadecimal) {
    const struct {
        const char* text;
        std::optional<int> value;
    } cases[] = {
        {"12", 12},
        {"-9", -9},
        {"+7", 7},
        {"0x1F", 31},
        {"0X1f", 31},
        {"$FF", 255},
        {"$ffffffff", -1},
        {"-$10", -16},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"2147483648", {}},
        {"yes", {}},
        {"", {}},
        {"12abc", {}},
        {"0x", {}},
        {"$", {}},
        {"0x123456789", {}},
        {" 5", {}},
        {"1.5", {}},
        {"٣", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DecodeInteger(QString::fromUtf8(c.text)), c.value) << c.text;
}

TEST(IniFile, BooleansAreIntegersAndNoIntegerGivesTheDefault) {
    const TIniFile ini(QStringLiteral("x.ini"), "[CSV]\nYes=yes\nTwo=2\nZero=0\nHexZero=$0\n");
    const QString csv = QStringLiteral("CSV");
    for (bool def : {false, true}) {
        EXPECT_EQ(ini.ReadBool(csv, QStringLiteral("Yes"), def), def);
        EXPECT_EQ(ini.ReadBool(csv, QStringLiteral("Missing"), def), def);
        EXPECT_TRUE(ini.ReadBool(csv, QStringLiteral("Two"), def));
        EXPECT_FALSE(ini.ReadBool(csv, QStringLiteral("Zero"), def));
        EXPECT_FALSE(ini.ReadBool(csv, QStringLiteral("HexZero"), def));
    }
    EXPECT_EQ(ini.ReadInteger(csv, QStringLiteral("Yes"), 1), 1);
    EXPECT_EQ(ini.ReadInteger(csv, QStringLiteral("Two"), 1), 2);
}

TEST(IniValues, CommaListEncoding) {
    const struct {
        QStringList items;
        const char* text;
    } cases[] = {
        {{}, ""},
        {{"12", "15", "31"}, "12,15,31"},
        {{"a b", "x\"y", "c,d", ""}, "\"a b\",\"x\"\"y\",\"c,d\",\"\""},
        {{"tab\there", "nl\nx"}, "\"tab\there\",\"nl\nx\""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EncodeCommaList(c.items), QString::fromUtf8(c.text));
        EXPECT_EQ(DecodeCommaList(QString::fromUtf8(c.text)), c.items) << c.text;
    }
}

TEST(IniValues, CommaListDecodingSplitsAtBlanksOutsideQuotes) {
    const struct {
        const char* text;
        QStringList items;
    } cases[] = {
        {"  12 15\t31 ", {"12", "15", "31"}},
        {"12 , 15", {"12", "15"}},
        {"a,,b", {"a", "", "b"}},
        {",a", {"", "a"}},
        {"a,", {"a", ""}},
        {"\"a, b\" c", {"a, b", "c"}},
        {"\"a\"b", {"a", "b"}},
        {"\"unterminated, list", {"unterminated, list"}},
        {"\"\"", {""}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DecodeCommaList(QString::fromUtf8(c.text)), c.items) << c.text;
}

TEST(IniFile, Windows1252FileKeepsItsEncoding) {
    const QByteArray original = "; caf\xE9\r\n[HVN]\r\nInbox=C:\\R\xE9sum\xE9\r\n";
    TIniFile ini(QStringLiteral("x.ini"), original);
    EXPECT_EQ(ini.ReadString(QStringLiteral("HVN"), QStringLiteral("Inbox"), {}),
              QString::fromUtf8("C:\\Résumé"));
    ini.WriteString(QStringLiteral("HVN"), QStringLiteral("JobFile"), QString::fromUtf8("Jöb €"));
    EXPECT_EQ(ini.Content(), QByteArray(original + "JobFile=J\xF6"
                                                   "b \x80\r\n"));
    // A character Windows-1252 lacks turns the file into UTF-8 rather than losing it.
    ini.WriteString(QStringLiteral("HVN"), QStringLiteral("JobFile"), QString::fromUtf8("Ω"));
    EXPECT_EQ(ini.Content(), QByteArray("; caf\xC3\xA9\r\n[HVN]\r\nInbox=C:\\R\xC3\xA9sum\xC3\xA9"
                                        "\r\nJobFile=\xCE\xA9\r\n"));
    const TIniFile utf8(QStringLiteral("y.ini"), "\xEF\xBB\xBF[HVN]\nInbox=\xC3\xA9\n");
    EXPECT_EQ(utf8.ReadString(QStringLiteral("HVN"), QStringLiteral("Inbox"), {}),
              QString::fromUtf8("é"));
    // A UTF-8 sequence cut short at the end of the file makes it Windows-1252,
    // so its last bytes are kept as text rather than dropped.
    const TIniFile cut(QStringLiteral("z.ini"), "[HVN]\nInbox=caf\xC3");
    EXPECT_EQ(cut.ReadString(QStringLiteral("HVN"), QStringLiteral("Inbox"), {}),
              QString::fromUtf8("cafÃ"));
    // A byte-order mark inside a UTF-8 file is text, not the start of a section.
    TIniFile marks(QStringLiteral("m.ini"), "[HVN]\nA=1\n\xEF\xBB\xBF[HVN]\nInbox=x\n");
    EXPECT_EQ(marks.ReadString(QStringLiteral("HVN"), QStringLiteral("Inbox"), {}), "x");
}

TEST(IniFile, FailedWriteRaisesWithTheFullPathAndLeavesTheFile) {
    QTemporaryDir dir;
    // Each case is a file that even root cannot replace.
    const QString missingFolder = dir.filePath(QStringLiteral("no/such/Varnel.INI"));
    const QString readOnly = dir.filePath(QStringLiteral("ro.ini"));
    WriteTestFile(readOnly, "[HVN]\nInbox=/x\n");
    QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    const QString folder = dir.filePath(QStringLiteral("folder.ini"));
    QDir().mkpath(folder + QStringLiteral("/inner"));
    for (const QString& path : {missingFolder, readOnly, folder}) {
        TIniFile ini(path);
        ini.WriteString(QStringLiteral("HVN"), QStringLiteral("Inbox"), QStringLiteral("/y"));
        try {
            ini.UpdateFile();
            ADD_FAILURE() << "no error for " << path.toStdString();
        } catch (const std::runtime_error& e) {
            EXPECT_EQ(e.what(), "Unable to write to " + path.toStdString());
        }
    }
    EXPECT_EQ(ReadTestFile(readOnly), "[HVN]\nInbox=/x\n");
    EXPECT_EQ(FolderEntries(folder), QStringList{QStringLiteral("inner")});
    EXPECT_EQ(FolderEntries(dir.path()),
              (QStringList{QStringLiteral("folder.ini"), QStringLiteral("ro.ini")}));
}

TEST(IniFile, RefusesNamesAndValuesThatWouldNotReadBack) {
    TIniFile ini(QStringLiteral("x.ini"), "[A]\nk=v\n");
    const QString s = QStringLiteral("A"), k = QStringLiteral("k");
    EXPECT_THROW(ini.WriteString(s, k, QStringLiteral("two\nlines")), std::invalid_argument);
    EXPECT_THROW(ini.WriteString(QStringLiteral("a]b"), k, {}), std::invalid_argument);
    EXPECT_THROW(ini.WriteString(s, QStringLiteral("k=x"), {}), std::invalid_argument);
    EXPECT_THROW(ini.WriteString(s, QStringLiteral(";k"), {}), std::invalid_argument);
    EXPECT_THROW(ini.WriteString(s, QStringLiteral(" "), {}), std::invalid_argument);
    EXPECT_EQ(ini.Content(), "[A]\nk=v\n");
}

TEST(IniFile, MalformedContentReadsAsDefaultsAndIsKeptWhenWriting) {
    QByteArray garbage;
    for (int i = 0; i < 4096; ++i)
        garbage += char((i * 7919) & 0xFF);
    const QByteArray cases[] = {
        garbage,
        QByteArray("[HVN\nInbox=/unterminated section\n"),
        Bytes("[HVN]\nInbox=\"unterminated quote\n\r\r\x00\x01[\n=\n"),
        QByteArray("[HVN]\nInbox=") + QByteArray(2 << 20, 'y'),
        Bytes("\xFF\xFE[\x00H\x00]\x00"),
    };
    for (const QByteArray& content : cases) {
        TIniFile ini(QStringLiteral("x.ini"), content);
        EXPECT_EQ(
            ini.ReadString(QStringLiteral("Nope"), QStringLiteral("Inbox"), QStringLiteral("d")),
            QStringLiteral("d"));
        EXPECT_LE(ini.ReadString(QStringLiteral("HVN"), QStringLiteral("Inbox"), {}).size(),
                  TIniFile::MaxValueLength);
        ini.WriteString(QStringLiteral("Fresh"), QStringLiteral("Key"), QStringLiteral("v"));
        EXPECT_TRUE(ini.Content().startsWith(content));
        EXPECT_EQ(ini.ReadString(QStringLiteral("Fresh"), QStringLiteral("Key"), {}), "v");
    }
}

TEST(IniFile, AFileThatCannotBeReadIsNeverReplaced) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Varnel.INI"));
    QDir().mkdir(path);
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadString(QStringLiteral("HVN"), QStringLiteral("Inbox"), QStringLiteral("d")),
              "d");
    ini.WriteString(QStringLiteral("HVN"), QStringLiteral("Inbox"), QStringLiteral("/x"));
    EXPECT_THROW(ini.UpdateFile(), std::runtime_error);
    EXPECT_TRUE(QFileInfo(path).isDir());
}

} // namespace
