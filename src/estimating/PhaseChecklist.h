#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// The filter text over a result column PhaseID that lets the phases of `ids`
// (decimal phase keys) pass: "(PhaseID=12) OR (PhaseID=15)"; empty for no ids.
QString PhaseFilterText(const QStringList& ids);

// The three states of a phase in the check list; Grey marks a phase exported before.
enum class TPhaseState { Unticked, Grey, Ticked };

// One phase of the check list: its text, its key Link_Phs and its state.
struct TPhaseItem {
    QString Name;
    QString Text;
    qint64 PhaseId = 0;
    TPhaseState State = TPhaseState::Unticked;
};

// The phases of a project that have line items, in the order of their names,
// and the bookkeeping of which are ticked and which were exported before.
class TPhaseChecklist {
public:
    // The fixed check-list query: one row per phase with line items.
    static const QStringList ChecklistSQL;

    // The item text: "Walls - Exterior walls (12) lines"; without " - " and the
    // description when the result had no Desct column.
    static QString ItemText(const QString& name, const std::optional<QString>& desct,
                            qint64 lineCount);

    // Empties the list and fills it from the project folder, every item
    // unticked. Raises EDBEngineError when the tables cannot be read; the items
    // added before the error stay.
    void Fill(const QString& projectPath);
    void Clear() { FItems.clear(); }

    std::vector<TPhaseItem>& Items() { return FItems; }
    const std::vector<TPhaseItem>& Items() const { return FItems; }

    // Greys every item whose decimal id is in `donePhases`.
    void MarkDonePhases(const QStringList& donePhases);
    // The decimal ids of the ticked items, in list order.
    QStringList RebuildExportList() const;
    // The ids of the ticked and grey items in list order; ticked items turn grey.
    QStringList SaveDonePhases();
    // Ticks every item, grey ones included.
    void SelectAll();
    // Unticks every ticked item; grey ones stay grey.
    void ClearAll();

private:
    std::vector<TPhaseItem> FItems;
};
