// varnel-sample OUTDIR [--line-items N]
//
// Writes a complete project space of the estimating system, with the same
// table writer that Varnel itself uses, so that Varnel, its command-line
// export, the tests and the benchmarks have real tables to work on:
//
//   System/Projname.db  the project list, with a reserved-library row that is
//                       never listed as a project;
//   System/Users.db     the users, keyed on the user name (one without a
//                       full name);
//   Registry.reg        the installation's registry: DATAPATH is OUTDIR, the
//                       last user, the captions, the user's recent projects;
//   Projects/<ShortName>/ with phase, line-item (M1..M8, REFERENCE), cost-line,
//                       product, category, library, location and unit tables.
//
// The projects:
//   WORKEX     "Worked Example": phases A100 Foundation and B200 Framing. The
//              labour (excavator operator 12.5 h / 937.50, laborer 8 h / 280.00;
//              carpenter 40 h / 1800.00, laborer 6.25 h / 218.75) and material
//              (1500.00; 3250.40) add up to the documented export example, by
//              labour task and, since each task has a category of its own, by
//              category too.
//   RIVERSIDE  "Riverside Clinic Fit-out": 34 phases, several hundred line
//              items, five libraries, with the cases an export must get right:
//              a phase whose items have no quantity (line count 0), a phase
//              with material but no labour, a phase without line items, a phase
//              with an empty description; line items whose phase, location,
//              product or unit is missing or blank (inner joins drop them);
//              cost lines of group types other than L and C, a negative
//              material credit, labour lines whose task is missing, a cost line
//              of a missing line item; a labour task without category;
//              same-named categories with equal and with different export
//              texts; empty export texts on a product, a category and a
//              library; two labour tasks of the same name; a comma in a task
//              name; text outside ASCII.
//   SCALED     "Scaled Estimate", only with --line-items N: N line items of
//              exactly five cost lines each over the clinic's catalogue, for
//              benchmarks; written as a stream, so memory stays flat.
//
// The output is deterministic: fixed seeds and fixed dates, no clock.

#include "SampleSpace.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>
#include <exception>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("varnel-sample");
    QCommandLineParser parser;
    parser.setApplicationDescription("Writes a sample project space of the estimating system.");
    parser.addHelpOption();
    parser.addPositionalArgument("OUTDIR", "Folder to write; must be absent or empty.");
    const QCommandLineOption lineItemsOption(
        "line-items", "Also write the project \"Scaled Estimate\" with N line items.", "N");
    parser.addOption(lineItemsOption);
    parser.process(app);

    const QStringList args = parser.positionalArguments();
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: varnel-sample OUTDIR [--line-items N]\n");
        return 2;
    }
    std::optional<qint64> lineItems;
    if (parser.isSet(lineItemsOption)) {
        bool ok = false;
        lineItems = parser.value(lineItemsOption).toLongLong(&ok);
        if (!ok || *lineItems < 1) {
            std::fprintf(stderr, "varnel-sample: --line-items needs a whole number above 0\n");
            return 2;
        }
    }

    try {
        for (const TProjectSummary& p : WriteSampleSpace(args[0].toStdString(), lineItems)) {
            std::printf("%s (%s): %lld phases, %lld line items, %lld cost lines, %lld products\n",
                        p.LongName.toUtf8().constData(), p.ShortName.toUtf8().constData(),
                        p.Counts.Phases, p.Counts.LineItems, p.Counts.CostLines, p.Counts.Products);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "varnel-sample: %s\n", e.what());
        return 1;
    }
    return 0;
}
