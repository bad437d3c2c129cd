#include "export/ExportRun.h"

#include "db/format/DBEngineError.h"
#include "estimating/PhaseChecklist.h"
#include "export/ExportQueries.h"
#include "export/ExportView.h"
#include "export/ImportFile.h"
#include "export/ImportLines.h"
#include "platform/DebugLog.h"
#include "platform/FileUtils.h"
#include "platform/Prompt.h"
#include "settings/AppRec.h"
#include "settings/OstraneRec.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

namespace {

const QString WorkTableName = QStringLiteral("tmpHVN");
const QString WorkTableFile = QStringLiteral("tmpHVN.db");

QString ErrorText(const std::exception& error) {
    return QString::fromStdString(error.what());
}

// The view calls go here when the caller gave none.
TExportView NoView;

} // namespace

TExportRun::TExportRun(TAppRec& appRec, TOstraneRec& ostraneRec, TPrompt& prompt, TExportView* view)
    : FAppRec(appRec), FOstraneRec(ostraneRec), FPrompt(prompt), FView(view ? view : &NoView) {
    qryMoveLib.SetSQL(ExportQueries::MoveLib);
    qryMoveCat.SetSQL(ExportQueries::MoveCat);
    qryMoveTask.SetSQL(ExportQueries::MoveTask);
    qryMaterialPhase.SetSQL(ExportQueries::MaterialPhase);
    qryPhases.SetSQL(ExportQueries::Phases);
    qryLabor.SetSQL(ExportQueries::Labor);
    qryLaborPhase.SetSQL(ExportQueries::LaborPhase);
    tblTmp.SetTableName(WorkTableFile);
}

TExportRun::~TExportRun() {
    CloseAll();
    // A destructor must not raise; a work table that cannot be deleted stays
    // for the shutdown's emptying of MyTemp.
    try {
        tblTmp.SetDatabaseName(WorkFolder());
        if (QFileInfo::exists(WorkFolder() + QLatin1Char('/') + WorkTableFile)) {
            tblTmp.DeleteTable();
        }
    } catch (const std::exception& error) {
        DebugLog(ErrorText(error));
    }
}

QString TExportRun::WorkFolder() const {
    return FDryRunFolder ? FDryRunFolder->path() : FAppRec.MyTemp;
}

QString TExportRun::InboxFileName(const QString& base) const {
    return FAppRec.Inbox + QLatin1Char('/') + base + QLatin1String(".csv");
}

QString TExportRun::BackupFileName(const QString& base) const {
    return FAppRec.Inbox + QLatin1String("/backups/") + base + QLatin1String(".csv");
}

void TExportRun::CloseAll() {
    for (TDataSet* dataSet :
         std::initializer_list<TDataSet*>{&qryMoveLib, &qryMoveCat, &qryMoveTask, &qryMaterialPhase,
                                          &tblTmp, &qryPhases, &qryLaborPhase, &qryLabor}) {
        dataSet->Close();
    }
}

void TExportRun::PointQueries() {
    CloseAll();
    for (TQuery* query : {&qryMoveLib, &qryMoveCat, &qryMoveTask, &qryMaterialPhase}) {
        query->SetDatabaseName(FOstraneRec.ProjectPath);
    }
    tblTmp.SetDatabaseName(WorkFolder());
    for (TQuery* query : {&qryPhases, &qryLaborPhase, &qryLabor}) {
        query->SetDatabaseName(WorkFolder());
    }
}

void TExportRun::AppendLog(const QString& line) {
    FLog.append(line);
    FView->AppendLog(line);
}

bool TExportRun::Run() {
    FView->SetButtonsEnabled(false);
    ExportOk = true;
    FLog.clear();
    FView->ClearLog();
    FView->SetCaption(QLatin1String("Exporting - ") + FOstraneRec.ProjectTitle);
    CloseAll(); // before a dry run's folder goes
    FDryRunFolder.reset();
    if (FDryRun) {
        FDryRunFolder = std::make_unique<QTemporaryDir>();
        if (!FDryRunFolder->isValid()) {
            FDryRunFolder.reset();
            ExportOk = false;
            FPrompt.StandardError(
                QStringLiteral("Cannot create a temporary folder for the dry run"));
            return false;
        }
    }
    PointQueries();
    ItemsFound = 0;

    try {
        AppendLog(
            QLatin1String("Horvane Export - ") +
            QLocale::system().toString(QDate::currentDate(), QStringLiteral("dddd, MMMM d, yyyy")));
        AppendLog(FOstraneRec.ProjectTitle);
        AppendLog(QString());

        BuildWorkTable();
        BackupImportFiles();
        GetJob();
        WriteHVN(FAppRec.JobFile);
        if (FAppRec.AsPhases) {
            GetPhaseList();
            WriteHVN(FAppRec.SubJobsFile);
            GetPhaseTasks();
        } else {
            GetCombinedTasks();
        }
        WriteHVN(FAppRec.TasksFile);
    } catch (const std::exception& error) {
        // The run ends here. The caller must not take it for a success, so the
        // flag is cleared although no step cleared it.
        ExportOk = false;
        FPrompt.StandardError(ErrorText(error));
        return false;
    }
    FView->SetButtonsEnabled(true);
    return true;
}

