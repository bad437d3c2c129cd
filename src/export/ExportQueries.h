#pragma once

#include <QString>

// The fixed SQL texts of the export, in the engine's local dialect. The move
// queries and the material query run over the project's tables; the others
// over the work table "tmpHVN.db". The move queries and the material query
// carry a PhaseID column for the phase filter.
namespace ExportQueries {

extern const QString MoveLib;       // labour per phase and library
extern const QString MoveCat;       // labour per phase and category
extern const QString MoveTask;      // labour per phase and labour-task product
extern const QString MaterialPhase; // material value per phase
extern const QString Phases;        // labour per phase, ordered by phase name
extern const QString Labor;         // labour per task over all phases, ordered by task
extern const QString LaborPhase;    // every work-table row in its stored order

} // namespace ExportQueries
