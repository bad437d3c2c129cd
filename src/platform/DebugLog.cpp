#include "platform/DebugLog.h"

#include "platform/FileText.h"
#include "platform/ProgramPaths.h"

#include <QCoreApplication>
#include <QFile>
#include <QLocale>
#include <QStringList>

bool LogDisabled = false;

namespace {

constexpr qsizetype MaxLogLines = 500;

QStringList SplitLines(const QString& text) {
    QStringList lines =
        QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).split(u'\n');
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast();
    return lines;
}

} // namespace

QString FormatLogEntry(const QDateTime& when, const QString& message) {
    const QLocale locale = QLocale::system();
    QString stamp = locale.toString(when.date(), locale.dateFormat(QLocale::ShortFormat));
    const QTime time = when.time();
    if (time.hour() != 0 || time.minute() != 0 || time.second() != 0)
        stamp += u' ' + locale.toString(when, locale.timeFormat(QLocale::LongFormat));
    // On Linux the main thread's id is the process id.
    return QStringLiteral("%1 [%2]  %3")
        .arg(stamp, QString::number(QCoreApplication::applicationPid()), message);
}

void DebugLog(const QString& message) {
    if (LogDisabled)
        return;
    const QString path = ExePath() + QStringLiteral("/DEBUG.LOG");
    QStringList lines;
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        const QByteArray bytes = file.readAll();
        if (file.error() == QFileDevice::NoError)
            lines = SplitLines(DecodeUtf8Or1252(bytes));
        file.close();
    }
    lines << FormatLogEntry(QDateTime::currentDateTime(),
                            QString(message).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    if (lines.size() > MaxLogLines)
        lines.erase(lines.begin(), lines.end() - MaxLogLines);
    if (!ReplaceFileAtomically(path, (lines.join(u'\n') + u'\n').toUtf8()))
        LogDisabled = true;
}

void DebugLogFile(const QString& fileName) {
    QFile file(ExePath() + u'/' + fileName);
    if (!file.exists() || !file.open(QIODevice::ReadOnly))
        return;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return;
    QString text;
    for (const QString& line : SplitLines(DecodeUtf8Or1252(bytes)))
        text += line + u'\n';
    DebugLog(fileName);
    DebugLog(text);
}
