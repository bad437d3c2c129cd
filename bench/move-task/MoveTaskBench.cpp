// Times the labour-task move query of the export over a generated project of
// N line items (five cost lines each), all phases ticked, on a first run (the
// tables read from their Paradox files) and cached, against the same
// aggregation run by the sqlite3 shell on the same data in a native SQLite
// file, which is the floor for this work.
#include "BenchSupport.h"

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

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const TBenchArgs args =
        ParseBenchArgs(app.arguments().mid(1), 5,
                       "usage: bench-move-task [--line-items N] [--runs N] [--keep DIR]");
    QTemporaryDir temp;
    const QString work = args.Keep.isEmpty() ? temp.path() : args.Keep;
    const QString folder = ScaledProject(work, args.LineItems);
    const QString filter = AllPhasesFilter(folder);

    try {
        Session().DropConnections();
        int rows = 0;
        double sum = 0;
        const double first = RunOurs(folder, filter, rows, sum);
        std::vector<double> cached;
        for (int i = 0; i < args.Runs; ++i) {
            int r = 0;
            double s = 0;
            cached.push_back(RunOurs(folder, filter, r, s));
            if (r != rows || s != sum)
                Die("cached run gave another result");
        }
        const double floorTime = ShellFloor(work, folder, args.Runs, rows);
        std::printf(
            "qryMoveTask, %lld line items, all phases ticked: %d rows, Time_Value sum %.2f\n",
            static_cast<long long>(args.LineItems), rows, sum);
        std::printf("sqlite3 shell on a native file (floor, median of %d): %.3f s\n", args.Runs,
                    floorTime);
        std::printf("first run (tables read from their files):  %.3f s  ratio %.2f\n", first,
                    first / floorTime);
        std::printf("cached (median of %d):                      %.3f s  ratio %.2f\n", args.Runs,
                    Median(cached), Median(cached) / floorTime);
    } catch (const std::exception& e) {
        Die(QString::fromUtf8(e.what()));
    }
    return 0;
}
