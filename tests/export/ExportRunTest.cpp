#include "ExportFixture.h"

#include "db/BatchMove.h"
#include "db/Query.h"
#include "db/Table.h"
#include "estimating/PhaseChecklist.h"
#include "export/ExportQueries.h"
#include "export/ExportRun.h"
#include "export/ExportView.h"
#include "export/ImportFile.h"
#include "settings/AppRec.h"
#include "settings/OstraneRec.h"
#include "support/ScopedEnv.h"
#include "support/ScriptedPrompt.h"
#include "varnel-sample/SampleSpace.h"

#include <QDate>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <utility>

namespace {

QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
}

// Every file below `folder` with its bytes, by path relative to `folder`.
std::map<QString, QByteArray> Snapshot(const QString& folder) {
    std::map<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files[QDir(folder).relativeFilePath(path)] = ReadBytes(path);
    }
    return files;
}

QByteArray Crlf(const QStringList& lines) {
    return ImportFileBytes(lines);
}

// The engine's own text for the error `sql` raises in `folder`.
QString EngineError(const QString& folder, const QString& sql) {
    TQuery query;
    query.SetDatabaseName(folder);
    query.SetSQL(sql);
    try {
        query.Open();
    } catch (const std::exception& error) {
        return QString::fromStdString(error.what());
    }
    return QStringLiteral("<no error>");
}

struct TRecordingView : TExportView {
    QStringList Events;
    void SetCaption(const QString& caption) override { Events << "caption " + caption; }
    void SetButtonsEnabled(bool enabled) override {
        Events << (enabled ? QStringLiteral("enabled") : QStringLiteral("disabled"));
    }
    void ClearLog() override { Events << QStringLiteral("clear"); }
    void SetProgressMaximum(int maximum) override {
        Progress << QStringLiteral("max %1").arg(maximum);
    }
    void SetProgressPosition(int position) override { Progress << QString::number(position); }
    QStringList Progress;
};

const QStringList JobLines{QStringLiteral("JOB_NUMBER,MATERIAL_VALUE,TIME_QTY,TIME_RATE"),
                           QStringLiteral("1207,4750.400,66.750,48.48")};
const QStringList SubJobLines{QStringLiteral("JOB_NUMBER,SUBJOB,TIME_QTY"),
                              QStringLiteral("1207,A100: Foundation,20.500"),
                              QStringLiteral("1207,B200: Framing,46.250")};
const QStringList PhaseTaskLines{
    QStringLiteral("JOB_NUMBER,SUBJOB, TIME_QTY,TASK, TASK_ID"),
    QStringLiteral("1207,A100: Foundation,12.500,Excavator operator,EXC"),
    QStringLiteral("1207,A100: Foundation,8.000,Laborer,Laborer"),
    QStringLiteral("1207,B200: Framing,40.000,Carpenter,CARP"),
    QStringLiteral("1207,B200: Framing,6.250,Laborer,Laborer")};
const QStringList CombinedTaskLines{QStringLiteral("JOB_NUMBER,SUBJOB, TIME_QTY,TASK, TASK_ID"),
                                    QStringLiteral("1207,00,40.000,Carpenter,CARP"),
                                    QStringLiteral("1207,00,12.500,Excavator operator,EXC"),
                                    QStringLiteral("1207,00,14.250,Laborer,Laborer")};

class ExportRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(FDir.isValid());
        // The worked example of the sample project space.
        WriteSampleSpace(FDir.filePath(QStringLiteral("space")).toStdString(), std::nullopt);
        Project = FDir.filePath(QStringLiteral("space/Projects/WORKEX"));
        ASSERT_TRUE(QDir().mkpath(FDir.filePath(QStringLiteral("exe"))));
        ASSERT_TRUE(QDir().mkpath(FDir.filePath(QStringLiteral("temp"))));

        App.ExePath = FDir.filePath(QStringLiteral("exe"));
        App.MyTemp = FDir.filePath(QStringLiteral("temp"));
        App.Inbox = FDir.filePath(QStringLiteral("exe/HVNInbox"));
        App.JobFile = QStringLiteral("Job");
        App.SubJobsFile = QStringLiteral("SubJobs");
        App.TasksFile = QStringLiteral("Tasks");
        App.JobNumber = QStringLiteral("1207");
        App.CollapseTasks = 2;
        App.ShowHeader = true;
        App.AsPhases = true;
        App.ExportList = QStringList{QStringLiteral("12"), QStringLiteral("15")};
        Ostrane.ProjectTitle = QStringLiteral("Main Street Offices");
        Ostrane.ProjectPath = Project;
        Ostrane.ProjectOpen = true;
    }

    QString Inbox(const QString& name) const { return App.Inbox + QLatin1Char('/') + name; }
    QString WorkTable() const { return App.MyTemp + QStringLiteral("/tmpHVN.db"); }

    // The log's three head lines as a run started today writes them.
    QStringList Head() const {
        return {QStringLiteral("Horvane Export - ") +
                    QLocale::system().toString(QDate::currentDate(),
                                               QStringLiteral("dddd, MMMM d, yyyy")),
                Ostrane.ProjectTitle, QString()};
    }
    QStringList Section(const QString& base, const QStringList& lines, int items) const {
        QStringList section{base};
        section << lines << QString()
                << (items ? QString::number(items) + QStringLiteral(" Items found")
                          : QStringLiteral("Warning - No Items found"))
                << QStringLiteral("** Exported to: ") + Inbox(base + QStringLiteral(".csv"))
                << QString();
        return section;
    }

    // Writes TExportFixture's tables, with `products` when given, into a
    // project folder of their own and points the run at it.
    void UseFixtureProject(
        const std::optional<std::vector<TExportFixture::TProduct>>& products = std::nullopt) {
        Ostrane.ProjectPath = FDir.filePath(QStringLiteral("grouping"));
        ASSERT_TRUE(QDir().mkpath(Ostrane.ProjectPath));
        TExportFixture fixture;
        if (products) {
            fixture.Products = *products;
        }
        fixture.Write(Ostrane.ProjectPath);
    }

    // The work table as a plain copy of the filtered rows of the move query
    // `sql` followed by a record-by-record fill of the empty export texts
    // leaves it in MyTemp, and the fill's error text ("" when there is none).
    std::pair<QByteArray, QString> FilledRecordByRecord(const QString& sql) {
        TQuery move;
        move.SetDatabaseName(Ostrane.ProjectPath);
        move.SetSQL(sql);
        move.SetFiltered(true);
        move.SetFilter(PhaseFilterText(App.ExportList));
        TTable table;
        table.SetDatabaseName(App.MyTemp);
        table.SetTableName(QStringLiteral("tmpHVN"));
        TBatchMove copy;
        copy.SetSource(&move);
        copy.SetDestination(&table);
        copy.Execute();
        QString error;
        table.Open();
        try {
            for (table.First(); !table.Eof(); table.Next()) {
                TField& name = table.FieldByName(QStringLiteral("ExportName"));
                if (name.AsString().isEmpty()) {
                    table.Edit();
                    name.SetAsString(table.FieldByName(QStringLiteral("Task")).AsString());
                    table.Post();
                }
            }
        } catch (const std::exception& e) {
            error = QString::fromStdString(e.what());
        }
        table.Close();
        return {ReadBytes(WorkTable()), error};
    }

    bool RunExport(TExportView* view = nullptr, bool dryRun = false) {
        TExportRun run(App, Ostrane, Prompt, view);
        run.SetDryRun(dryRun);
        const bool ended = run.Run();
        ExportOk = run.ExportOk;
        Log = run.Log();
        WorkTableLeft = QFileInfo::exists(WorkTable());
        return ended;
    }

    QTemporaryDir FDir;
    // The diagnostic log goes to the program folder of the test.
    TScopedEnv FHome{"VARNEL_HOME", FDir.filePath(QStringLiteral("exe"))};
    QString Project;
    TAppRec App;
    TOstraneRec Ostrane;
    TScriptedPrompt Prompt;
    bool ExportOk = false;
    bool WorkTableLeft = false;
    QStringList Log;
};

struct TLayout {
    bool AsPhases;
    bool ShowHeader;
};

class WorkedExample : public ExportRunTest, public ::testing::WithParamInterface<TLayout> {};

