#include "platform/ProgramPaths.h"

#include "support/ScopedEnv.h"
#include "support/TestFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <stdexcept>

#include <unistd.h>

namespace {

const QFile::Permissions OwnerOnly = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;

QFile::Permissions ModeBits(const QString& path) {
    return QFile::permissions(path) & ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser);
}

TEST(ProgramPaths, ExePathIsVarnelHomeElseTheExecutablesFolder) {
    QTemporaryDir dir;
    {
        TScopedEnv home("VARNEL_HOME", dir.path() + QStringLiteral("/"));
        EXPECT_EQ(ExePath(), dir.path());
    }
    TScopedEnv home("VARNEL_HOME", std::nullopt);
    // The test binary's folder is writable here.
    EXPECT_EQ(ExePath(), QFileInfo(QStringLiteral(VARNEL_TEST_EXE)).absolutePath());
    EXPECT_EQ(QFileInfo(ExeFilePath()).canonicalFilePath(),
              QFileInfo(QStringLiteral(VARNEL_TEST_EXE)).canonicalFilePath());
    EXPECT_EQ(ExeBaseName(), QFileInfo(QStringLiteral(VARNEL_TEST_EXE)).completeBaseName());
}

TEST(ProgramPaths, AnUnwritableExecutableFolderFallsBackToTheDataFolder) {
    QTemporaryDir dir;
    EXPECT_EQ(ProgramFolder(dir.path() + QStringLiteral("/")), dir.path());
    // A folder that is not there cannot be written, even by root.
    const QString unwritable = dir.filePath(QStringLiteral("gone"));
    {
        TScopedEnv xdg("XDG_DATA_HOME", dir.filePath(QStringLiteral("xdg")));
        EXPECT_EQ(ProgramFolder(unwritable), dir.filePath(QStringLiteral("xdg/varnel")));
    }
    TScopedEnv xdg("XDG_DATA_HOME", std::nullopt);
    TScopedEnv home("HOME", dir.filePath(QStringLiteral("home")));
    const QString data = dir.filePath(QStringLiteral("home/.local/share/varnel"));
    EXPECT_EQ(ProgramFolder(unwritable), data);
    EXPECT_TRUE(QFileInfo(data).isDir());
}

TEST(ProgramPaths, TempPathFallsBackInOrder) {
    const struct {
        std::optional<QString> temp, TEMP, tmpdir;
        QString expected;
    } cases[] = {
        {"/t1/", "/t2", "/t3", "/t1"},
        {std::nullopt, "/t2\\", "/t3", "/t2"},
        {"", std::nullopt, "/t3//", "/t3"},
        {std::nullopt, std::nullopt, "/", "/"},
        {std::nullopt, "", std::nullopt, QDir::tempPath()},
    };
    for (const auto& c : cases) {
        TScopedEnv a("Temp", c.temp), b("TEMP", c.TEMP), d("TMPDIR", c.tmpdir);
        EXPECT_EQ(TempPath(), c.expected);
        EXPECT_FALSE(TempPath().isEmpty());
    }
}

TEST(ProgramPaths, MyTempIsAPrivateDirectoryOfOurOwn) {
    QTemporaryDir dir;
    const QString base = dir.filePath(QStringLiteral("missing/parent"));
    const QString made = MakeMyTemp(base, QStringLiteral("varnel"));
    EXPECT_EQ(made, base + QStringLiteral("/varnel"));
    EXPECT_TRUE(QFileInfo(made).isDir());
    EXPECT_EQ(ModeBits(made), OwnerOnly);

    // An existing folder of ours that others may read is tightened.
    QFile::setPermissions(made, OwnerOnly | QFile::ReadOther | QFile::ExeOther | QFile::WriteGroup);
    EXPECT_EQ(MakeMyTemp(base, QStringLiteral("varnel")), made);
    EXPECT_EQ(ModeBits(made), OwnerOnly);
}

TEST(ProgramPaths, MyTempNeverFollowsASymlinkOrTakesAFile) {
    QTemporaryDir dir;
    const QString victim = dir.filePath(QStringLiteral("victim"));
    QDir().mkdir(victim);
    WriteTestFile(victim + QStringLiteral("/precious"), "x");
    QFile::link(victim, dir.filePath(QStringLiteral("linked")));
    WriteTestFile(dir.filePath(QStringLiteral("plain")), "file");
    const QString uid = QString::number(::geteuid());
    for (const char* name : {"linked", "plain"}) {
        const QString made = MakeMyTemp(dir.path(), QLatin1String(name));
        EXPECT_EQ(made, dir.filePath(QLatin1String(name) + u'-' + uid));
        EXPECT_TRUE(QFileInfo(made).isDir() && !QFileInfo(made).isSymLink());
        EXPECT_EQ(ModeBits(made), OwnerOnly);
    }
    EXPECT_EQ(ModeBits(victim) & QFile::ReadOther, QFile::ReadOther) << "target untouched";
    EXPECT_EQ(ReadTestFile(dir.filePath(QStringLiteral("plain"))), "file");

    WriteTestFile(dir.filePath(QStringLiteral("both")), "");
    WriteTestFile(dir.filePath(QStringLiteral("both-") + uid), "");
    EXPECT_THROW(MakeMyTemp(dir.path(), QStringLiteral("both")), std::runtime_error);
}

} // namespace
