#pragma once

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

#include <filesystem>

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
