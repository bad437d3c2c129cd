#pragma once

#include <QString>

// The program's version information, fixed at build time.
struct TVersionInfo {
    QString ProductName;
    QString FileVersion; // "major.minor.patch"
    QString FileDescription;
    QString LegalCopyright;
    QString Comments;
};

const TVersionInfo& VersionInfo();

// The value of one key ("ProductName", "FileVersion", "FileDescription",
// "LegalCopyright", "Comments"; any case), empty for another key.
QString VersionInfoValue(const QString& key);
