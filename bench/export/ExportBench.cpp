// Times a whole command-line export (varnel-cli export --all --tasks task) of a
// generated project of N line items, as a separate process, and its peak
// memory, against the floor for its main work: the labour-task aggregation run
// by the sqlite3 shell on the same data in a native SQLite file.
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

[[noreturn]] void Die(const QString& why) {
    std::fprintf(stderr, "bench-export: %s\n", why.toUtf8().constData());
    std::exit(1);
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

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

double RunShell(const QString& database, const QString& sql, int& rows) {
    QElapsedTimer timer;
    timer.start();
    QProcess shell;
    shell.start(QStringLiteral("sqlite3"), {database});
    if (!shell.waitForStarted())
        Die(QStringLiteral("cannot start the sqlite3 shell"));
    shell.write((sql + QStringLiteral(";\n")).toUtf8());
    shell.closeWriteChannel();
    if (!shell.waitForFinished(600000) || shell.exitCode() != 0)
        Die(QStringLiteral("sqlite3 failed: ") + QString::fromUtf8(shell.readAllStandardError()));
    const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    rows = static_cast<int>(shell.readAllStandardOutput().count('\n'));
    return seconds;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    qint64 lineItems = 100000;
    int runs = 3;
    QString keep;
    for (qsizetype i = 0; i + 1 < args.size(); i += 2) {
        if (args[i] == "--line-items")
            lineItems = args[i + 1].toLongLong();
        else if (args[i] == "--runs")
            runs = std::max(1, args[i + 1].toInt());
        else if (args[i] == "--keep")
            keep = args[i + 1];
        else
            Die("usage: bench-export [--line-items N] [--runs N] [--keep DIR]");
    }
    QTemporaryDir temp;
    const QString work = keep.isEmpty() ? temp.path() : keep;
    const QString space = work + "/space";
    const QString folder = space + "/Projects/SCALED";
    if (!QFile::exists(folder + "/ostr_cst.db"))
        Spawn(QStringLiteral(VARNEL_SAMPLE_TOOL),
              {space, "--line-items", QString::number(lineItems)});

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
    for (int i = 0; i < runs; ++i) {
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
        const QString native = work + "/native.sqlite";
        QFile::remove(native);
        Session().SqlEngine().SaveLoadedTables(native.toStdString());
        const QString sql =
            Session().SqlEngine().Translate(folder.toStdString(), ExportQueries::MoveTask);
        std::vector<double> floor;
        int shellRows = 0;
        for (int i = 0; i < runs; ++i)
            floor.push_back(RunShell(native, sql, shellRows));
        if (shellRows != rows)
            Die(QStringLiteral("the shell gave %1 rows, the query %2").arg(shellRows).arg(rows));
        const double floorTime = Median(floor);
        const double cli = Median(times);
        std::printf("varnel-cli %s, %lld line items: %lld task lines written\n",
                    exportArgs.join(' ').toUtf8().constData(), static_cast<long long>(lineItems),
                    static_cast<long long>(tasks.count('\n')) - 0);
        std::printf(
            "sqlite3 shell, labour-task aggregation on a native file (floor, median of %d): "
            "%.3f s\n",
            runs, floorTime);
        std::printf("varnel-cli export (median of %d): %.3f s  ratio %.2f  peak RSS %.1f MiB\n",
                    runs, cli, cli / floorTime, static_cast<double>(peak) / 1024.0);
    } catch (const std::exception& e) {
        Die(QString::fromUtf8(e.what()));
    }
    return 0;
}
