#pragma once

#include "platform/Registry.h"

#include <QString>
#include <QStringList>

// Settings kept outside the program: a settings file name, a list of setting
// lines and a registry root from which text values are read.
class TIniOut {
public:
    // `storePath` empty: the registry store at TRegistryStore::DefaultPath().
    explicit TIniOut(QString storePath = QString());

    // With ChangeExt, SetFileName replaces the extension (the part from the last
    // dot after the last "/", "\" or ":") by ".INI", adding it when there is
    // none, and upper-cases the letters a to z.
    bool ChangeExt = false;
    TRegRoots RegistryRoot = TRegRoots::CURRENT_USER;

    const QString& FileName() const { return FFileName; }
    void SetFileName(const QString& value);
    const QStringList& Items() const { return FItems; }
    void SetItems(const QStringList& items); // keeps a copy

    // Points `reg` at RegistryRoot and opens `key` for reg's access mode,
    // creating it and its missing parents when needed.
    bool OpenRegKey(TRegistry& reg, const QString& key) const;

    // The text value `name` of `key`, or `def` when the key cannot be opened or
    // the value does not exist. The key is opened with full access, creating it
    // when missing; when full access is refused it is opened for reading, so
    // existing values are still read. Raises std::runtime_error "Invalid data
    // type for '<name>'" for a value that is not text, and when the store
    // cannot be read.
    QString ReadRegString(const QString& key, const QString& name, const QString& def) const;

private:
    QString FStorePath;
    QString FFileName;
    QStringList FItems;
};
