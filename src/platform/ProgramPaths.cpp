#include "platform/ProgramPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <stdexcept>

#include <unistd.h>

namespace {

QString WithoutTrailingSeparators(QString path) {
    while (path.size() > 1 && (path.endsWith(u'/') || path.endsWith(u'\\')))
        path.chop(1);
    return path;
}

// A directory we may empty: not a symlink, ours, and private (tightened when
// it is ours but open to others).
bool IsOwnPrivateDirectory(const QString& path) {
    const QFileInfo info(path);
    if (info.isSymLink() || !info.isDir() || info.ownerId() != ::geteuid())
        return false;
    const auto privateMode = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
    const auto others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther |
                        QFile::WriteOther | QFile::ExeOther;
    const QFile::Permissions mode = QFile::permissions(path);
    if ((mode & others) == 0 && (mode & privateMode) == privateMode)
        return true;
    return QFile::setPermissions(path, privateMode);
}

bool MakePrivateDirectory(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink()) {
        QDir().mkpath(info.absolutePath());
        QDir().mkdir(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    return IsOwnPrivateDirectory(path);
}

} // namespace

QString ExeFilePath() {
    if (QCoreApplication::instance())
        return QCoreApplication::applicationFilePath();
    return QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
}

QString ExeBaseName() {
    return QFileInfo(ExeFilePath()).completeBaseName();
}

QString ExePath() {
    const QString home = qEnvironmentVariable("VARNEL_HOME");
    if (!home.isEmpty()) {
        QDir().mkpath(home);
        return WithoutTrailingSeparators(home);
    }
    return ProgramFolder(QFileInfo(ExeFilePath()).absolutePath());
}

QString ProgramFolder(const QString& exeFolder) {
    if (QFileInfo(exeFolder).isWritable())
        return WithoutTrailingSeparators(exeFolder);
    QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (data.isEmpty())
        data = QDir::homePath() + QStringLiteral("/.local/share");
    data += QStringLiteral("/varnel");
    QDir().mkpath(data);
    return data;
}

QString TempPath() {
    for (const char* name : {"Temp", "TEMP", "TMPDIR"}) {
        const QString value = qEnvironmentVariable(name);
        if (!value.isEmpty())
            return WithoutTrailingSeparators(value);
    }
    return WithoutTrailingSeparators(QDir::tempPath());
}

QString MakeMyTemp(const QString& tempPath, const QString& baseName) {
    const QString path = tempPath + u'/' + baseName;
    if (MakePrivateDirectory(path))
        return path;
    const QString fallback = path + u'-' + QString::number(::geteuid());
    if (MakePrivateDirectory(fallback))
        return fallback;
    throw std::runtime_error(QStringLiteral("No private temporary folder at %1 or %2")
                                 .arg(path, fallback)
                                 .toStdString());
}
