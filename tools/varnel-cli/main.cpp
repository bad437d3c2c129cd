// varnel-cli: the export of the windowed program for scripts and schedules,
// over the same program folder, Varnel.INI and registry.

#include "ConsolePrompt.h"

#include "estimating/ErrorText.h"
#include "estimating/OpenProject.h"
#include "estimating/OstraneSystem.h"
#include "estimating/PhaseChecklist.h"
#include "estimating/ProjectOpen.h"
#include "estimating/StatusView.h"
#include "estimating/WriteBack.h"
#include "export/ExportRun.h"
#include "export/ExportView.h"
#include "platform/DebugLog.h"
#include "platform/Processes.h"
#include "platform/VersionInfo.h"
#include "settings/AppRec.h"
#include "settings/OstraneRec.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>
#include <optional>

namespace {

constexpr int ExitOk = 0;
constexpr int ExitFailed = 1;
constexpr int ExitUsage = 2;

const char* const UsageText =
    "Usage:\n"
    "  varnel-cli projects\n"
    "  varnel-cli phases TITLE\n"
    "  varnel-cli export TITLE [--phase NAME]... [--all] [--job NUMBER]\n"
    "             [--subjobs|--no-subjobs] [--header|--no-header]\n"
    "             [--tasks library|category|task] [--write-back] [--dry-run]\n"
    "  varnel-cli --help | --version\n"
    "\n"
    "projects  lists the project space's projects: title, short name, last modified\n"
    "phases    lists a project's phases: Link_Phs, check-list text, exported or -\n"
    "export    exports the named phases (--all: every phase) into the inbox as the\n"
    "          export command does and prints the export log; the other options\n"
    "          override Varnel.INI for this run. --write-back then writes the\n"
    "          milestone and reference of Varnel.INI into the exported line items;\n"
    "          --dry-run writes, moves and saves nothing.\n"
    "\n"
    "Exit status: 0 exported, 1 export failed, 2 usage error or unknown project or phase.\n";

void Out(const QString& line) {
    const QByteArray bytes = line.toLocal8Bit() + '\n';
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stdout);
}

// The status bar of the command line: texts to standard error and into the
// diagnostic log, as the main window's status bar logs them.
class TConsoleStatus : public TStatusView {
public:
    explicit TConsoleStatus(TConsolePrompt& prompt) : FPrompt(prompt) {}
    void ShowStatus(const QString& text) override {
        FPrompt.WriteLine(text);
        DebugLog(text);
    }
    void SetProgressMaximum(int /*maximum*/) override {}
    void SetProgressPosition(int /*position*/) override {}

private:
    TConsolePrompt& FPrompt;
};

// The export log goes to standard output line by line as the run writes it.
class TConsoleExportView : public TExportView {
public:
    void AppendLog(const QString& line) override { Out(line); }
};

struct TExportOptions {
    QStringList Phases;
    bool All = false;
    std::optional<QString> Job;
    std::optional<bool> AsPhases;
    std::optional<bool> ShowHeader;
    std::optional<int> CollapseTasks;
    bool WriteBack = false;
    bool DryRun = false;
};

int UsageError(const QString& text) {
    std::fprintf(stderr, "varnel-cli: %s\n\n%s", text.toLocal8Bit().constData(), UsageText);
    return ExitUsage;
}

// Reads the settings and the installation's configuration and points the
// session at the project space, as the windowed program's start does.
void StartUp(TConsolePrompt& prompt, bool dryRun) {
    InitAppRec();
    SetNetFileDir(prompt);
    if (!dryRun)
        SetPrivateDir(AppRec.MyPriv, InstanceCount(), prompt);
}

int ListProjects(TConsolePrompt& prompt) {
    TOpenProject open(prompt);
    try {
        open.OpenProjectList();
        TQuery& list = open.qryProjects();
        for (list.First(); !list.Eof(); list.Next()) {
            const QDateTime modified = list.FieldByName(QStringLiteral("Modified")).AsDateTime();
            Out(list.FieldByName(QStringLiteral("LongName")).AsString() + QLatin1Char('\t') +
                list.FieldByName(QStringLiteral("ShortName")).AsString() + QLatin1Char('\t') +
                (modified.isValid() ? modified.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"))
                                    : QString()));
        }
        list.Close();
    } catch (const std::exception& error) {
        prompt.Message(QStringLiteral("Error - OpenActivate \r\n") + TOpenProject::SystemFolder() +
                           QStringLiteral("\r\n") + ErrorText(error),
                       TMsgType::Information, TMsgButtons::Ok);
        return ExitFailed;
    }
    return ExitOk;
}

