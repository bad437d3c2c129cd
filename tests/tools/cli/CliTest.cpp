#include "db/Table.h"
#include "support/TestFiles.h"
#include "varnel-sample/SampleSpace.h"

#include <QDirIterator>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>

namespace {

struct TCliResult {
    int Exit = -1;
    QString Out;
    QString Err;
};

// Every file below `folder` with its bytes, DEBUG.LOG left out.
std::map<QString, QByteArray> Snapshot(const QString& folder) {
    std::map<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (!path.endsWith("/DEBUG.LOG"))
            files[path] = ReadTestFile(path);
    }
    return files;
}

QByteArray Crlf(const QStringList& lines) {
    QByteArray bytes;
    for (const QString& line : lines)
        bytes += line.toLatin1() + "\r\n";
    return bytes;
}

const QStringList JobLines = {"JOB_NUMBER,MATERIAL_VALUE,TIME_QTY,TIME_RATE",
                              "1207,4750.400,66.750,48.48"};
const QStringList SubJobLines = {"JOB_NUMBER,SUBJOB,TIME_QTY", "1207,A100: Foundation,20.500",
                                 "1207,B200: Framing,46.250"};
const QStringList PhaseTaskLines = {"JOB_NUMBER,SUBJOB, TIME_QTY,TASK, TASK_ID",
                                    "1207,A100: Foundation,12.500,Excavator operator,EXC",
                                    "1207,A100: Foundation,8.000,Laborer,Laborer",
                                    "1207,B200: Framing,40.000,Carpenter,CARP",
                                    "1207,B200: Framing,6.250,Laborer,Laborer"};
const QStringList CombinedTaskLines = {
    "JOB_NUMBER,SUBJOB, TIME_QTY,TASK, TASK_ID", "1207,00,40.000,Carpenter,CARP",
    "1207,00,12.500,Excavator operator,EXC", "1207,00,14.250,Laborer,Laborer"};

// A sample project space and a program folder whose registry points at it.
class CliTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Temp.isValid());
        Space = Temp.filePath("space");
        Home = Temp.filePath("home");
        ASSERT_TRUE(QDir().mkpath(Home));
        WriteSampleSpace(Space.toStdString(), std::nullopt);
        Inbox = Home + "/HVNInbox";
    }

    TCliResult Run(const QStringList& args) const {
        QProcess cli;
        auto env = QProcessEnvironment::systemEnvironment();
        env.insert("VARNEL_HOME", Home);
        env.insert("VARNEL_REGISTRY", Space + "/Registry.reg");
        env.insert("TMPDIR", Temp.filePath("tmp"));
        env.remove("Temp");
        env.remove("TEMP");
        QDir().mkpath(Temp.filePath("tmp"));
        cli.setProcessEnvironment(env);
        cli.start(VARNEL_CLI, args);
        TCliResult result;
        if (!cli.waitForFinished(60000)) {
            cli.kill();
            cli.waitForFinished();
            ADD_FAILURE() << "varnel-cli did not finish: " << args.join(' ').toStdString();
            return result;
        }
        result.Exit = cli.exitStatus() == QProcess::NormalExit ? cli.exitCode() : -1;
        result.Out = QString::fromUtf8(cli.readAllStandardOutput());
        result.Err = QString::fromUtf8(cli.readAllStandardError());
        return result;
    }

    void WriteIni(const QString& text) const { WriteTestFile(Home + "/Varnel.INI", text.toUtf8()); }
    QString Ini() const { return QString::fromUtf8(ReadTestFile(Home + "/Varnel.INI")); }

    QTemporaryDir Temp;
    QString Space;
    QString Home;
    QString Inbox;
};

} // namespace

TEST_F(CliTest, ListsProjectsAndPhases) {
    const TCliResult projects = Run({"projects"});
    EXPECT_EQ(projects.Exit, 0) << projects.Err.toStdString();
    EXPECT_EQ(projects.Out, "Worked Example\tWORKEX\t2026-03-02 09:15:00\n"
                            "Riverside Clinic Fit-out\tRIVERSIDE\t2026-02-17 16:40:00\n");

    WriteIni("[WORKEX]\nMRU_PHASE=15\n");
    const TCliResult phases = Run({"phases", "worked EXAMPLE"});
    EXPECT_EQ(phases.Exit, 0) << phases.Err.toStdString();
    EXPECT_EQ(phases.Out, "12\tA100 - Foundation (3) lines\t-\n"
                          "15\tB200 - Framing (2) lines\texported\n");
    EXPECT_EQ(phases.Err, "");
}