TEST_P(WorkedExample, FilesAndLogByteForByte) {
    App.AsPhases = GetParam().AsPhases;
    App.ShowHeader = GetParam().ShowHeader;
    const auto file = [&](QStringList lines) {
        if (!App.ShowHeader) {
            lines.removeFirst();
        }
        return lines;
    };
    TRecordingView view;
    ASSERT_TRUE(RunExport(&view));
    EXPECT_TRUE(ExportOk);
    EXPECT_TRUE(Ostrane.ProjectOpen);
    EXPECT_TRUE(WorkTableLeft);

    QStringList log = Head();
    log << Section(QStringLiteral("Job"), file(JobLines), 1);
    std::map<QString, QByteArray> expected{{QStringLiteral("Job.csv"), Crlf(file(JobLines))}};
    if (App.AsPhases) {
        log << Section(QStringLiteral("SubJobs"), file(SubJobLines), 2)
            << Section(QStringLiteral("Tasks"), file(PhaseTaskLines), 4);
        expected[QStringLiteral("SubJobs.csv")] = Crlf(file(SubJobLines));
        expected[QStringLiteral("Tasks.csv")] = Crlf(file(PhaseTaskLines));
    } else {
        log << Section(QStringLiteral("Tasks"), file(CombinedTaskLines), 3);
        expected[QStringLiteral("Tasks.csv")] = Crlf(file(CombinedTaskLines));
    }
    EXPECT_EQ(Log, log);
    EXPECT_EQ(Snapshot(App.Inbox), expected);
    EXPECT_TRUE(QFileInfo(Inbox(QStringLiteral("backups"))).isDir());
    EXPECT_EQ(Prompt.Shown(), QStringList());
    EXPECT_EQ(view.Events, (QStringList{QStringLiteral("disabled"), QStringLiteral("clear"),
                                        QStringLiteral("caption Exporting - Main Street Offices"),
                                        QStringLiteral("enabled")}));
    // The builders that read many rows drive the progress bar from 1 to their count.
    const QStringList progress =
        App.AsPhases ? QStringList{"max 2", "1", "1", "2", "max 4", "1", "1", "2", "3", "4"}
                     : QStringList{"max 3", "1", "1", "2", "3"};
    EXPECT_EQ(view.Progress, progress);
}

INSTANTIATE_TEST_SUITE_P(Layouts, WorkedExample,
                         ::testing::Values(TLayout{true, true}, TLayout{true, false},
                                           TLayout{false, true}, TLayout{false, false}));

TEST_F(ExportRunTest, TaskGroupings) {
    struct TCase {
        int CollapseTasks;
        QStringList Tasks;
        QString Note;
    };
    const TCase cases[] = {
        {0, {"1207,00,66.750,Labour,LAB"}, {}},
        // Carpentry has no export text; Site work sums the operator and the laborer.
        {1, {"1207,00,40.000,Carpentry,Carpentry", "1207,00,26.750,Site work,SITE"}, {}},
        {7,
         {"1207,00,40.000,Carpentry,Carpentry", "1207,00,26.750,Site work,SITE"},
         QStringLiteral("Task grouping 7 is unknown: tasks are grouped by category")},
        {-1,
         {"1207,00,40.000,Carpentry,Carpentry", "1207,00,26.750,Site work,SITE"},
         QStringLiteral("Task grouping -1 is unknown: tasks are grouped by category")},
    };
    // Tables of our own, in which two labour tasks share a category.
    Ostrane.ProjectPath = FDir.filePath(QStringLiteral("grouping"));
    ASSERT_TRUE(QDir().mkpath(Ostrane.ProjectPath));
    TExportFixture().Write(Ostrane.ProjectPath);
    App.AsPhases = false;
    App.ShowHeader = false;
    for (const TCase& c : cases) {
        App.CollapseTasks = c.CollapseTasks;
        ASSERT_TRUE(RunExport());
        EXPECT_TRUE(ExportOk);
        EXPECT_EQ(ReadBytes(Inbox(QStringLiteral("Tasks.csv"))), Crlf(c.Tasks)) << c.CollapseTasks;
        EXPECT_EQ(ReadBytes(Inbox(QStringLiteral("Job.csv"))),
                  Crlf({QStringLiteral("1207,4750.400,66.750,48.48")}));
        QStringList head = Head();
        if (!c.Note.isEmpty()) {
            head << c.Note;
        }
        EXPECT_EQ(Log.mid(0, head.size()), head);
        EXPECT_EQ(Log.value(head.size()), QStringLiteral("Job"));
    }
    EXPECT_TRUE(ReadBytes(App.ExePath + QStringLiteral("/DEBUG.LOG"))
                    .contains("Task grouping -1 is unknown: tasks are grouped by category"));
}

