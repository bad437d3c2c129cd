#include "platform/Processes.h"

#include "platform/ProgramPaths.h"

#include <QDir>
#include <QFileInfo>

int CountProcessesNamed(const QString& exeFileName) {
    int count = 0;
    const QDir proc(QStringLiteral("/proc"));
    for (const QString& pid : proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool numeric = false;
        pid.toLongLong(&numeric);
        if (!numeric)
            continue;
        QString target = QFileInfo(proc.filePath(pid) + QStringLiteral("/exe")).symLinkTarget();
        if (target.isEmpty())
            continue;
        // A replaced executable still counts under its own name.
        if (target.endsWith(u" (deleted)"))
            target.chop(10);
        if (QFileInfo(target).fileName().compare(exeFileName, Qt::CaseInsensitive) == 0)
            ++count;
    }
    return count;
}

int InstanceCount() {
    return CountProcessesNamed(QFileInfo(ExeFilePath()).fileName());
}
