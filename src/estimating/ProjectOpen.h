#pragma once

class TPhaseChecklist;
class TPrompt;
struct TOpenRec;

// Opening a project without the main window.

// Refills `checklist` from the open project (none when OstraneRec.ProjectOpen
// is not set), greys the phases in AppRec.MRUPhases and rebuilds
// AppRec.ExportList. When the tables cannot be read it warns
// "Table open error @ <ProjectPath>..." and the project counts as not open.
void DoPhaseChecklist(TPhaseChecklist& checklist, TPrompt& prompt);

// Makes the project of `openRec` the open one when it is marked selected:
// OstraneRec's project fields, JobNumber and MRUPhases from the project's
// section of Varnel.INI, then DoPhaseChecklist. Otherwise changes nothing.
void OpenChosenProject(const TOpenRec& openRec, TPhaseChecklist& checklist, TPrompt& prompt);