TEST_F(ExportRunTest, WorkTableIsTheCopyWithEmptyExportTextsFilledIn) {
    // Export texts are empty for the carpentry category and the laborer.
    UseFixtureProject();
    const std::pair<int, QString> levels[] = {
        {0, ExportQueries::MoveLib}, {1, ExportQueries::MoveCat}, {2, ExportQueries::MoveTask}};
    for (const auto& [level, sql] : levels) {
        const auto [expected, error] = FilledRecordByRecord(sql);
        ASSERT_EQ(error, QString());
        App.CollapseTasks = level;
        TExportRun run(App, Ostrane, Prompt);
        ASSERT_TRUE(run.Run());
        EXPECT_TRUE(run.ExportOk);
        EXPECT_EQ(ReadBytes(WorkTable()), expected) << level;
    }
}

TEST_F(ExportRunTest, TaskNameWiderThanTheExportTextFailsTheWorkTable) {
    // The operator's name is filled in; the laborer's does not fit and stops
    // the fill there. The run reports that alone and writes no file.
    UseFixtureProject({{{101, "Excavator operator", "", "L0", 1},
                        {102, "Laborer, general site work", "", "L0", 1},
                        {103, "Carpenter", "CARP", "L1", 2},
                        {201, "Ready-mix", "RMX", "M", 3}}});
    const auto [expected, error] = FilledRecordByRecord(ExportQueries::MoveTask);
    ASSERT_TRUE(error.contains(QStringLiteral("Laborer, general site work")))
        << error.toStdString();
    Prompt.ExpectMessage(error, TMsgType::Information, TMsgButtons::Ok);

    TExportRun run(App, Ostrane, Prompt);
    ASSERT_TRUE(run.Run());
    EXPECT_FALSE(run.ExportOk);
    EXPECT_TRUE(Ostrane.ProjectOpen);
    EXPECT_EQ(run.Log(), Head());
    EXPECT_EQ(ReadBytes(WorkTable()), expected);
    EXPECT_TRUE(Snapshot(App.Inbox).empty());
}

TEST_F(ExportRunTest, PrintsTheLogUnderTheProjectTitle) {
    TExportRun run(App, Ostrane, Prompt);
    ASSERT_TRUE(run.Run());
    Prompt.ExpectPrint(QStringLiteral("Export Log Main Street Offices"));
    run.PrintLog();
    ASSERT_EQ(Prompt.PrintedJobs().size(), 1u);
    EXPECT_EQ(Prompt.PrintedJobs()[0].Text, run.Log().join(QLatin1Char('\n')));
    Prompt.ExpectPrint(QStringLiteral("Export Log Main Street Offices"),
                       QStringLiteral("No default printer"));
    Prompt.ExpectStandardError(QStringLiteral("No default printer"));
    const QStringList log = run.Log();
    run.PrintLog();
    EXPECT_EQ(run.Log(), log);
}

TEST_F(ExportRunTest, BackupsHoldThePreviousRun) {
    const auto runAs = [&](const char* jobNumber) {
        App.JobNumber = QString::fromLatin1(jobNumber);
        ASSERT_TRUE(RunExport());
        ASSERT_TRUE(ExportOk);
    };
    runAs("1");
    const std::map<QString, QByteArray> first = Snapshot(App.Inbox);
    runAs("2");
    const std::map<QString, QByteArray> second = Snapshot(App.Inbox);
    std::map<QString, QByteArray> expected;
    for (const auto& [name, bytes] : first) {
        expected[QStringLiteral("backups/") + name] = bytes;
    }
    for (const auto& [name, bytes] : second) {
        if (!name.startsWith(QStringLiteral("backups/"))) {
            expected[name] = bytes;
        }
    }
    EXPECT_EQ(expected.size(), 6u);
    EXPECT_EQ(second, expected);
    EXPECT_NE(first.at(QStringLiteral("Job.csv")), second.at(QStringLiteral("Job.csv")));

    runAs("3");
    const std::map<QString, QByteArray> third = Snapshot(App.Inbox);
    for (const auto& [name, bytes] : second) {
        if (!name.startsWith(QStringLiteral("backups/"))) {
            EXPECT_EQ(third.at(QStringLiteral("backups/") + name), bytes) << name.toStdString();
        }
    }
    EXPECT_EQ(third.size(), 6u);

    // Sub-jobs off: the sub-jobs file of the run before goes to the backups
    // and no new one is written.
    App.AsPhases = false;
    runAs("4");
    const std::map<QString, QByteArray> fourth = Snapshot(App.Inbox);
    EXPECT_EQ(fourth.count(QStringLiteral("SubJobs.csv")), 0u);
    EXPECT_EQ(fourth.at(QStringLiteral("backups/SubJobs.csv")),
              third.at(QStringLiteral("SubJobs.csv")));
    EXPECT_EQ(fourth.size(), 5u);
    // One more run leaves no sub-jobs file anywhere.
    runAs("5");
    EXPECT_EQ(Snapshot(App.Inbox).size(), 4u);
    EXPECT_FALSE(QFileInfo::exists(Inbox(QStringLiteral("backups/SubJobs.csv"))));
}

