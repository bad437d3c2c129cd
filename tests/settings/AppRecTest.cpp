#include "settings/AppRec.h"

#include "platform/IniFile.h"
#include "platform/IniValues.h"
#include "platform/ProgramPaths.h"

#include "SettingsFixture.h"

#include <QFile>
#include <QFileInfo>

#include <stdexcept>

namespace {

class AppRecTest : public TSettingsFixture {
protected:
    TAppRec FApp;
    TOstraneRec FOstrane;
    QString FIni = FHome + QStringLiteral("/Varnel.INI");
    QString FLog = FHome + QStringLiteral("/DEBUG.LOG");

    void Init() { InitAppRec(FApp, FOstrane, FReg); }
    QString Ini() const { return QString::fromUtf8(ReadTestFile(FIni)); }
};

TEST_F(AppRecTest, DefaultsWithoutIni) {
    FApp.MRUPhases = QStringList{"1"};
    FApp.ExportList = QStringList{"2"};
    FOstrane.ProjectOpen = true;
    Init();
    const QString base = ExeBaseName();
    EXPECT_EQ(FApp.ExePath, FHome);
    EXPECT_EQ(FApp.TempPath, FTemp);
    EXPECT_EQ(FApp.MyTemp, FTemp + u'/' + base);
    EXPECT_TRUE(QFileInfo(FApp.MyTemp).isDir());
    EXPECT_EQ(FApp.PrivPath, FHome + QStringLiteral("/Priv"));
    EXPECT_EQ(FApp.MyPriv, FHome + QStringLiteral("/Priv/") + base);
    EXPECT_FALSE(QFileInfo::exists(FApp.PrivPath));
    EXPECT_EQ(FApp.Inbox, FHome + QStringLiteral("/HVNInbox"));
    EXPECT_EQ((QStringList{FApp.JobFile, FApp.SubJobsFile, FApp.TasksFile, FApp.JobNumber}),
              (QStringList{"Job", "SubJobs", "Tasks", "9999"}));
    EXPECT_TRUE(FApp.MRUPhases.isEmpty());
    EXPECT_TRUE(FApp.ExportList.isEmpty());
    EXPECT_EQ(FApp.CollapseTasks, 1);
    EXPECT_EQ(FApp.MileIndex, 0);
    EXPECT_FALSE(FApp.AsPhases || FApp.ShowHeader || FApp.IncMileLog || FApp.IncRefLog);
    EXPECT_FALSE(FOstrane.ProjectOpen);
    EXPECT_EQ(FOstrane.DataPath, FHome);
    EXPECT_EQ(FOstrane.Labels.Labor2, "InDirect");
    EXPECT_FALSE(QFileInfo::exists(FIni)) << "loading creates no settings file";
}

TEST_F(AppRecTest, LoadSettingsReadsTheGlobalSections) {
    WriteTestFile(FIni, "[HVN]\nInbox=\nJobFile=\nSubJobsFile=S\nTasksFile=T\n"
                        "[csv]\nAsPhases=yes\nCollapseTasks=$2\nSHOWHEADER=2\n"
                        "[OPTIONS]\nINCREFLOG=1\n"
                        "[P100]\nJOBNUMBER=4711\nMRU_PHASE=1,2\n");
    Init();
    EXPECT_EQ(FApp.Inbox, FHome + QStringLiteral("/HVNInbox"));
    EXPECT_EQ(FApp.JobFile, "");
    EXPECT_EQ(FApp.SubJobsFile, "S");
    EXPECT_EQ(FApp.TasksFile, "T");
    EXPECT_FALSE(FApp.AsPhases);
    EXPECT_EQ(FApp.CollapseTasks, 2);
    EXPECT_TRUE(FApp.ShowHeader);
    EXPECT_TRUE(FApp.IncRefLog);
    // The project's keys belong to opening the project.
    EXPECT_EQ(FApp.JobNumber, "9999");
    EXPECT_TRUE(FApp.MRUPhases.isEmpty());

    WriteTestFile(FIni, "[CSV]\nAsPhases=2\n");
    FApp.JobNumber = QStringLiteral("12");
    FApp.MRUPhases = QStringList{"3"};
    LoadSettings(FApp, FOstrane, FReg);
    EXPECT_TRUE(FApp.AsPhases);
    EXPECT_EQ(FApp.SubJobsFile, "SubJobs");
    EXPECT_EQ(FApp.JobNumber, "12");
    EXPECT_EQ(FApp.MRUPhases, QStringList{"3"});
}

TEST_F(AppRecTest, MilestoneLoggingNeedsAMilestoneFrom0To7) {
    for (int index : {-9, -1, 0, 7, 8}) {
        WriteTestFile(
            FIni, QStringLiteral("[OPTIONS]\nINCMILELOG=1\nMILEINDEX=%1\n").arg(index).toUtf8());
        Init();
        EXPECT_EQ(FApp.MileIndex, index);
        EXPECT_EQ(FApp.IncMileLog, index >= 0 && index <= 7) << index;
    }
}

TEST_F(AppRecTest, LoadSettingsLogsTheIniAndRereadsTheRegistry) {
    WriteRegistry(QStringLiteral("[OST\\SYSTEM]\n\"LASTUSER\"=\"ann\"\n"));
    WriteTestFile(FIni, "[HVN]\nJobFile=J\n");
    Init();
    FOstrane.UserName = QStringLiteral("bob");
    LoadSettings(FApp, FOstrane, FReg);
    EXPECT_EQ(FOstrane.UserName, "ann");
    const QStringList log = QString::fromUtf8(ReadTestFile(FLog)).split(u'\n');
    ASSERT_EQ(log.size(), 9); // two runs of: name, two lines, one empty line; final break
    EXPECT_TRUE(log[0].endsWith(QStringLiteral("]  Varnel.INI")));
    EXPECT_TRUE(log[1].endsWith(QStringLiteral("]  [HVN]")));
    EXPECT_EQ(log.mid(2, 2), (QStringList{"JobFile=J", ""}));
}

TEST_F(AppRecTest, SaveSettingsWritesTheProjectSectionOnlyWhileAProjectIsOpen) {
    Init();
    FApp.Inbox = QStringLiteral("/srv/inbox");
    FApp.JobNumber = QStringLiteral("4711");
    FApp.MRUPhases = QStringList{"12", "15", "31"};
    FApp.MileIndex = 3;
    FApp.AsPhases = true;
    SaveSettings(FApp, FOstrane);
    const QString global =
        QStringLiteral("[HVN]\nInbox=/srv/inbox\nJobFile=Job\nSubJobsFile=SubJobs\n"
                       "TasksFile=Tasks\n\n[CSV]\nAsPhases=1\nCollapseTasks=1\n"
                       "showHeader=0\n\n[OPTIONS]\nINCMILELOG=0\nINCREFLOG=0\n"
                       "MILEINDEX=3\n");
    EXPECT_EQ(Ini(), global);

    FOstrane.ProjectOpen = true;
    FOstrane.ProjectShortName = QStringLiteral("P100");
    SaveSettings(FApp, FOstrane);
    EXPECT_EQ(Ini(), global + QStringLiteral("\n[P100]\nJOBNUMBER=4711\nMRU_PHASE=12,15,31\n"));

    FApp.MRUPhases.clear();
    SaveSettings(FApp, FOstrane);
    EXPECT_TRUE(Ini().endsWith(QStringLiteral("MRU_PHASE=\n")));
    EXPECT_EQ(DecodeCommaList(TIniFile(FIni).ReadString(QStringLiteral("p100"),
                                                        QStringLiteral("mru_phase"), {"x"})),
              QStringList());
}

TEST_F(AppRecTest, SaveSettingsKeepsForeignLines) {
    const QByteArray foreign = "; edited by hand\r\n[Other]\r\nx=1\r\n\r\n[hvn]\r\njobfile=Old\r\n";
    WriteTestFile(FIni, foreign);
    Init();
    FApp.JobFile = QStringLiteral("New");
    SaveSettings(FApp, FOstrane);
    const QByteArray saved = ReadTestFile(FIni);
    EXPECT_TRUE(
        saved.startsWith("; edited by hand\r\n[Other]\r\nx=1\r\n\r\n[hvn]\r\njobfile=New\r\n"
                         "Inbox="))
        << saved.toStdString();
}

TEST_F(AppRecTest, AFailedSaveRaisesAndChangesNothing) {
    WriteTestFile(FIni, "[HVN]\nJobFile=Old\n");
    QFile::setPermissions(FIni, QFile::ReadOwner);
    Init();
    FApp.JobFile = QStringLiteral("New");
    FApp.ExportList = QStringList{"7"};
    try {
        DoneAppRec(FApp, FOstrane);
        ADD_FAILURE() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(e.what(), "Unable to write to " + FIni.toStdString());
    }
    EXPECT_EQ(ReadTestFile(FIni), "[HVN]\nJobFile=Old\n");
}

TEST_F(AppRecTest, DoneAppRecSavesAndReleasesTheLists) {
    Init();
    FApp.ExportList = QStringList{"7"};
    FApp.MRUPhases = QStringList{"8"};
    FApp.TasksFile = QStringLiteral("T2");
    DoneAppRec(FApp, FOstrane);
    EXPECT_TRUE(FApp.ExportList.isEmpty());
    EXPECT_TRUE(FApp.MRUPhases.isEmpty());
    EXPECT_TRUE(Ini().contains(QStringLiteral("\nTasksFile=T2\n")));
}

TEST_F(AppRecTest, AnUnwritableLogIsTriedOnceMoreAfterInitAppRec) {
    WriteTestFile(FIni, "[HVN]\n");
    WriteTestFile(FLog, "kept\n");
    const auto readOnly = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
    const auto writable = readOnly | QFile::WriteOwner;

    // Protected throughout: InitAppRec clears the switch, the write of
    // Varnel.INI's entries fails and switches it off again for the rest of the run.
    QFile::setPermissions(FLog, readOnly);
    DebugLog(QStringLiteral(">>---Varnel Loading"));
    ASSERT_TRUE(LogDisabled);
    Init();
    EXPECT_TRUE(LogDisabled);
    QFile::setPermissions(FLog, writable);
    DebugLog(QStringLiteral("Main formCreate done."));
    EXPECT_EQ(ReadTestFile(FLog), "kept\n");

    // Protected only at the first entry: the retry from InitAppRec succeeds.
    LogDisabled = false;
    QFile::setPermissions(FLog, readOnly);
    DebugLog(QStringLiteral(">>---Varnel Loading"));
    ASSERT_TRUE(LogDisabled);
    QFile::setPermissions(FLog, writable);
    Init();
    EXPECT_FALSE(LogDisabled);
    const QString log = QString::fromUtf8(ReadTestFile(FLog));
    EXPECT_TRUE(log.startsWith(QStringLiteral("kept\n")));
    EXPECT_TRUE(log.contains(QStringLiteral("]  Varnel.INI\n")));
    EXPECT_FALSE(log.contains(QStringLiteral("Loading")));
}

TEST_F(AppRecTest, GlobalsWorkOnTheOneRecord) {
    InitAppRec();
    EXPECT_EQ(AppRec.ExePath, FHome);
    EXPECT_EQ(OstraneReg.RegistryRoot, TRegRoots::LOCAL_MACHINE);
    EXPECT_EQ(OstraneRec.SystemName, "OstraneSystem");
    AppRec.MRUPhases = QStringList{"5"};
    DoneAppRec();
    EXPECT_TRUE(AppRec.MRUPhases.isEmpty());
    EXPECT_TRUE(QFileInfo::exists(FIni));
    EXPECT_TRUE(QFileInfo::exists(FStore)) << "the global reader uses VARNEL_REGISTRY";
}

} // namespace
