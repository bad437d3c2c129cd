#include "platform/FileUtils.h"

#include "platform/FileText.h"
#include "platform/Prompt.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

bool CopyWhole(const QString& source, const QString& destination) {
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    const QFileInfo target(destination);
    if (target.exists() && (!target.isFile() || IsWriteProtected(destination)))
        return false;
    QSaveFile out(destination);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    QByteArray chunk;
    while (!(chunk = in.read(1 << 16)).isEmpty())
        if (out.write(chunk) != chunk.size())
            break;
    if (in.error() != QFileDevice::NoError || out.error() != QFileDevice::NoError) {
        out.cancelWriting();
        return false;
    }
    return out.commit();
}

} // namespace

bool CopyAFile(const QString& source, const QString& destination, TPrompt& prompt) {
    if (CopyWhole(source, destination))
        return true;
    prompt.Message(QStringLiteral("Unable to Copy:") + source, TMsgType::Warning, TMsgButtons::Ok);
    return false;
}

void DeleteFiles(const QString& mask) {
    const QFileInfo maskInfo(mask);
    QString pattern = maskInfo.fileName();
    if (pattern == u"*.*")
        pattern = QStringLiteral("*");
    const QDir folder(maskInfo.path());
    for (const QFileInfo& file : folder.entryInfoList({pattern}, QDir::Files | QDir::NoSymLinks))
        QFile::remove(file.filePath());
}

QString YesNo(bool value) {
    return value ? QStringLiteral("Yes") : QStringLiteral("No");
}
