#include "export/ImportFile.h"

#include <QSaveFile>
#include <QStringEncoder>

#include <stdexcept>

namespace {

// The encoder marks a character it cannot map with the SUB control byte; a
// SUB that was in the text stays, every other one becomes "?".
QByteArray EncodeWindows1252(const QString& text) {
    QStringEncoder encoder("windows-1252");
    QByteArray bytes = encoder.encode(text);
    if (!encoder.hasError()) {
        return bytes;
    }
    bytes.clear();
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype length = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        QStringEncoder single("windows-1252");
        const QByteArray one = single.encode(text.mid(i, length));
        bytes += single.hasError() ? QByteArray("?") : one;
        i += length;
    }
    return bytes;
}

} // namespace

QByteArray ImportFileBytes(const QStringList& lines) {
    QString text;
    for (const QString& line : lines) {
        text += line;
        text += QLatin1String("\r\n");
    }
    return EncodeWindows1252(text);
}

void SaveImportFile(const QString& path, const QStringList& lines) {
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    const QByteArray bytes = ImportFileBytes(lines);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        throw std::runtime_error(QStringLiteral("Cannot create file \"%1\". %2")
                                     .arg(path, file.errorString())
                                     .toStdString());
    }
}