TEST_F(ExportRunTest, UnreadableProjectTable) {
    WriteBytes(Project + QStringLiteral("/ostr_cst.db"), QByteArray(3000, 'x'));
    ASSERT_TRUE(QDir().mkpath(App.Inbox));
    WriteBytes(Inbox(QStringLiteral("Job.csv")), "old job\r\n");
    const QString moveError = EngineError(Project, ExportQueries::MoveTask);
    const QString materialError = EngineError(Project, ExportQueries::MaterialPhase);
    const QString workError = EngineError(App.MyTemp, ExportQueries::Phases);
    Prompt.ExpectMessage(moveError, TMsgType::Information, TMsgButtons::Ok);
    Prompt.ExpectMessage(QStringLiteral("Table open error @ \r\n\r\n") + materialError,
                         TMsgType::Warning, TMsgButtons::Ok);
    Prompt.ExpectMessage(QStringLiteral("Table open error @ \r\n\r\n") + workError,
                         TMsgType::Warning, TMsgButtons::Ok);
    Prompt.ExpectMessage(QStringLiteral("Table open error @ \r\n\r\n") +
                             EngineError(App.MyTemp, ExportQueries::LaborPhase),
                         TMsgType::Warning, TMsgButtons::Ok);
    const auto projectBefore = Snapshot(Project);

    TRecordingView view;
    ASSERT_TRUE(RunExport(&view));
    EXPECT_FALSE(ExportOk);
    EXPECT_FALSE(Ostrane.ProjectOpen);
    EXPECT_EQ(Log, Head());
    // The previous job file still went to the backups; nothing was written.
    EXPECT_EQ(Snapshot(App.Inbox),
              (std::map<QString, QByteArray>{{QStringLiteral("backups/Job.csv"), "old job\r\n"}}));
    EXPECT_EQ(Snapshot(Project), projectBefore);
    EXPECT_FALSE(WorkTableLeft);
    EXPECT_EQ(view.Events.last(), QStringLiteral("enabled"));
}

TEST_F(ExportRunTest, MissingWorkTable) {
    // Without product.db no move query runs, so no work table comes to be;
    // the material query still does, and the job's labour query then finds
    // no work table.
    ASSERT_TRUE(QFile::remove(Project + QStringLiteral("/product.db")));
    App.AsPhases = false;
    Prompt.ExpectMessage(EngineError(Project, ExportQueries::MoveTask), TMsgType::Information,
                         TMsgButtons::Ok);
    const QString workError = EngineError(App.MyTemp, ExportQueries::Labor);
    Prompt.ExpectMessage(QStringLiteral("Table open error @ \r\n\r\n") + workError,
                         TMsgType::Warning, TMsgButtons::Ok);
    Prompt.ExpectMessage(QStringLiteral("Table open error @ \r\n\r\n") + workError,
                         TMsgType::Warning, TMsgButtons::Ok);

    ASSERT_TRUE(RunExport());
    EXPECT_FALSE(ExportOk);
    EXPECT_FALSE(Ostrane.ProjectOpen);
    EXPECT_EQ(Log, Head());
    EXPECT_TRUE(Snapshot(App.Inbox).empty());
    EXPECT_FALSE(WorkTableLeft);
}

