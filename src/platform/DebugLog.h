#pragma once

#include <QDateTime>
#include <QString>

// The diagnostic log DEBUG.LOG in the program folder (ExePath): one entry per
// line, the newest last, at most 500 lines after each write.

// Set when writing the log failed; while set, DebugLog does nothing.
// InitAppRec clears it, which gives the log one more try.
extern bool LogDisabled;

// "<short date> <long time> [<main thread id>]  <message>" in the user's locale;
// the time and its blank are left out at exactly midnight.
QString FormatLogEntry(const QDateTime& when, const QString& message);

// Appends one entry (a message with line breaks becomes several lines) and drops
// the oldest lines beyond 500. A log that cannot be read starts afresh; one that
// cannot be written is left as it is and sets LogDisabled. Never raises.
void DebugLog(const QString& message);

// When `fileName` exists in the program folder: logs its name, then its whole
// text as one entry whose every line, the last too, ends in a line break.
// A missing or unreadable file logs nothing.
void DebugLogFile(const QString& fileName);
