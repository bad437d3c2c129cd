#include "platform/FileText.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

QString DecodeUtf8Or1252(const QByteArray& bytes, bool* utf8) {
    // Stateless: a sequence cut short at the end is an error too, where a
    // stateful decoder would hold it back silently and lose its bytes.
    QStringDecoder fromUtf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = fromUtf8(bytes);
    const bool valid = !fromUtf8.hasError();
    if (utf8)
        *utf8 = valid;
    if (valid)
        return text;
    QStringDecoder from1252("windows-1252");
    return from1252(bytes);
}

bool EncodeWindows1252(const QString& text, QByteArray& out) {
    QStringEncoder to1252("windows-1252");
    QByteArray bytes = to1252(text);
    // The encoder substitutes what it cannot map; a round trip shows it.
    QStringDecoder from1252("windows-1252");
    if (to1252.hasError() || QString(from1252(bytes)) != text)
        return false;
    out = bytes;
    return true;
}

bool IsWriteProtected(const QString& path) {
    const QFileInfo info(path);
    const auto anyWrite = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    return info.exists() && (!info.isWritable() || (info.permissions() & anyWrite) == 0);
}

bool ReplaceFileAtomically(const QString& path, const QByteArray& data) {
    const QFileInfo info(path);
    // A rename would replace a write-protected file too; honour the protection.
    if (info.exists() && (!info.isFile() || IsWriteProtected(path)))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(data) != data.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
