#include "estimating/WriteBack.h"

#include "db/Table.h"
#include "estimating/ErrorText.h"
#include "estimating/StatusView.h"
#include "platform/Prompt.h"

#include <QLocale>

TWriteBack::TWriteBack(TStatusView& view, TPrompt& prompt) : FView(view), FPrompt(prompt) {}

QString TWriteBack::ReferenceText(const QDateTime& when) {
    return QStringLiteral("Horvane: ") +
           QLocale::system().toString(when, QStringLiteral("MMMM d, yyyy - hh:mm"));
}

QString TWriteBack::MilestoneField() const {
    return QStringLiteral("M") + QString::number(MileIndex + 1);
}

// A record that cannot be edited or posted ends the phase with that error's own
// text: the edit is cancelled and the table closed before the error is passed on.
void TWriteBack::WriteField(TTable& table, const QString& field, const TValue& value) {
    try {
        table.Edit();
        table.FieldByName(field).SetValue(value);
        table.Post();
    } catch (...) {
        if (table.Active())
            table.Cancel();
        table.Close();
        throw;
    }
}

void TWriteBack::DoLogging(qint64 phaseId, const QString& projectPath) {
    if (!IncMileLog && !IncRefLog)
        return;
    const QString milestone = MilestoneField();
    TTable table;
    table.SetDatabaseName(projectPath);
    table.SetTableName(QStringLiteral("OSTR_PRD.db"));
    table.SetFiltered(true);
    table.SetFilter(QStringLiteral("Link_Phs=") + QString::number(phaseId));
    try {
        table.Open();
        table.First();
        const int count = table.RecordCount();
        FView.SetProgressMaximum(count);
        FView.SetProgressPosition(0);
        for (int i = 1; i <= count; ++i) {
            FView.SetProgressPosition(i);
            FView.ShowStatus(QStringLiteral("Logging item %1\\%2").arg(i).arg(count));
            if (IncMileLog)
                WriteField(table, milestone, TValue(qint64(1)));
            if (IncRefLog)
                WriteField(table, QStringLiteral("REFERENCE"), TValue(ReferenceText(Now())));
            table.Next();
        }
    } catch (const std::exception& error) {
        FPrompt.Message(QStringLiteral("Error opening table \r\n") + ErrorText(error),
                        TMsgType::Information, TMsgButtons::Ok);
    }
    FView.SetProgressPosition(0);
    if (IncMileLog)
        FView.ShowStatus(QStringLiteral("HV logging to ") + milestone);
    if (IncRefLog)
        FView.ShowStatus(QStringLiteral("HV logging to Reference"));
    table.Close();
}
