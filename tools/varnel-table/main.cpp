// varnel-table: prints a Paradox table for support and checks.
//   varnel-table FILE           field names, then every record, tab-separated
//   varnel-table --schema FILE  version, code page, counts and the fields
//   varnel-table --sql FOLDER TEXT [--filter EXPR]
//                               the result of a query against FOLDER's tables
#include "SqlCommand.h"
#include "TableModes.h"

#include <QCoreApplication>
#include <QStringList>

namespace {

int Usage() {
    std::fputs("usage: varnel-table FILE\n"
               "       varnel-table --schema FILE\n"
               "       varnel-table --sql FOLDER TEXT [--filter EXPR]\n",
               stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    // One branch per mode; each mode lives in its own source file.
    if (args.size() == 2 && args[0] == QStringLiteral("--schema"))
        return PrintSchema(args[1], stdout, stderr);
    if (!args.isEmpty() && args[0] == QStringLiteral("--sql") &&
        (args.size() == 3 || (args.size() == 5 && args[3] == QStringLiteral("--filter"))))
        return RunSql(args[1], args[2], args.value(4), stdout, stderr);
    if (args.size() == 1 && !args[0].startsWith(QStringLiteral("--")))
        return DumpTable(args[0], stdout, stderr);
    return Usage();
}
