#pragma once

#include "db/Session.h"
#include "settings/AppRec.h"
#include "settings/OstraneRec.h"
#include "support/ScopedEnv.h"
#include "support/ScriptedPrompt.h"
#include "support/TestFiles.h"
#include "varnel-sample/SampleSpace.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

// A sample project space (worked example and clinic estimate) in a temporary
// folder, the program folder beside it, fresh records and a fresh session.
class EstimatingTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Temp.isValid());
        Space = Temp.filePath("space");
        Home = Temp.filePath("home");
        ASSERT_TRUE(QDir().mkpath(Home));
        HomeEnv = std::make_unique<TScopedEnv>("VARNEL_HOME", Home);
        WriteSampleSpace(Space.toStdString(), std::nullopt);
        AppRec = TAppRec();
        AppRec.ExePath = Home;
        OstraneRec = TOstraneRec();
        OstraneRec.DataPath = Space;
        OstraneRec.UserName = "estimator";
        ResetSession();
    }
    void TearDown() override { ResetSession(); }

    static void ResetSession() {
        Session().Close();
        Session().DropConnections();
        Session().SetNetFileDir(QString());
        Session().SetPrivateDir(QString());
    }

    QString ProjectFolder(const QString& shortName) const {
        return Space + "/Projects/" + shortName;
    }
    QStringList LogLines() const {
        const QString path = Home + "/DEBUG.LOG";
        if (!QFile::exists(path))
            return {};
        return QString::fromUtf8(ReadTestFile(path)).split('\n', Qt::SkipEmptyParts);
    }
    // True when some DEBUG.LOG line ends in `text` (entries carry a time stamp).
    bool Logged(const QString& text) const {
        for (const QString& line : LogLines())
            if (line.trimmed().endsWith(text))
                return true;
        return false;
    }

    QTemporaryDir Temp;
    QString Space;
    QString Home;
    std::unique_ptr<TScopedEnv> HomeEnv;
    TScriptedPrompt Prompt;
};

// Starts this test binary again as a second process running only `test` with
// the environment variable `variable` set to `folder`; the child writes
// folder/ready when it holds what it should and ends when folder/go appears.
class TChildProcess {
public:
    TChildProcess(const QString& test, const char* variable, const QString& folder)
        : FFolder(folder) {
        auto env = QProcessEnvironment::systemEnvironment();
        env.insert(variable, folder);
        FChild.setProcessEnvironment(env);
        FChild.setProcessChannelMode(QProcess::ForwardedChannels);
        FChild.start(QString::fromStdString(std::filesystem::read_symlink("/proc/self/exe")),
                     {"--gtest_filter=" + test});
    }
    ~TChildProcess() {
        Release();
        if (!FChild.waitForFinished(30000))
            FChild.kill();
    }
    // Waits (bounded) until the child is ready.
    bool WaitReady() {
        if (!FChild.waitForStarted(10000))
            return false;
        const QDeadlineTimer deadline(30000);
        while (!QFile::exists(FFolder + "/ready") && !deadline.hasExpired() &&
               FChild.state() == QProcess::Running)
            QThread::msleep(5);
        return QFile::exists(FFolder + "/ready");
    }
    void Release() {
        QFile go(FFolder + "/go");
        if (!go.exists() && go.open(QIODevice::WriteOnly))
            go.close();
    }
    int Finish() {
        Release();
        EXPECT_TRUE(FChild.waitForFinished(30000));
        return FChild.exitCode();
    }

    // In the child: signals ready and waits (bounded) for go.
    static bool HoldUntilReleased(const QString& folder) {
        QFile ready(folder + "/ready");
        if (!ready.open(QIODevice::WriteOnly))
            return false;
        ready.close();
        const QDeadlineTimer deadline(30000);
        while (!QFile::exists(folder + "/go") && !deadline.hasExpired())
            QThread::msleep(5);
        return QFile::exists(folder + "/go");
    }

private:
    QString FFolder;
    QProcess FChild;
};
