#pragma once

#include <QString>

class TPrompt;

// Copies `source` to `destination`, replacing it; the destination changes only
// when the whole copy succeeded. On failure shows the warning
// "Unable to Copy:<source>" with an OK button through `prompt` and returns false.
bool CopyAFile(const QString& source, const QString& destination, TPrompt& prompt);

// Deletes the plain files (not hidden, not system, not folders; read-only ones
// too) that match the wildcard mask's file part ("*.*" is every file) in the
// mask's folder, without regard to case. Files that cannot be deleted are skipped.
void DeleteFiles(const QString& mask);

// "Yes" or "No".
QString YesNo(bool value);
