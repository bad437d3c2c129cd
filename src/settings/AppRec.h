#pragma once

#include "platform/IniOut.h"
#include "settings/OstraneRec.h"

#include <QString>
#include <QStringList>

#include <cstdint>

// The program's options and working folders. Folders are joined with "/".
struct TAppRec {
    QString ExePath;  // the program folder (ExePath())
    QString TempPath; // the temporary folder (TempPath())
    QString MyTemp;   // TempPath/<executable base name>, private; holds the work table
    QString PrivPath; // ExePath/Priv
    QString MyPriv;   // PrivPath/<executable base name>; not created here
    QString Inbox;    // receives the import files
    QString JobFile;  // base names of the three import files
    QString SubJobsFile;
    QString TasksFile;
    QString JobNumber;              // of the open project
    QStringList MRUPhases;          // phase ids of the open project already exported
    bool AsPhases = false;          // one sub-job per phase
    std::int32_t CollapseTasks = 0; // task grouping: 0 library, 1 category, 2 labour task
    bool ShowHeader = false;
    bool IncMileLog = false;    // set a milestone field after an export
    bool IncRefLog = false;     // write the reference text after an export
    std::int32_t MileIndex = 0; // 0 to 7 select M1 to M8
    QStringList ExportList;     // phase ids ticked for the export at hand
};

// The one record of the run.
extern TAppRec AppRec;

// Varnel.INI in the record's program folder.
QString IniFileName(const TAppRec& app);

// Clears LogDisabled, derives the folders (creating MyTemp), sets every option
// to its default, resets `ostrane` (InitOstraneRec), then LoadSettings.
void InitAppRec(TAppRec& app, TOstraneRec& ostrane, const TIniOut& reg);

// Logs Varnel.INI (DebugLogFile), re-reads the installation's configuration
// (ReadOstraneConfig), then reads the sections HVN, CSV and OPTIONS; an empty
// Inbox gets its default, and a MileIndex outside 0 to 7 turns IncMileLog off.
// JobNumber and MRUPhases are left alone.
void LoadSettings(TAppRec& app, TOstraneRec& ostrane, const TIniOut& reg);

// Writes HVN, CSV and OPTIONS and, while a project is open, the project's
// section (JOBNUMBER, MRU_PHASE). Raises std::runtime_error
// "Unable to write to <full path>" when the file cannot be written; the file is
// then unchanged.
void SaveSettings(const TAppRec& app, const TOstraneRec& ostrane);

// SaveSettings, then empties ExportList and MRUPhases.
void DoneAppRec(TAppRec& app, const TOstraneRec& ostrane);

// The same on AppRec, OstraneRec and OstraneReg.
void InitAppRec();
void LoadSettings();
void SaveSettings();
void DoneAppRec();
