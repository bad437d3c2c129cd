#include "platform/Processes.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace {

// A copy of the probe answering InstanceCount() on request.
class TProbe {
public:
    explicit TProbe(const QString& program) {
        FProcess.setProgram(program);
        FProcess.start();
        EXPECT_TRUE(FProcess.waitForStarted(10000)) << program.toStdString();
    }
    ~TProbe() {
        FProcess.closeWriteChannel();
        if (!FProcess.waitForFinished(10000))
            FProcess.kill();
    }
    int Count() {
        FProcess.write("count\n");
        while (!FProcess.canReadLine())
            if (!FProcess.waitForReadyRead(10000))
                return -1;
        return FProcess.readLine().trimmed().toInt();
    }

private:
    QProcess FProcess;
};

TEST(InstanceCount, CountsCopiesFromAnyFolderUnderTheSameNameInAnyCase) {
    QTemporaryDir dir;
    // A name of this run only, so that other tests running at once do not count.
    const QString name = QStringLiteral("VarnelProbe%1").arg(QCoreApplication::applicationPid());
    const QString first = dir.filePath(QStringLiteral("one/") + name);
    const QString second = dir.filePath(QStringLiteral("two/") + name.toLower());
    const QString other = dir.filePath(QStringLiteral("three/") + name + QStringLiteral("x"));
    for (const QString& copy : {first, second, other}) {
        QDir().mkpath(QFileInfo(copy).path());
        ASSERT_TRUE(QFile::copy(QStringLiteral(VARNEL_PROBE_EXE), copy));
    }

    auto a = std::make_unique<TProbe>(first);
    EXPECT_EQ(a->Count(), 1);
    {
        TProbe differentName(other);
        EXPECT_EQ(differentName.Count(), 1);
        TProbe b(second);
        EXPECT_EQ(b.Count(), 2);
        EXPECT_EQ(a->Count(), 2);
        EXPECT_EQ(CountProcessesNamed(name.toUpper()), 2);
    }
    EXPECT_EQ(a->Count(), 1);
    a.reset();
    EXPECT_EQ(CountProcessesNamed(name), 0);
    EXPECT_GE(InstanceCount(), 1);
}

} // namespace
