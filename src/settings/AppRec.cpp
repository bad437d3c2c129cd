#include "settings/AppRec.h"

#include "platform/DebugLog.h"
#include "platform/IniFile.h"
#include "platform/IniValues.h"
#include "platform/ProgramPaths.h"

TAppRec AppRec;

namespace {

QString DefaultInbox(const TAppRec& app) {
    return app.ExePath + QStringLiteral("/HVNInbox");
}

} // namespace

QString IniFileName(const TAppRec& app) {
    return app.ExePath + QStringLiteral("/Varnel.INI");
}

void InitAppRec(TAppRec& app, TOstraneRec& ostrane, const TIniOut& reg) {
    LogDisabled = false;
    app.ExePath = ExePath();
    const QString baseName = ExeBaseName();
    app.TempPath = TempPath();
    app.MyTemp = MakeMyTemp(app.TempPath, baseName);
    app.PrivPath = app.ExePath + QStringLiteral("/Priv");
    app.MyPriv = app.PrivPath + u'/' + baseName;
    app.JobNumber = QStringLiteral("9999");
    InitOstraneRec(ostrane);
    app.Inbox = DefaultInbox(app);
    app.JobFile = QStringLiteral("Job");
    app.SubJobsFile = QStringLiteral("SubJobs");
    app.TasksFile = QStringLiteral("Tasks");
    app.MRUPhases.clear();
    app.ExportList.clear();
    app.AsPhases = false;
    app.CollapseTasks = 1;
    app.ShowHeader = false;
    app.IncMileLog = false;
    app.IncRefLog = false;
    app.MileIndex = 0;
    LoadSettings(app, ostrane, reg);
}

void LoadSettings(TAppRec& app, TOstraneRec& ostrane, const TIniOut& reg) {
    DebugLogFile(QStringLiteral("Varnel.INI"));
    const TIniFile ini(IniFileName(app));
    ReadOstraneConfig(ostrane, reg, app.ExePath);
    const QString hvn = QStringLiteral("HVN");
    app.Inbox = ini.ReadString(hvn, QStringLiteral("Inbox"), DefaultInbox(app));
    app.JobFile = ini.ReadString(hvn, QStringLiteral("JobFile"), QStringLiteral("Job"));
    app.SubJobsFile = ini.ReadString(hvn, QStringLiteral("SubJobsFile"), QStringLiteral("SubJobs"));
    app.TasksFile = ini.ReadString(hvn, QStringLiteral("TasksFile"), QStringLiteral("Tasks"));
    const QString csv = QStringLiteral("CSV");
    app.AsPhases = ini.ReadBool(csv, QStringLiteral("AsPhases"), false);
    app.CollapseTasks = ini.ReadInteger(csv, QStringLiteral("CollapseTasks"), 1);
    app.ShowHeader = ini.ReadBool(csv, QStringLiteral("showHeader"), false);
    const QString options = QStringLiteral("OPTIONS");
    app.IncMileLog = ini.ReadBool(options, QStringLiteral("INCMILELOG"), false);
    app.IncRefLog = ini.ReadBool(options, QStringLiteral("INCREFLOG"), false);
    app.MileIndex = ini.ReadInteger(options, QStringLiteral("MILEINDEX"), 0);
    if (app.Inbox.isEmpty())
        app.Inbox = DefaultInbox(app);
    if (app.MileIndex < 0 || app.MileIndex > 7)
        app.IncMileLog = false;
}

void SaveSettings(const TAppRec& app, const TOstraneRec& ostrane) {
    TIniFile ini(IniFileName(app));
    const QString hvn = QStringLiteral("HVN");
    ini.WriteString(hvn, QStringLiteral("Inbox"), app.Inbox);
    ini.WriteString(hvn, QStringLiteral("JobFile"), app.JobFile);
    ini.WriteString(hvn, QStringLiteral("SubJobsFile"), app.SubJobsFile);
    ini.WriteString(hvn, QStringLiteral("TasksFile"), app.TasksFile);
    const QString csv = QStringLiteral("CSV");
    ini.WriteBool(csv, QStringLiteral("AsPhases"), app.AsPhases);
    ini.WriteInteger(csv, QStringLiteral("CollapseTasks"), app.CollapseTasks);
    ini.WriteBool(csv, QStringLiteral("showHeader"), app.ShowHeader);
    const QString options = QStringLiteral("OPTIONS");
    ini.WriteBool(options, QStringLiteral("INCMILELOG"), app.IncMileLog);
    ini.WriteBool(options, QStringLiteral("INCREFLOG"), app.IncRefLog);
    ini.WriteInteger(options, QStringLiteral("MILEINDEX"), app.MileIndex);
    if (ostrane.ProjectOpen) {
        ini.WriteString(ostrane.ProjectShortName, QStringLiteral("JOBNUMBER"), app.JobNumber);
        ini.WriteString(ostrane.ProjectShortName, QStringLiteral("MRU_PHASE"),
                        EncodeCommaList(app.MRUPhases));
    }
    ini.UpdateFile();
}

void DoneAppRec(TAppRec& app, const TOstraneRec& ostrane) {
    SaveSettings(app, ostrane);
    app.ExportList.clear();
    app.MRUPhases.clear();
}

void InitAppRec() {
    InitAppRec(AppRec, OstraneRec, OstraneReg);
}
void LoadSettings() {
    LoadSettings(AppRec, OstraneRec, OstraneReg);
}
void SaveSettings() {
    SaveSettings(AppRec, OstraneRec);
}
void DoneAppRec() {
    DoneAppRec(AppRec, OstraneRec);
}