// Opens the project titled `title` into `checklist`; returns an exit status
// when it cannot.
std::optional<int> OpenByTitle(const QString& title, TPhaseChecklist& checklist,
                               TConsolePrompt& prompt) {
    TOpenProject open(prompt);
    open.GetProject(title);
    if (!open.OpenRec.Selected) {
        prompt.WriteLine(QStringLiteral("varnel-cli: unknown project: ") + title);
        return ExitUsage;
    }
    OpenChosenProject(open.OpenRec, checklist, prompt);
    if (!OstraneRec.ProjectOpen)
        return ExitFailed;
    return std::nullopt;
}

int ListPhases(const QString& title, TConsolePrompt& prompt) {
    TPhaseChecklist checklist;
    if (const auto status = OpenByTitle(title, checklist, prompt))
        return *status;
    for (const TPhaseItem& item : checklist.Items())
        Out(QString::number(item.PhaseId) + QLatin1Char('\t') + item.Text + QLatin1Char('\t') +
            (item.State == TPhaseState::Grey ? QStringLiteral("exported") : QStringLiteral("-")));
    return ExitOk;
}

int Export(const QString& title, const TExportOptions& options, TConsolePrompt& prompt) {
    TPhaseChecklist checklist;
    if (const auto status = OpenByTitle(title, checklist, prompt))
        return *status;
    if (options.All)
        checklist.SelectAll();
    for (const QString& name : options.Phases) {
        bool found = false;
        for (TPhaseItem& item : checklist.Items()) {
            if (item.Name.compare(name, Qt::CaseInsensitive) == 0) {
                item.State = TPhaseState::Ticked;
                found = true;
            }
        }
        if (!found) {
            prompt.WriteLine(QStringLiteral("varnel-cli: unknown phase: ") + name);
            return ExitUsage;
        }
    }

    // The options stand for this run only: the saved settings keep their values.
    const TAppRec loaded = AppRec;
    if (options.Job)
        AppRec.JobNumber = *options.Job;
    if (options.AsPhases)
        AppRec.AsPhases = *options.AsPhases;
    if (options.ShowHeader)
        AppRec.ShowHeader = *options.ShowHeader;
    if (options.CollapseTasks)
        AppRec.CollapseTasks = *options.CollapseTasks;

    TConsoleStatus status(prompt);
    bool exportOk = false;
    AppRec.ExportList = checklist.RebuildExportList();
    AppRec.MRUPhases = checklist.SaveDonePhases();
    if (AppRec.ExportList.isEmpty()) {
        prompt.Message(QStringLiteral("No items selected\r\n - grey checkmarks are complete\r\n - "
                                      "white boxes are unselected"),
                       TMsgType::Information, TMsgButtons::Ok);
    } else {
        TConsoleExportView view;
        TExportRun run(AppRec, OstraneRec, prompt, &view);
        run.SetDryRun(options.DryRun);
        run.Run();
        exportOk = run.ExportOk;
        if (exportOk) {
            if (AppRec.IncMileLog || AppRec.IncRefLog) {
                const int mile = AppRec.MileIndex + 1;
                const QString caption =
                    mile >= 1 && mile <= 8 ? OstraneRec.Labels.Mile[mile] : QString();
                prompt.SetConfirmAnswer(options.WriteBack && !options.DryRun);
                if (prompt.Message(QStringLiteral("Write logging to Ostrane Milestone ") + caption +
                                       QStringLiteral("/Reference for Phases(") +
                                       QString::number(AppRec.ExportList.size()) +
                                       QStringLiteral(")?"),
                                   TMsgType::Confirmation, TMsgButtons::YesNo) == TMsgAnswer::Yes) {
                    TWriteBack writeBack(status, prompt);
                    writeBack.IncMileLog = AppRec.IncMileLog;
                    writeBack.IncRefLog = AppRec.IncRefLog;
                    writeBack.MileIndex = AppRec.MileIndex;
                    for (const QString& id : AppRec.ExportList)
                        writeBack.DoLogging(id.toLongLong(), OstraneRec.ProjectPath);
                }
            }
            status.ShowStatus(QStringLiteral("Project exported to ") + AppRec.Inbox +
                              QLatin1Char('/') + AppRec.JobNumber);
        } else {
            status.ShowStatus(QStringLiteral("Project export Aborted"));
        }
    }

    if (options.DryRun)
        return exportOk ? ExitOk : ExitFailed;
    AppRec.AsPhases = loaded.AsPhases;
    AppRec.ShowHeader = loaded.ShowHeader;
    AppRec.CollapseTasks = loaded.CollapseTasks;
    try {
        SaveSettings();
    } catch (const std::exception& error) {
        prompt.StandardError(QString::fromUtf8(error.what()));
        return ExitFailed;
    }
    return exportOk ? ExitOk : ExitFailed;
}

