// varnel-table: prints a Paradox table for support and checks.
//   varnel-table FILE           field names, then every record, tab-separated
//   varnel-table --schema FILE  version, code page, counts and the fields
#include "TableModes.h"

#include <QCoreApplication>
#include <QStringList>

namespace {

int Usage() {
    std::fputs("usage: varnel-table FILE\n"
               "       varnel-table --schema FILE\n",
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
    if (args.size() == 1 && !args[0].startsWith(QStringLiteral("--")))
        return DumpTable(args[0], stdout, stderr);
    return Usage();
}