TEST_F(ExportRunTest, InboxThatCannotBeCreatedFallsBackToTheProgramFolder) {
    WriteBytes(FDir.filePath(QStringLiteral("plainfile")), "x");
    const QString wanted = FDir.filePath(QStringLiteral("plainfile/inbox"));
    App.Inbox = wanted;
    App.AsPhases = false;

    ASSERT_TRUE(RunExport());
    EXPECT_TRUE(ExportOk);
    EXPECT_EQ(App.Inbox, App.ExePath + QStringLiteral("/Inbox"));
    EXPECT_EQ(Log, Head() + Section(QStringLiteral("Job"), JobLines, 1) +
                       Section(QStringLiteral("Tasks"), CombinedTaskLines, 3));
    EXPECT_EQ(Snapshot(App.Inbox), (std::map<QString, QByteArray>{
                                       {QStringLiteral("Job.csv"), Crlf(JobLines)},
                                       {QStringLiteral("Tasks.csv"), Crlf(CombinedTaskLines)}}));
    EXPECT_EQ(ReadBytes(FDir.filePath(QStringLiteral("plainfile"))), QByteArray("x"));
}

TEST_F(ExportRunTest, ReadOnlyInboxEndsTheRun) {
    // A folder in which nobody, root included, can create a file: /proc. As a
    // plain user a folder without write permission would do as well.
    App.Inbox = QStringLiteral("/proc");
    QString saveError;
    try {
        SaveImportFile(QStringLiteral("/proc/Job.csv"), {});
    } catch (const std::runtime_error& error) {
        saveError = QString::fromStdString(error.what());
    }
    ASSERT_TRUE(saveError.startsWith(QStringLiteral("Cannot create file \"/proc/Job.csv\". ")));
    Prompt.ExpectStandardError(saveError);
    const auto exeBefore = Snapshot(App.ExePath);

    TRecordingView view;
    EXPECT_FALSE(RunExport(&view));
    EXPECT_FALSE(ExportOk);
    EXPECT_TRUE(Ostrane.ProjectOpen);
    EXPECT_EQ(Log, Head());
    EXPECT_EQ(App.Inbox, QStringLiteral("/proc"));
    EXPECT_EQ(Snapshot(App.ExePath), exeBefore);
    EXPECT_EQ(view.Events.count(QStringLiteral("enabled")), 0);
}

TEST_F(ExportRunTest, OldWorkTableThatCannotBeDeletedEndsTheRun) {
    // A folder that is not empty stands where the old work table lies.
    ASSERT_TRUE(QDir().mkpath(WorkTable()));
    WriteBytes(WorkTable() + QStringLiteral("/keep"), "x");
    ASSERT_TRUE(QDir().mkpath(App.Inbox));
    WriteBytes(Inbox(QStringLiteral("Job.csv")), "old job\r\n");
    QString deleteError;
    try {
        TTable table;
        table.SetDatabaseName(App.MyTemp);
        table.SetTableName(QStringLiteral("tmpHVN.db"));
        table.DeleteTable();
    } catch (const std::exception& error) {
        deleteError = QString::fromStdString(error.what());
    }
    ASSERT_FALSE(deleteError.isEmpty());
    Prompt.ExpectStandardError(deleteError);

    EXPECT_FALSE(RunExport());
    EXPECT_FALSE(ExportOk);
    EXPECT_EQ(Log, Head());
    // The run ended before the backups: the old file is where it was.
    EXPECT_EQ(Snapshot(App.Inbox),
              (std::map<QString, QByteArray>{{QStringLiteral("Job.csv"), "old job\r\n"}}));
}

TEST_F(ExportRunTest, DryRunLogsEverythingAndChangesNothing) {
    ASSERT_TRUE(RunExport());
    const auto inboxBefore = Snapshot(App.Inbox);
    const auto tempBefore = Snapshot(App.MyTemp);
    const QStringList realLog = Log;

    App.JobNumber = QStringLiteral("1207");
    ASSERT_TRUE(RunExport(nullptr, true));
    EXPECT_TRUE(ExportOk);
    EXPECT_EQ(Log, realLog);
    EXPECT_EQ(Snapshot(App.Inbox), inboxBefore);
    EXPECT_FALSE(WorkTableLeft);
    EXPECT_TRUE(Snapshot(App.MyTemp).empty()) << tempBefore.size();

    // A dry run creates no inbox either.
    App.Inbox = FDir.filePath(QStringLiteral("none/inbox"));
    ASSERT_TRUE(RunExport(nullptr, true));
    EXPECT_TRUE(ExportOk);
    EXPECT_FALSE(QFileInfo::exists(FDir.filePath(QStringLiteral("none"))));
}

} // namespace
