// Times a whole command-line export (varnel-cli export --all --tasks task) of a
// generated project of N line items, as a separate process, and its peak
// memory, against the floor for its main work: the labour-task aggregation run
// by the sqlite3 shell on the same data in a native SQLite file.
#include "BenchSupport.h"

#include "db/Query.h"
#include "db/Session.h"
#include "db/sql/SqlEngine.h"
#include "export/ExportQueries.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace {

struct TChildRun {
    double Seconds = 0;
    long PeakKiB = 0;
};

// Runs `program` with `args` (output to /dev/null) and waits for exactly that
// child, so that its own peak resident size is known.
TChildRun Spawn(const QString& program, const QStringList& args) {
    std::vector<QByteArray> bytes = {program.toLocal8Bit()};
    for (const QString& a : args)
        bytes.push_back(a.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& b : bytes)
        argv.push_back(b.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    QElapsedTimer timer;
    timer.start();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        Die("cannot start " + program);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid)
        Die("lost " + program);
    TChildRun run{static_cast<double>(timer.nsecsElapsed()) / 1e9, usage.ru_maxrss};
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        Die(program + " " + args.join(' ') + " failed");
    return run;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const TBenchArgs args = ParseBenchArgs(
        app.arguments().mid(1), 3, "usage: bench-export [--line-items N] [--runs N] [--keep DIR]");
    QTemporaryDir temp;
    const QString work = args.Keep.isEmpty() ? temp.path() : args.Keep;
    const QString folder = ScaledProject(work, args.LineItems);
    const QString space = work + "/space";

    // The command line runs in a program folder of its own, on the space's registry.
    const QString home = work + "/home";
    QDir(home).removeRecursively();
    QDir().mkpath(home);
    qputenv("VARNEL_HOME", home.toLocal8Bit());
    qputenv("VARNEL_REGISTRY", (space + "/Registry.reg").toLocal8Bit());
    const QStringList exportArgs = {"export", "Scaled Estimate", "--all", "--tasks",
                                    "task",   "--subjobs",       "--job", "1207"};
    std::vector<double> times;
    long peak = 0;
    for (int i = 0; i < args.Runs; ++i) {
        const TChildRun run = Spawn(QStringLiteral(VARNEL_CLI_TOOL), exportArgs);
        times.push_back(run.Seconds);
        peak = std::max(peak, run.PeakKiB);
    }
    const QByteArray tasks = [&] {
        QFile f(home + "/HVNInbox/Tasks.csv");
        if (!f.open(QIODevice::ReadOnly))
            Die("no Tasks.csv written");
        return f.readAll();
    }();

    try {
        TQuery q;
        q.SetDatabaseName(folder);
        q.SetSQL(ExportQueries::MoveTask);
        q.Open();
        const int rows = q.RecordCount();
        q.Close();
        const double floorTime = ShellFloor(work, folder, args.Runs, rows);
        const double cli = Median(times);
        std::printf("varnel-cli %s, %lld line items: %lld task lines written\n",
                    exportArgs.join(' ').toUtf8().constData(),
                    static_cast<long long>(args.LineItems),
                    static_cast<long long>(tasks.count('\n')) - 0);
        std::printf(
            "sqlite3 shell, labour-task aggregation on a native file (floor, median of %d): "
            "%.3f s\n",
            args.Runs, floorTime);
        std::printf("varnel-cli export (median of %d): %.3f s  ratio %.2f  peak RSS %.1f MiB\n",
                    args.Runs, cli, cli / floorTime, static_cast<double>(peak) / 1024.0);
    } catch (const std::exception& e) {
        Die(QString::fromUtf8(e.what()));
    }
    return 0;
}
