#pragma once

#include "db/BatchMove.h"
#include "db/Query.h"
#include "db/Table.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

struct TAppRec;
struct TOstraneRec;
class TPrompt;
class TExportView;

// One export of the ticked phases (ExportList of the settings) of the open
// project: sums the labour of those phases per phase and task into the work
// table "tmpHVN.db" in MyTemp, moves the previous import files into the
// inbox's backups folder, and writes the job, sub-jobs and tasks files into
// the inbox, reporting every file in the export log. Message boxes go through
// the prompt; caption, log, progress and buttons through the view. The object
// is reused for every export; destroying it deletes the work table.
class TExportRun {
public:
    TExportRun(TAppRec& appRec, TOstraneRec& ostraneRec, TPrompt& prompt,
               TExportView* view = nullptr);
    ~TExportRun();
    TExportRun(const TExportRun&) = delete;
    TExportRun& operator=(const TExportRun&) = delete;

    // With dry run on, a run builds every line and the whole log but writes,
    // moves and saves nothing: no backups, no import files, no inbox created,
    // and the work table lives in a private temporary folder.
    void SetDryRun(bool dryRun) { FDryRun = dryRun; }
    bool DryRun() const { return FDryRun; }

    // The whole export. Every step runs even after an earlier one failed (a
    // failed step clears ExportOk, so no further file is written). An error no
    // step handles (an old work table that cannot be deleted, an import file
    // that cannot be saved) ends the run there: it is shown as the standard
    // error, ExportOk is cleared and false is returned; otherwise true.
    bool Run();

    // True while no step of the current run has failed.
    bool ExportOk = true;
    // The data lines the last line builder appended (its header not counted).
    int ItemsFound = 0;

    // The export log of the last run, line by line.
    const QStringList& Log() const { return FLog; }
    // Prints the log on the default printer as the job "Export Log <title>";
    // a print error is shown as the standard error and the log stays as it is.
    void PrintLog();
    // The line buffer: the lines of the file built last.
    const QStringList& Lines() const { return FLines; }

    // The steps of Run, in their order. BuildWorkTable replaces the work table;
    // on failure it shows the error's text and clears ExportOk. It raises only
    // when an old work table cannot be deleted.
    void BuildWorkTable();
    // Empties the backups folder of the three import files, then moves each
    // import file of the inbox there ("Unable to Copy:" when a copy fails).
    void BackupImportFiles();
    // The line builders fill the line buffer. On failure they show
    // "Table open error @ \r\n\r\n" and the error's text, and clear ExportOk and
    // ProjectOpen.
    void GetJob();
    void GetPhaseList();
    void GetPhaseTasks();
    void GetCombinedTasks();
    // Unless ExportOk is false: saves the line buffer as Inbox/base.csv and
    // appends the file's section to the log. An inbox that cannot be created is
    // replaced by ExePath/Inbox. Raises std::runtime_error when the file cannot
    // be saved.
    void WriteHVN(const QString& base);

    // Inbox/base.csv and Inbox/backups/base.csv.
    QString InboxFileName(const QString& base) const;
    QString BackupFileName(const QString& base) const;

    // The work table's folder: MyTemp, or the private folder of a dry run.
    QString WorkFolder() const;

private:
    void AppendLog(const QString& line);
    void BeginBuffer(const char* header);
    void BuilderFailed(const std::exception& error);
    void PointQueries();
    void CloseAll();
    TQuery& MoveSource();
    // Appends one line per row of `query`, moving the progress bar.
    void ReadRows(TQuery& query, const std::function<QString(TQuery&)>& line);

    TAppRec& FAppRec;
    TOstraneRec& FOstraneRec;
    TPrompt& FPrompt;
    TExportView* FView;
    bool FDryRun = false;
    std::unique_ptr<QTemporaryDir> FDryRunFolder;
    QStringList FLog;
    QStringList FLines;

    TQuery qryMoveLib;
    TQuery qryMoveCat;
    TQuery qryMoveTask;
    TQuery qryMaterialPhase;
    TQuery qryPhases;
    TQuery qryLabor;
    TQuery qryLaborPhase;
    TTable tblTmp;
    TBatchMove BatchMove;
};
