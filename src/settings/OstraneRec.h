#pragma once

#include "platform/IniOut.h"
#include "settings/OneBasedArray.h"

#include <QString>

// The estimating system's captions for its user-definable fields.
struct TLabelRec {
    TOneBasedArray<QString, 4> Alteration;
    TOneBasedArray<QString, 4> BidResult;
    TOneBasedArray<QString, 4> Contact;
    TOneBasedArray<QString, 6> General;
    TOneBasedArray<QString, 4> Location;
    TOneBasedArray<QString, 8> Mile; // names of the line items' fields M1 to M8
    QString Markup1;
    QString Markup2;
    QString Material1;
    QString Material2;
    QString Labor1; // names of the two labour quantities
    QString Labor2;
};

// What is known of the estimating installation and of the open project.
struct TOstraneRec {
    QString DataPath; // the project space, no trailing separator
    QString UserName;
    QString FullName;
    QString Title;
    QString Mobile;
    QString Email;
    QString SystemName;
    TOneBasedArray<QString, 5> MRU; // recent project titles; empty = no entry
    QString ProjectTitle;
    QString ProjectPath;
    QString ProjectShortName; // also the project's section in Varnel.INI
    bool ProjectOpen = false;
    TLabelRec Labels;
};

// The registry keys the installation keeps its configuration in.
extern const QString OstraneSystemKey; // SOFTWARE\...\SYSTEM
extern const QString OstraneUsersKey;  // SOFTWARE\...\USERS\ (the user name follows)
extern const QString OstraneLabelsKey; // SOFTWARE\...\Labels

// The one record and the one registry reader of the run (root LOCAL_MACHINE).
extern TOstraneRec OstraneRec;
extern TIniOut OstraneReg;

// Resets `rec`: no user details, no recent projects, no open project;
// SystemName "OstraneSystem". ProjectShortName and Labels are kept.
void InitOstraneRec(TOstraneRec& rec);

// Reads DataPath and UserName from the registry and settles on a project space:
// DataPath when it has a "System" folder, else `exePath` + "/.." (kept in this
// form) when that has one, else `exePath`. Then ReadLabels. Registry errors
// (a value that is not text) are raised, leaving the fields read so far set.
void ReadOstraneConfig(TOstraneRec& rec, const TIniOut& reg, const QString& exePath);

// Fills every caption from the registry, with the defaults for missing values;
// Material2 and Labor2 get "1" appended when equal to Material1 and Labor1.
void ReadLabels(TLabelRec& labels, const TIniOut& reg);

// Fills MRU[1] to MRU[5] from the user's MRULIST key ("MRU1" to "MRU5"), empty
// when missing. Logs "FillMRU".
void FillMRU(TOstraneRec& rec, const TIniOut& reg);

// The same on OstraneRec and OstraneReg.
void InitOstraneRec();
void ReadOstraneConfig(const QString& exePath);
void FillMRU();
