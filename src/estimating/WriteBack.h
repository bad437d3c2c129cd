#pragma once

#include "db/format/ParadoxTypes.h"

#include <QDateTime>
#include <QString>

#include <functional>

class TPrompt;
class TStatusView;
class TTable;

// Writes the export's marks back into the line items of a project: the
// milestone field M<MileIndex+1> := 1 and/or REFERENCE := a dated note, on
// every line item of a phase, record by record.
class TWriteBack {
public:
    TWriteBack(TStatusView& view, TPrompt& prompt);

    bool IncMileLog = false;
    bool IncRefLog = false;
    int MileIndex = 0;
    // The clock for the reference text, read anew for every record.
    std::function<QDateTime()> Now = [] { return QDateTime::currentDateTime(); };

    // "Horvane: March 3, 2008 - 14:05", the month name in the user's locale.
    static QString ReferenceText(const QDateTime& when);
    // "M1" to "M8" for MileIndex 0 to 7.
    QString MilestoneField() const;

    // Writes the marks on the line items of `phaseId` in OSTR_PRD.db of
    // `projectPath`. A table that cannot be opened or a record that cannot be
    // written ends this phase with the message "Error opening table " and the
    // error's text; records already written stay written. Never raises.
    void DoLogging(qint64 phaseId, const QString& projectPath);

private:
    void WriteField(TTable& table, const QString& field, const TValue& value);

    TStatusView& FView;
    TPrompt& FPrompt;
};
