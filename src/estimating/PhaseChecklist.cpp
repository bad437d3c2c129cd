#include "estimating/PhaseChecklist.h"

#include "db/Query.h"

QString PhaseFilterText(const QStringList& ids) {
    QString text;
    for (const QString& id : ids) {
        if (!text.isEmpty())
            text += QStringLiteral(" OR ");
        text += QStringLiteral("(PhaseID=") + id + QLatin1Char(')');
    }
    return text;
}

const QStringList TPhaseChecklist::ChecklistSQL = {
    QStringLiteral("SELECT"),
    QStringLiteral("  PH.Name, PH.Desct, PH.Link_Phs, SUM(T.Qty) As ItemCount, COUNT(T.Qty) As "
                   "LineCount"),
    QStringLiteral("FROM"),
    QStringLiteral("  \"phase.db\" AS PH, \"Ostr_prd.db\" AS T"),
    QStringLiteral("WHERE"),
    QStringLiteral("   PH.Link_Phs=T.Link_Phs"),
    QStringLiteral("GROUP BY"),
    QStringLiteral("   PH.Name, PH.Desct, PH.Link_Phs"),
    QStringLiteral("ORDER BY"),
    QStringLiteral("  PH.Name"),
};

QString TPhaseChecklist::ItemText(const QString& name, const std::optional<QString>& desct,
                                  qint64 lineCount) {
    QString text = name;
    if (desct)
        text += QStringLiteral(" - ") + *desct;
    return text + QStringLiteral(" (") + QString::number(lineCount) + QStringLiteral(") lines");
}

void TPhaseChecklist::Fill(const QString& projectPath) {
    FItems.clear();
    TQuery qryChecklist;
    qryChecklist.SetDatabaseName(projectPath);
    qryChecklist.SetSQL(ChecklistSQL);
    qryChecklist.Open();
    TField& name = qryChecklist.FieldByName(QStringLiteral("Name"));
    TField* desct = qryChecklist.FindField(QStringLiteral("Desct"));
    TField& id = qryChecklist.FieldByName(QStringLiteral("Link_Phs"));
    TField& lineCount = qryChecklist.FieldByName(QStringLiteral("LineCount"));
    for (qryChecklist.First(); !qryChecklist.Eof(); qryChecklist.Next()) {
        std::optional<QString> description;
        if (desct)
            description = desct->AsString();
        FItems.push_back({name.AsString(),
                          ItemText(name.AsString(), description, lineCount.AsInteger()),
                          id.AsInteger(), TPhaseState::Unticked});
    }
    qryChecklist.Close();
}

void TPhaseChecklist::MarkDonePhases(const QStringList& donePhases) {
    for (TPhaseItem& item : FItems) {
        if (donePhases.contains(QString::number(item.PhaseId)))
            item.State = TPhaseState::Grey;
    }
}

QStringList TPhaseChecklist::RebuildExportList() const {
    QStringList ids;
    for (const TPhaseItem& item : FItems) {
        if (item.State == TPhaseState::Ticked)
            ids.append(QString::number(item.PhaseId));
    }
    return ids;
}

QStringList TPhaseChecklist::SaveDonePhases() {
    QStringList ids;
    for (TPhaseItem& item : FItems) {
        if (item.State == TPhaseState::Unticked)
            continue;
        ids.append(QString::number(item.PhaseId));
        item.State = TPhaseState::Grey;
    }
    return ids;
}

void TPhaseChecklist::SelectAll() {
    for (TPhaseItem& item : FItems)
        item.State = TPhaseState::Ticked;
}

void TPhaseChecklist::ClearAll() {
    for (TPhaseItem& item : FItems) {
        if (item.State == TPhaseState::Ticked)
            item.State = TPhaseState::Unticked;
    }
}
