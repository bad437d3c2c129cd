#include "estimating/OstraneSystem.h"

#include "db/Session.h"
#include "db/Table.h"
#include "estimating/ErrorText.h"
#include "platform/DebugLog.h"
#include "platform/Prompt.h"
#include "settings/OstraneRec.h"

#include <QDir>

namespace {

void ReportFailure(TPrompt& prompt, const QString& boxHead, const QString& logHead,
                   const std::exception& error) {
    const QString text = ErrorText(error);
    prompt.Message(boxHead + QStringLiteral("\r\n") + text, TMsgType::Information, TMsgButtons::Ok);
    DebugLog(logHead + QStringLiteral("\r\n") + text);
}

} // namespace

void FillmyUser(TPrompt& prompt) {
    TTable table;
    const QString folder = OstraneRec.DataPath + QStringLiteral("/System");
    table.SetDatabaseName(folder);
    table.SetTableName(QStringLiteral("Users.db"));
    DebugLog(QStringLiteral("FillmyUser DataBaseName = ") + folder);
    try {
        table.Open();
        table.First();
        if (table.FieldCount() < 2) {
            OstraneRec.FullName = OstraneRec.UserName;
            OstraneRec.Title.clear();
            OstraneRec.Mobile.clear();
            OstraneRec.Email.clear();
        } else if (table.FindKey({TValue(OstraneRec.UserName)})) {
            OstraneRec.FullName = table.FieldByName(QStringLiteral("Fullname")).AsString();
            OstraneRec.Title = table.FieldByName(QStringLiteral("Title")).AsString();
            OstraneRec.Mobile = table.FieldByName(QStringLiteral("Mobile")).AsString();
            OstraneRec.Email = table.FieldByName(QStringLiteral("Email")).AsString();
            if (OstraneRec.FullName.isEmpty())
                OstraneRec.FullName = OstraneRec.UserName;
        }
        table.Close();
    } catch (const std::exception& error) {
        table.Close();
        const QString text = ErrorText(error);
        prompt.Message(text, TMsgType::Information, TMsgButtons::Ok);
        DebugLog(QStringLiteral("FillmyUser ") + text);
    }
}

void SetNetFileDir(TPrompt& prompt) {
    TSession& session = Session();
    if (session.NetFileDir().toUpper() == OstraneRec.DataPath.toUpper())
        return;
    QDir().mkpath(OstraneRec.DataPath);
    try {
        if (session.Active()) {
            session.Close();
            session.DropConnections();
        }
        session.SetNetFileDir(OstraneRec.DataPath);
        DebugLog(QStringLiteral("SetNetFileDir - Session.NetFileDir = ") + session.NetFileDir());
    } catch (const std::exception& error) {
        ReportFailure(prompt, QStringLiteral("NetFileDir - failed"),
                      QStringLiteral("Session.NetFileDir - failed"), error);
    }
}

void SetPrivateDir(const QString& folder, int instances, TPrompt& prompt) {
    TSession& session = Session();
    if (session.PrivateDir().toUpper() == folder.toUpper())
        return;
    if (!folder.isEmpty())
        QDir().mkpath(folder);
    if (instances == 1) {
        try {
            session.SetPrivateDir(folder);
            session.Close();
            DebugLog(QStringLiteral("SetPrivateDir - Session.PrivateDir = ") +
                     session.PrivateDir());
        } catch (const std::exception& error) {
            ReportFailure(prompt, QStringLiteral("PrivateDir - failed"),
                          QStringLiteral("Session.PrivateDir - failed"), error);
        }
        return;
    }
    DebugLog(QStringLiteral("SetStartupValues - session.privatedir not set. Instances = ") +
             QString::number(instances));
    DebugLog(QStringLiteral("Default Session.PrivateDir = ") + session.PrivateDir());
}