TEST_F(CliTest, WorkedExampleByteForByte) {
    const struct {
        bool SubJobs;
        bool Header;
    } cases[] = {{true, true}, {true, false}, {false, true}, {false, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(QString("subjobs %1 header %2").arg(c.SubJobs).arg(c.Header).toStdString());
        ASSERT_TRUE(QDir(Home).removeRecursively() && QDir().mkpath(Home));
        const TCliResult r =
            Run({"export", "Worked Example", "--all", "--job", "1207", "--tasks", "task",
                 c.SubJobs ? "--subjobs" : "--no-subjobs", c.Header ? "--header" : "--no-header"});
        ASSERT_EQ(r.Exit, 0) << r.Err.toStdString();
        const auto body = [&](const QStringList& lines) {
            return Crlf(c.Header ? lines : lines.mid(1));
        };
        EXPECT_EQ(ReadTestFile(Inbox + "/Job.csv"), body(JobLines));
        EXPECT_EQ(ReadTestFile(Inbox + "/Tasks.csv"),
                  body(c.SubJobs ? PhaseTaskLines : CombinedTaskLines));
        EXPECT_EQ(QFile::exists(Inbox + "/SubJobs.csv"), c.SubJobs);
        if (c.SubJobs) {
            EXPECT_EQ(ReadTestFile(Inbox + "/SubJobs.csv"), body(SubJobLines));
        }
        EXPECT_EQ(r.Err, "Project exported to " + Inbox + "/1207\n");

        // The log: head lines, then one section per file.
        QStringList log = r.Out.split('\n');
        ASSERT_GT(log.size(), 3);
        EXPECT_TRUE(log[0].startsWith("Horvane Export - ")) << log[0].toStdString();
        QStringList expected = {"Worked Example", ""};
        const auto section = [&](const QString& base, const QStringList& lines) {
            expected << base << (c.Header ? lines : lines.mid(1)) << ""
                     << QString("%1 Items found").arg(lines.size() - 1)
                     << "** Exported to: " + Inbox + "/" + base + ".csv"
                     << "";
        };
        section("Job", JobLines);
        if (c.SubJobs)
            section("SubJobs", SubJobLines);
        section("Tasks", c.SubJobs ? PhaseTaskLines : CombinedTaskLines);
        expected << ""; // after the last line break
        EXPECT_EQ(log.mid(1), expected);

        // The options were for this run only; the job number and phases are kept.
        const QString ini = Ini();
        EXPECT_TRUE(ini.contains("AsPhases=0")) << ini.toStdString();
        EXPECT_TRUE(ini.contains("CollapseTasks=1"));
        EXPECT_TRUE(ini.contains("showHeader=0"));
        EXPECT_TRUE(ini.contains("[WORKEX]\nJOBNUMBER=1207\nMRU_PHASE=12,15"));
    }
}

TEST_F(CliTest, DryRunBuildsTheLogAndWritesNothing) {
    WriteIni("[OPTIONS]\nINCMILELOG=1\nMILEINDEX=2\n");
    const auto homeBefore = Snapshot(Home);
    const auto spaceBefore = Snapshot(Space);
    const TCliResult dry =
        Run({"export", "Worked Example", "--phase", "b200", "--phase", "A100", "--job", "1207",
             "--header", "--tasks", "task", "--subjobs", "--write-back", "--dry-run"});
    EXPECT_EQ(dry.Exit, 0) << dry.Err.toStdString();
    EXPECT_EQ(Snapshot(Home), homeBefore);
    EXPECT_EQ(Snapshot(Space), spaceBefore);
    EXPECT_FALSE(QFile::exists(Inbox));
    // The question is shown and answered No: a dry run writes nothing back.
    EXPECT_EQ(dry.Err, "Write logging to Ostrane Milestone Reviewed/Reference for Phases(2)?\n"
                       "Project exported to " +
                           Inbox + "/1207\n");

    const TCliResult real = Run({"export", "Worked Example", "--all", "--job", "1207", "--header",
                                 "--tasks", "task", "--subjobs"});
    EXPECT_EQ(real.Exit, 0) << real.Err.toStdString();
    EXPECT_EQ(dry.Out, real.Out);
}

TEST_F(CliTest, WriteBackMarksTheExportedPhase) {
    WriteIni("[OPTIONS]\nINCMILELOG=1\nMILEINDEX=2\nINCREFLOG=1\n");
    const TCliResult r = Run({"export", "Worked Example", "--phase", "A100", "--write-back"});
    EXPECT_EQ(r.Exit, 0) << r.Err.toStdString();
    EXPECT_EQ(r.Err, "Write logging to Ostrane Milestone Reviewed/Reference for Phases(1)?\n"
                     "Logging item 1\\3\nLogging item 2\\3\nLogging item 3\\3\n"
                     "HV logging to M3\nHV logging to Reference\n"
                     "Project exported to " +
                         Inbox + "/9999\n");
    TTable items;
    items.SetDatabaseName(Space + "/Projects/WORKEX");
    items.SetTableName("ostr_prd.db");
    items.Open();
    for (items.First(); !items.Eof(); items.Next()) {
        const bool exported = items.FieldByName("Link_Phs").AsInteger() == 12;
        EXPECT_EQ(items.FieldByName("M3").AsInteger(), exported ? 1 : 0);
        EXPECT_EQ(items.FieldByName("REFERENCE").AsString().startsWith("Horvane: "), exported);
    }
}

TEST_F(CliTest, ExitStatusAndMessages) {
    const struct {
        QStringList Args;
        int Exit;
        QString ErrStart;
    } cases[] = {
        {{"export", "No Such Project", "--all"},
         2,
         "varnel-cli: unknown project: No Such Project\n"},
        {{"export", "Worked Example", "--phase", "Z999"}, 2, "varnel-cli: unknown phase: Z999\n"},
        {{"export", "Worked Example", "--tasks", "phase"}, 2, "varnel-cli: --tasks takes"},
        {{"export", "Worked Example", "--bogus"}, 2, "varnel-cli: Unknown option 'bogus'."},
        {{"phases"}, 2, "varnel-cli: phases takes one project title"},
        {{"projects", "--all"}, 2, "varnel-cli: --all is an option of export only"},
        {{"launch"}, 2, "varnel-cli: unknown command: launch"},
        {{"export", "Worked Example"},
         1,
         "No items selected\r\n - grey checkmarks are complete\r\n - white boxes are "
         "unselected\n"},
    };
    for (const auto& c : cases) {
        const TCliResult r = Run(c.Args);
        EXPECT_EQ(r.Exit, c.Exit) << c.Args.join(' ').toStdString();
        EXPECT_TRUE(r.Err.startsWith(c.ErrStart))
            << c.Args.join(' ').toStdString() << ": " << r.Err.toStdString();
        EXPECT_EQ(r.Out, "");
    }
    EXPECT_FALSE(QFile::exists(Inbox));

    const TCliResult help = Run({"--help"});
    EXPECT_EQ(help.Exit, 0);
    EXPECT_TRUE(help.Out.startsWith("Usage:\n  varnel-cli projects\n"));
    const TCliResult version = Run({"--version"});
    EXPECT_EQ(version.Exit, 0);
    EXPECT_EQ(version.Out, "varnel-cli 1.0.0\n");
}

TEST_F(CliTest, AFailedExportExitsWithOne) {
    // Without the cost lines the work table cannot be built.
    for (const QString& name : QDir(Space + "/Projects/WORKEX").entryList({"ostr_cst.*"}))
        ASSERT_TRUE(QFile::remove(Space + "/Projects/WORKEX/" + name));
    const TCliResult r = Run({"export", "Worked Example", "--all"});
    EXPECT_EQ(r.Exit, 1);
    EXPECT_TRUE(r.Err.endsWith("Project export Aborted\n")) << r.Err.toStdString();
    EXPECT_FALSE(QFile::exists(Inbox + "/Job.csv"));
    // The failed step closed the project, so no project section is saved.
    EXPECT_FALSE(Ini().contains("[WORKEX]")) << Ini().toStdString();
}
