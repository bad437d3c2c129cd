#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The bytes of an import file: every line followed by CR LF (also the last),
// in Windows-1252 with no byte-order mark; a character that code page cannot
// hold becomes "?". No lines give no bytes.
QByteArray ImportFileBytes(const QStringList& lines);

// Saves `lines` as ImportFileBytes at `path`, replacing any file of that name.
// The bytes go to a temporary file beside `path` whose name does not end in
// .csv, which is then renamed over `path`, so a reader of the inbox never sees
// half a file. Raises std::runtime_error naming the path when it cannot.
void SaveImportFile(const QString& path, const QStringList& lines);
