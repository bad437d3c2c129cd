#include "app/QtPrompt.h"
#include "platform/DebugLog.h"
#include "platform/VersionInfo.h"
#include "settings/AppRec.h"

#include <QApplication>

#include <exception>
#include <iostream>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Varnel"));
    QApplication::setApplicationDisplayName(QStringLiteral("Varnel"));
    QApplication::setApplicationVersion(VersionInfo().FileVersion);
    TQtPrompt prompt;
    DebugLog(QStringLiteral(">>---Varnel Loading"));
    try {
        InitAppRec();
        DoneAppRec();
    } catch (const std::exception& e) {
        const QString text = QString::fromStdString(e.what());
        DebugLog(text);
        std::cerr << e.what() << '\n';
        // Off screen nobody could close the box.
        if (QGuiApplication::platformName() != QStringLiteral("offscreen"))
            prompt.StandardError(text);
        return 1;
    }
    return 0;
}
