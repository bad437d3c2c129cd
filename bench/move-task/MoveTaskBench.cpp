// Times the labour-task move query of the export over a generated project of
// N line items (five cost lines each), all phases ticked, on a first run (the
// tables read from their Paradox files) and cached, against the same
// aggregation run by the sqlite3 shell on the same data in a native SQLite
// file, which is the floor for this work.
#include "db/Query.h"
#include "db/Session.h"
#include "db/format/ParadoxTable.h"
#include "db/sql/SqlEngine.h"
#include "export/ExportQueries.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

[[noreturn]] void Die(const QString& why) {
    std::fprintf(stderr, "bench-move-task: %s\n", why.toUtf8().constData());
    std::exit(1);
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// The phase filter with every phase of the project ticked.
QString AllPhasesFilter(const QString& folder) {
    QStringList parts;
    const auto table = TParadoxTable::Open((folder + "/phase.db").toStdString());
    table->ForEachRecord([&parts](const TRecordView& r) {
        parts << QStringLiteral("(PhaseID=%1)").arg(std::get<qint64>(r.Value(0)));
        return true;
    });
    return parts.join(QStringLiteral(" OR "));
}

// Runs the move query as the export does; returns seconds, rows and a checksum.
double RunOurs(const QString& folder, const QString& filter, int& rows, double& sum) {
    QElapsedTimer timer;
    timer.start();
    TQuery q;
    q.SetDatabaseName(folder);
    q.SetSQL(ExportQueries::MoveTask);
    q.SetFilter(filter);
    q.SetFiltered(true);
    q.Open();
    rows = 0;
    sum = 0;
    for (q.First(); !q.Eof(); q.Next()) {
        ++rows;
        sum += q.FieldByName("Time_Value").AsFloat();
    }
    return static_cast<double>(timer.nsecsElapsed()) / 1e9;
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
    int runs = 5;
    QString keep;
    for (qsizetype i = 0; i + 1 < args.size(); i += 2) {
        if (args[i] == "--line-items")
            lineItems = args[i + 1].toLongLong();
        else if (args[i] == "--runs")
            runs = std::max(1, args[i + 1].toInt());
        else if (args[i] == "--keep")
            keep = args[i + 1];
        else
            Die("usage: bench-move-task [--line-items N] [--runs N] [--keep DIR]");
    }
    QTemporaryDir temp;
    const QString work = keep.isEmpty() ? temp.path() : keep;
    const QString space = work + "/space";
    const QString folder = space + "/Projects/SCALED";
    if (!QFile::exists(folder + "/ostr_cst.db")) {
        QProcess sample;
        sample.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        sample.start(QStringLiteral(VARNEL_SAMPLE_TOOL),
                     {space, "--line-items", QString::number(lineItems)});
        if (!sample.waitForFinished(-1) || sample.exitCode() != 0)
            Die("varnel-sample failed");
    }
    const QString filter = AllPhasesFilter(folder);

    try {
        Session().DropConnections();
        int rows = 0;
        double sum = 0;
        const double first = RunOurs(folder, filter, rows, sum);
        std::vector<double> cached;
        for (int i = 0; i < runs; ++i) {
            int r = 0;
            double s = 0;
            cached.push_back(RunOurs(folder, filter, r, s));
            if (r != rows || s != sum)
                Die("cached run gave another result");
        }
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
        std::printf(
            "qryMoveTask, %lld line items, all phases ticked: %d rows, Time_Value sum %.2f\n",
            static_cast<long long>(lineItems), rows, sum);
        std::printf("sqlite3 shell on a native file (floor, median of %d): %.3f s\n", runs,
                    floorTime);
        std::printf("first run (tables read from their files):  %.3f s  ratio %.2f\n", first,
                    first / floorTime);
        std::printf("cached (median of %d):                      %.3f s  ratio %.2f\n", runs,
                    Median(cached), Median(cached) / floorTime);
    } catch (const std::exception& e) {
        Die(QString::fromUtf8(e.what()));
    }
    return 0;
}
