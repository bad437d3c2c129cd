#include "platform/FileUtils.h"

#include "support/ScriptedPrompt.h"
#include "support/TestFiles.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(CopyAFile, ReplacesTheDestination) {
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("Job.csv"));
    const QString destination = dir.filePath(QStringLiteral("Job.bak"));
    WriteTestFile(source, "new");
    WriteTestFile(destination, "old and longer");
    TScriptedPrompt prompt;
    EXPECT_TRUE(CopyAFile(source, destination, prompt));
    EXPECT_EQ(ReadTestFile(destination), "new");
    EXPECT_EQ(ReadTestFile(source), "new");
    EXPECT_EQ(FolderEntries(dir.path()),
              (QStringList{QStringLiteral("Job.bak"), QStringLiteral("Job.csv")}));
}

TEST(CopyAFile, AFailureWarnsAndLeavesTheDestination) {
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("Job.csv"));
    const QString destination = dir.filePath(QStringLiteral("Job.bak"));
    WriteTestFile(destination, "old");
    const QString readOnly = dir.filePath(QStringLiteral("ro.bak"));
    WriteTestFile(readOnly, "protected");
    QFile::setPermissions(readOnly, QFile::ReadOwner);
    const struct {
        QString from, to;
        QByteArray kept;
    } cases[] = {
        {source, destination, "old"}, // no source
        {destination, readOnly, "protected"},
        {destination, dir.filePath(QStringLiteral("missing/Job.bak")), {}},
    };
    for (const auto& c : cases) {
        TScriptedPrompt prompt;
        prompt.ExpectMessage(QStringLiteral("Unable to Copy:") + c.from, TMsgType::Warning,
                             TMsgButtons::Ok);
        EXPECT_FALSE(CopyAFile(c.from, c.to, prompt));
        if (!c.kept.isEmpty()) {
            EXPECT_EQ(ReadTestFile(c.to), c.kept);
        }
    }
    EXPECT_EQ(FolderEntries(dir.path()),
              (QStringList{QStringLiteral("Job.bak"), QStringLiteral("ro.bak")}));
}

TEST(DeleteFiles, DeletesPlainFilesOnly) {
    QTemporaryDir dir;
    for (const char* name :
         {"a.txt", "B.DAT", "noext", ".hidden", "readonly.db", "keep/inner.txt"}) {
        QDir().mkpath(QFileInfo(dir.filePath(QLatin1String(name))).path());
        WriteTestFile(dir.filePath(QLatin1String(name)), "x");
    }
    QFile::setPermissions(dir.filePath(QStringLiteral("readonly.db")), QFile::ReadOwner);
    QFile::link(dir.filePath(QStringLiteral("keep/inner.txt")),
                dir.filePath(QStringLiteral("link")));

    DeleteFiles(dir.filePath(QStringLiteral("*.zip")));
    DeleteFiles(dir.filePath(QStringLiteral("absent/*.*")));
    EXPECT_EQ(FolderEntries(dir.path()).size(), 7);

    DeleteFiles(dir.filePath(QStringLiteral("*.TXT")));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("a.txt"))));

    DeleteFiles(dir.filePath(QStringLiteral("*.*")));
    EXPECT_EQ(
        FolderEntries(dir.path()),
        (QStringList{QStringLiteral(".hidden"), QStringLiteral("keep"), QStringLiteral("link")}));
    EXPECT_TRUE(QFileInfo::exists(dir.filePath(QStringLiteral("keep/inner.txt"))));
}

TEST(YesNo, Texts) {
    EXPECT_EQ(YesNo(true), "Yes");
    EXPECT_EQ(YesNo(false), "No");
}

} // namespace
