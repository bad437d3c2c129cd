#include "estimating/OpenProject.h"

#include "estimating/ErrorText.h"
#include "platform/DebugLog.h"
#include "platform/Prompt.h"
#include "settings/OstraneRec.h"

#include <QFileInfo>

const QString TOpenProject::ProjectsSQL =
    QStringLiteral("Select * from Projname where not(Projname.reservedlibrary =1)");

TOpenProject::TOpenProject(TPrompt& prompt) : FPrompt(prompt) {
    FqryProjects.SetSQL(ProjectsSQL);
}

QString TOpenProject::SystemFolder() {
    return OstraneRec.DataPath + QStringLiteral("/System");
}

void TOpenProject::OpenProjectList() {
    FqryProjects.Close();
    FqryProjects.SetDatabaseName(SystemFolder());
    FqryProjects.Open();
}

void TOpenProject::ClearOpenRec() {
    OpenRec = TOpenRec();
}

void TOpenProject::GetProjectData() {
    ClearOpenRec();
    if (!FqryProjects.Active() || FqryProjects.IsEmpty())
        return;
    const QString shortName = FqryProjects.FieldByName(QStringLiteral("ShortName")).AsString();
    const QString folder = OstraneRec.DataPath + QStringLiteral("/Projects/") + shortName;
    if (!QFileInfo(folder).isDir())
        return;
    OpenRec.Selected = true;
    OpenRec.ProjectPath = folder;
    OpenRec.ShortName = shortName;
    OpenRec.LongName = FqryProjects.FieldByName(QStringLiteral("LongName")).AsString();
}

void TOpenProject::GetProject(const QString& title) {
    try {
        OpenProjectList();
        if (FqryProjects.Locate(QStringLiteral("LongName"), TValue(title),
                                {.CaseInsensitive = true}))
            GetProjectData();
        else
            ClearOpenRec();
        FqryProjects.Close();
    } catch (const std::exception& error) {
        ReportError(QStringLiteral("Error - GetProject "), title, error);
    }
}

bool TOpenProject::IsProjectHere(const QString& title) {
    bool result = false;
    try {
        OpenProjectList();
        result = FqryProjects.Locate(QStringLiteral("LongName"), TValue(title),
                                     {.CaseInsensitive = true});
        FqryProjects.Close();
    } catch (const std::exception& error) {
        ReportError(QStringLiteral("Error - IsProjectHere "), title, error);
    }
    return result;
}

void TOpenProject::ReportError(const QString& head, const QString& title,
                               const std::exception& error) {
    FqryProjects.Close();
    const QString text = head + title + QStringLiteral("\r\n") + FqryProjects.DatabaseName() +
                         QStringLiteral("\r\n") + ErrorText(error);
    FPrompt.Message(text, TMsgType::Information, TMsgButtons::Ok);
    DebugLog(text);
}