std::optional<int> TaskLevel(const QString& text) {
    const QStringList levels = {QStringLiteral("library"), QStringLiteral("category"),
                                QStringLiteral("task")};
    const auto level = levels.indexOf(text.toLower());
    if (level < 0)
        return std::nullopt;
    return static_cast<int>(level);
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    const QCommandLineOption help(QStringLiteral("help"));
    const QCommandLineOption version(QStringLiteral("version"));
    const QCommandLineOption phase(QStringLiteral("phase"), QString(), QStringLiteral("NAME"));
    const QCommandLineOption all(QStringLiteral("all"));
    const QCommandLineOption job(QStringLiteral("job"), QString(), QStringLiteral("NUMBER"));
    const QCommandLineOption subjobs(QStringLiteral("subjobs"));
    const QCommandLineOption noSubjobs(QStringLiteral("no-subjobs"));
    const QCommandLineOption header(QStringLiteral("header"));
    const QCommandLineOption noHeader(QStringLiteral("no-header"));
    const QCommandLineOption tasks(QStringLiteral("tasks"), QString(), QStringLiteral("LEVEL"));
    const QCommandLineOption writeBack(QStringLiteral("write-back"));
    const QCommandLineOption dryRun(QStringLiteral("dry-run"));
    const QList<QCommandLineOption> exportOptions = {phase,  all,      job,   subjobs,   noSubjobs,
                                                     header, noHeader, tasks, writeBack, dryRun};
    parser.addOptions(exportOptions);
    parser.addOption(help);
    parser.addOption(version);
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    if (!parser.parse(app.arguments()))
        return UsageError(parser.errorText());
    if (parser.isSet(help)) {
        std::fputs(UsageText, stdout);
        return ExitOk;
    }
    if (parser.isSet(version)) {
        Out(QStringLiteral("varnel-cli ") + VersionInfo().FileVersion);
        return ExitOk;
    }

    const QStringList args = parser.positionalArguments();
    const QString command = args.value(0);
    const auto expectArgs = [&](qsizetype count) { return args.size() == count; };
    if (command != QLatin1String("export")) {
        for (const QCommandLineOption& option : exportOptions)
            if (parser.isSet(option))
                return UsageError(QStringLiteral("--%1 is an option of export only")
                                      .arg(option.names().constFirst()));
    }

    TConsolePrompt prompt;
    if (command == QLatin1String("projects")) {
        if (!expectArgs(1))
            return UsageError(QStringLiteral("projects takes no title"));
        StartUp(prompt, true);
        return ListProjects(prompt);
    }
    if (command == QLatin1String("phases")) {
        if (!expectArgs(2))
            return UsageError(QStringLiteral("phases takes one project title"));
        StartUp(prompt, true);
        return ListPhases(args[1], prompt);
    }
    if (command != QLatin1String("export"))
        return UsageError(command.isEmpty() ? QStringLiteral("no command given")
                                            : QStringLiteral("unknown command: ") + command);
    if (!expectArgs(2))
        return UsageError(QStringLiteral("export takes one project title"));

    TExportOptions options;
    options.Phases = parser.values(phase);
    options.All = parser.isSet(all);
    if (parser.isSet(job))
        options.Job = parser.value(job);
    if (parser.isSet(subjobs) && parser.isSet(noSubjobs))
        return UsageError(QStringLiteral("--subjobs and --no-subjobs exclude each other"));
    if (parser.isSet(subjobs) || parser.isSet(noSubjobs))
        options.AsPhases = parser.isSet(subjobs);
    if (parser.isSet(header) && parser.isSet(noHeader))
        return UsageError(QStringLiteral("--header and --no-header exclude each other"));
    if (parser.isSet(header) || parser.isSet(noHeader))
        options.ShowHeader = parser.isSet(header);
    if (parser.isSet(tasks)) {
        options.CollapseTasks = TaskLevel(parser.value(tasks));
        if (!options.CollapseTasks)
            return UsageError(QStringLiteral("--tasks takes library, category or task"));
    }
    options.WriteBack = parser.isSet(writeBack);
    options.DryRun = parser.isSet(dryRun);
    StartUp(prompt, options.DryRun);
    return Export(args[1], options, prompt);
}