void TExportRun::PrintLog() {
    try {
        FPrompt.Print({QLatin1String("Export Log ") + FOstraneRec.ProjectTitle,
                       FLog.join(QLatin1Char('\n')), false});
    } catch (const std::exception& error) {
        FPrompt.StandardError(ErrorText(error));
    }
}

TQuery& TExportRun::MoveSource() {
    switch (FAppRec.CollapseTasks) {
    case 0:
        return qryMoveLib;
    case 2:
        return qryMoveTask;
    case 1:
        return qryMoveCat;
    default: {
        // Only a hand-edited settings file gets here; group as the default does.
        const QString note =
            QStringLiteral("Task grouping %1 is unknown: tasks are grouped by category")
                .arg(FAppRec.CollapseTasks);
        AppendLog(note);
        DebugLog(note);
        return qryMoveCat;
    }
    }
}

void TExportRun::BuildWorkTable() {
    tblTmp.Close();
    tblTmp.SetDatabaseName(WorkFolder());
    if (QFileInfo::exists(WorkFolder() + QLatin1Char('/') + WorkTableFile)) {
        tblTmp.DeleteTable();
    }
    for (TQuery* query : {&qryMoveLib, &qryMoveCat, &qryMoveTask}) {
        query->Close();
    }
    BatchMove.Mappings().clear();

    try {
        TQuery& source = MoveSource();
        source.SetFiltered(true);
        source.SetFilter(PhaseFilterText(FAppRec.ExportList));
        source.Open();

        TTable destination;
        destination.SetDatabaseName(WorkFolder());
        destination.SetTableName(WorkTableName);
        BatchMove.SetSource(&source);
        BatchMove.SetDestination(&destination);
        // A task without an export text is exported under its own name. The
        // names are filled in as the rows are copied, which spares the work
        // table an edit per row. A task name that does not fit the export
        // text's width fails that copy; the rows are then copied as they are,
        // and the loop below fills them one by one and reports the first that
        // does not fit, after the rows before it are filled.
        const auto column = [&source](const char* name) {
            return static_cast<std::size_t>(source.FieldByName(QLatin1String(name)).FieldNo() - 1);
        };
        BatchMove.SetRecordHook(
            [task = column("Task"), name = column("ExportName")](std::vector<TValue>& values) {
                if (ValueToText(values[name]).isEmpty()) {
                    values[name] = ValueToText(values[task]);
                }
            });
        try {
            BatchMove.Execute();
        } catch (const EDBEngineError&) {
            BatchMove.SetRecordHook({});
            BatchMove.Execute();
        }
        BatchMove.SetRecordHook({});
        for (TQuery* query : {&qryMoveLib, &qryMoveCat, &qryMoveTask}) {
            query->Close();
        }

        tblTmp.Open();
        for (tblTmp.First(); !tblTmp.Eof(); tblTmp.Next()) {
            TField& exportName = tblTmp.FieldByName(QStringLiteral("ExportName"));
            if (exportName.AsString().isEmpty()) {
                tblTmp.Edit();
                exportName.SetAsString(tblTmp.FieldByName(QStringLiteral("Task")).AsString());
                tblTmp.Post();
            }
        }
        tblTmp.Close();
    } catch (const std::exception& error) {
        tblTmp.Close();
        ExportOk = false;
        FPrompt.Message(ErrorText(error), TMsgType::Information, TMsgButtons::Ok);
    }
}

void TExportRun::BackupImportFiles() {
    if (FDryRun) {
        return;
    }
    const QStringList bases{FAppRec.JobFile, FAppRec.SubJobsFile, FAppRec.TasksFile};
    const QString backups = FAppRec.Inbox + QLatin1String("/backups");
    if (QFileInfo(backups).isDir()) {
        for (const QString& base : bases) {
            QFile::remove(BackupFileName(base));
        }
    } else {
        QDir().mkpath(backups);
    }
    for (const QString& base : bases) {
        const QString file = InboxFileName(base);
        if (QFileInfo::exists(file) && CopyAFile(file, BackupFileName(base), FPrompt)) {
            QFile::remove(file);
        }
    }
}

void TExportRun::BeginBuffer(const char* header) {
    FLines.clear();
    ItemsFound = 0;
    if (FAppRec.ShowHeader) {
        FLines.append(QLatin1String(header));
    }
}

