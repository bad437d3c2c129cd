#include "estimating/ProjectOpen.h"

#include "estimating/OpenProject.h"
#include "estimating/PhaseChecklist.h"
#include "platform/DebugLog.h"
#include "platform/IniFile.h"
#include "platform/IniValues.h"
#include "platform/Prompt.h"
#include "settings/AppRec.h"
#include "settings/OstraneRec.h"

void DoPhaseChecklist(TPhaseChecklist& checklist, TPrompt& prompt) {
    checklist.Clear();
    if (OstraneRec.ProjectOpen) {
        try {
            AppRec.ExportList.clear();
            checklist.Fill(OstraneRec.ProjectPath);
        } catch (const std::exception&) {
            prompt.Message(QStringLiteral("Table open error @ ") + OstraneRec.ProjectPath +
                               QStringLiteral("\r\n\r\n Check path in Edit|Preferences"),
                           TMsgType::Warning, TMsgButtons::Ok);
            OstraneRec.ProjectOpen = false;
        }
    }
    checklist.MarkDonePhases(AppRec.MRUPhases);
    AppRec.ExportList = checklist.RebuildExportList();
}

void OpenChosenProject(const TOpenRec& openRec, TPhaseChecklist& checklist, TPrompt& prompt) {
    if (!openRec.Selected)
        return;
    OstraneRec.ProjectTitle = openRec.LongName;
    OstraneRec.ProjectPath = openRec.ProjectPath;
    OstraneRec.ProjectShortName = openRec.ShortName;
    OstraneRec.ProjectOpen = true;
    const TIniFile ini(IniFileName(AppRec));
    AppRec.JobNumber = ini.ReadString(OstraneRec.ProjectShortName, QStringLiteral("JOBNUMBER"),
                                      QStringLiteral("9999"));
    AppRec.MRUPhases = DecodeCommaList(
        ini.ReadString(OstraneRec.ProjectShortName, QStringLiteral("MRU_PHASE"), QString()));
    DoPhaseChecklist(checklist, prompt);
    DebugLog(QStringLiteral("Project Open       = ") + OstraneRec.ProjectTitle);
}
