#pragma once

#include "db/Query.h"

#include <QString>

class TPrompt;

// The result of a project choice.
struct TOpenRec {
    bool Selected = false; // a project was chosen and its folder exists
    QString ProjectPath;   // DataPath/Projects/ShortName
    QString ShortName;
    QString LongName;
};

// The project list of the project space (DataPath of OstraneRec) and the
// look-ups on it that need no window. Failures are shown through the prompt
// and not passed on.
class TOpenProject {
public:
    // The fixed text of the project list query: every Projname row that is no
    // reserved library.
    static const QString ProjectsSQL;

    explicit TOpenProject(TPrompt& prompt);

    TOpenRec OpenRec;
    QString LastProject;

    // The project list query. OpenProjectList (re)opens it on DataPath/System
    // and raises the engine's error when it cannot.
    TQuery& qryProjects() { return FqryProjects; }
    void OpenProjectList();
    // The folder the project list is read from.
    static QString SystemFolder();

    void ClearOpenRec();
    // Takes the current row of the open project list as the choice when its
    // folder exists; otherwise leaves OpenRec cleared.
    void GetProjectData();
    // Takes the project titled `title` (any case) as the choice; clears the
    // choice when there is none. A failure leaves OpenRec as it was.
    void GetProject(const QString& title);
    // True when Projname lists `title` (any case); the folder is not tested.
    bool IsProjectHere(const QString& title);

private:
    void ReportError(const QString& head, const QString& title, const std::exception& error);

    TPrompt& FPrompt;
    TQuery FqryProjects;
};