void TExportRun::BuilderFailed(const std::exception& error) {
    for (TQuery* query : {&qryMaterialPhase, &qryPhases, &qryLabor, &qryLaborPhase}) {
        query->Close();
    }
    FPrompt.Message(QLatin1String("Table open error @ \r\n\r\n") + ErrorText(error),
                    TMsgType::Warning, TMsgButtons::Ok);
    FOstraneRec.ProjectOpen = false;
    ExportOk = false;
}

void TExportRun::GetJob() {
    BeginBuffer(ImportLines::JobHeader);
    try {
        double materialValue = 0;
        double timeQty = 0;
        double timeValue = 0;
        qryMaterialPhase.SetFiltered(true);
        qryMaterialPhase.SetFilter(PhaseFilterText(FAppRec.ExportList));
        qryMaterialPhase.Open();
        for (qryMaterialPhase.First(); !qryMaterialPhase.Eof(); qryMaterialPhase.Next()) {
            materialValue +=
                qryMaterialPhase.FieldByName(QStringLiteral("Material_Value")).AsFloat();
        }
        qryMaterialPhase.Close();
        qryLabor.Open();
        for (qryLabor.First(); !qryLabor.Eof(); qryLabor.Next()) {
            timeQty += qryLabor.FieldByName(QStringLiteral("Time_Qty")).AsFloat();
            timeValue += qryLabor.FieldByName(QStringLiteral("Time_Value")).AsFloat();
        }
        qryLabor.Close();
        FLines.append(ImportLines::JobLine(FAppRec.JobNumber, materialValue, timeQty, timeValue,
                                           QLocale::system().decimalPoint()));
        ItemsFound = 1;
    } catch (const std::exception& error) {
        BuilderFailed(error);
    }
}

void TExportRun::ReadRows(TQuery& query, const std::function<QString(TQuery&)>& line) {
    try {
        query.Open();
        query.First();
        FView->SetProgressMaximum(query.RecordCount());
        FView->SetProgressPosition(1);
        for (int k = 1; !query.Eof(); ++k) {
            FLines.append(line(query));
            FView->SetProgressPosition(k);
            query.Next();
            ++ItemsFound;
        }
        query.Close();
    } catch (const std::exception& error) {
        BuilderFailed(error);
    }
}

namespace {

QString Text(TQuery& query, const char* field) {
    return query.FieldByName(QLatin1String(field)).AsString();
}

double Number(TQuery& query, const char* field) {
    return query.FieldByName(QLatin1String(field)).AsFloat();
}

QString RowSubJob(TQuery& query) {
    return ImportLines::SubJobName(Text(query, "PhaseName"), Text(query, "PhaseDesct"));
}

} // namespace

void TExportRun::GetPhaseList() {
    BeginBuffer(ImportLines::SubJobsHeader);
    const QString decimalPoint = QLocale::system().decimalPoint();
    ReadRows(qryPhases, [&](TQuery& query) {
        return ImportLines::SubJobLine(FAppRec.JobNumber, RowSubJob(query),
                                       Number(query, "Time_Qty"), decimalPoint);
    });
}

void TExportRun::GetPhaseTasks() {
    BeginBuffer(ImportLines::TasksHeader);
    const QString decimalPoint = QLocale::system().decimalPoint();
    ReadRows(qryLaborPhase, [&](TQuery& query) {
        return ImportLines::TaskLine(FAppRec.JobNumber, RowSubJob(query), Number(query, "Time_Qty"),
                                     Text(query, "Task"), Text(query, "ExportName"), decimalPoint);
    });
}

void TExportRun::GetCombinedTasks() {
    BeginBuffer(ImportLines::TasksHeader);
    const QString decimalPoint = QLocale::system().decimalPoint();
    ReadRows(qryLabor, [&](TQuery& query) {
        return ImportLines::TaskLine(FAppRec.JobNumber, QStringLiteral("00"),
                                     Number(query, "Time_Qty"), Text(query, "Task"),
                                     Text(query, "ExportName"), decimalPoint);
    });
}

void TExportRun::WriteHVN(const QString& base) {
    if (!ExportOk) {
        return;
    }
    if (!FDryRun && !QFileInfo(FAppRec.Inbox).isDir() && !QDir().mkpath(FAppRec.Inbox)) {
        FAppRec.Inbox = FAppRec.ExePath + QLatin1String("/Inbox");
        QDir().mkpath(FAppRec.Inbox);
    }
    const QString path = InboxFileName(base);
    if (!FDryRun) {
        SaveImportFile(path, FLines);
    }
    AppendLog(base);
    for (const QString& line : FLines) {
        AppendLog(line);
    }
    AppendLog(QString());
    AppendLog(ItemsFound != 0 ? QString::number(ItemsFound) + QLatin1String(" Items found")
                              : QStringLiteral("Warning - No Items found"));
    AppendLog(QLatin1String("** Exported to: ") + path);
    AppendLog(QString());
}
