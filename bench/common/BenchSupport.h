#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// The options every benchmark over a generated project takes.
struct TBenchArgs {
    qint64 LineItems = 100000;
    int Runs = 3;
    QString Keep; // keep the generated data in this folder (reused when present)
};

// Parses --line-items N, --runs N and --keep DIR; dies with `usage` on anything else.
TBenchArgs ParseBenchArgs(const QStringList& args, int defaultRuns, const char* usage);

// Prints "<program>: why" on standard error and exits 1.
[[noreturn]] void Die(const QString& why);

double Median(std::vector<double> values);

// Writes the sample project space with a scaled project of `lineItems` line
// items into work/space unless it is there already; returns the project's folder.
QString ScaledProject(const QString& work, qint64 lineItems);

// The floor for the export's main work: the labour-task aggregation run by the
// sqlite3 shell on the tables the session has loaded for `folder`, saved into a
// native SQLite file in `work`. Returns the median of `runs` runs in seconds;
// dies when the shell's row count differs from `expectedRows`.
double ShellFloor(const QString& work, const QString& folder, int runs, int expectedRows);
