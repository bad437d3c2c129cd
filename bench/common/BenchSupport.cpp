#include "BenchSupport.h"

#include "db/Session.h"
#include "db/sql/SqlEngine.h"
#include "export/ExportQueries.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

TBenchArgs ParseBenchArgs(const QStringList& args, int defaultRuns, const char* usage) {
    TBenchArgs result;
    result.Runs = defaultRuns;
    if (args.size() % 2 != 0)
        Die(QString::fromUtf8(usage));
    for (qsizetype i = 0; i + 1 < args.size(); i += 2) {
        if (args[i] == "--line-items")
            result.LineItems = args[i + 1].toLongLong();
        else if (args[i] == "--runs")
            result.Runs = std::max(1, args[i + 1].toInt());
        else if (args[i] == "--keep")
            result.Keep = args[i + 1];
        else
            Die(QString::fromUtf8(usage));
    }
    if (result.LineItems < 1)
        Die(QString::fromUtf8(usage));
    return result;
}

void Die(const QString& why) {
    std::fprintf(stderr, "%s: %s\n", QCoreApplication::applicationName().toUtf8().constData(),
                 why.toUtf8().constData());
    std::exit(1);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

QString ScaledProject(const QString& work, qint64 lineItems) {
    const QString space = work + "/space";
    const QString folder = space + "/Projects/SCALED";
    if (QFile::exists(folder + "/ostr_cst.db"))
        return folder;
    QProcess sample;
    sample.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    sample.start(QStringLiteral(VARNEL_SAMPLE_TOOL),
                 {space, "--line-items", QString::number(lineItems)});
    if (!sample.waitForFinished(-1) || sample.exitCode() != 0)
        Die("varnel-sample failed");
    return folder;
}

namespace {

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

double ShellFloor(const QString& work, const QString& folder, int runs, int expectedRows) {
    const QString native = work + "/native.sqlite";
    QFile::remove(native);
    Session().SqlEngine().SaveLoadedTables(native.toStdString());
    const QString sql =
        Session().SqlEngine().Translate(folder.toStdString(), ExportQueries::MoveTask);
    std::vector<double> times;
    int rows = 0;
    for (int i = 0; i < runs; ++i)
        times.push_back(RunShell(native, sql, rows));
    if (rows != expectedRows)
        Die(QStringLiteral("the shell gave %1 rows, the query %2").arg(rows).arg(expectedRows));
    return Median(times);
}
