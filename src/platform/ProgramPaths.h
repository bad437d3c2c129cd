#pragma once

#include <QString>

// Where the program keeps its files. Paths are joined with "/" and carry no
// trailing separator.

// The running executable's full path.
QString ExeFilePath();

// The executable's file name without its last extension ("varnel").
QString ExeBaseName();

// The program folder: $VARNEL_HOME when set (created when missing), else the executable's folder
// when it is writable, else $XDG_DATA_HOME/varnel (~/.local/share/varnel), which is created then.
// Settings, diagnostic log, registry store and inbox live here.
QString ExePath();

// The program folder for an executable in `exeFolder` when VARNEL_HOME is not
// set: that folder when it is writable, else the data folder described above.
QString ProgramFolder(const QString& exeFolder);

// The temporary folder: $Temp, else $TEMP, else $TMPDIR, else the system's
// temporary folder; never empty, trailing separators removed.
QString TempPath();

// Makes sure `tempPath`/`baseName` is a real directory owned by this user with
// mode 0700 (creating it and missing parents) and returns it. When that path
// is taken by something else (a symlink, a file, another user's folder),
// `tempPath`/`baseName`-<uid> is used the same way. Raises std::runtime_error
// when neither can be had.
QString MakeMyTemp(const QString& tempPath, const QString& baseName);
