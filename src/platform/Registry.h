#pragma once

#include "platform/RegistryStore.h"

#include <QString>

#include <optional>

// The predefined registry roots, in their customary order.
enum class TRegRoots {
    CLASSES_ROOT,
    CURRENT_USER,
    LOCAL_MACHINE,
    USERS,
    PERFORMANCE_DATA,
    CURRENT_CONFIG,
    DYN_DATA
};

// "HKEY_LOCAL_MACHINE" and so on.
QString RegRootName(TRegRoots root);

// How a key is opened: reading only, or reading, writing and creating sub-keys.
enum class TRegAccess { Read, Full };

// Access to one key at a time of the registry store (TRegistryStore). The store
// is read at the first OpenKey; errors reading it are raised from there.
class TRegistry {
public:
    // `storePath` empty: TRegistryStore::DefaultPath().
    explicit TRegistry(TRegAccess access, QString storePath = QString());

    TRegRoots RootKey = TRegRoots::CURRENT_USER;
    TRegAccess Access;

    void CloseKey();
    // Opens `key` (relative to RootKey), creating it and missing parents when
    // `canCreate`. Full access, and creating, need a writable store; returns
    // whether the key is open.
    bool OpenKey(const QString& key, bool canCreate);
    bool ValueExists(const QString& name) const;
    // The open key's value as text: empty when its data is empty; a string or
    // expandable string up to its first NUL, references left unexpanded. Raises
    // std::runtime_error "Invalid data type for '<name>'" for other types, and
    // for a value that does not exist.
    QString ReadString(const QString& name) const;

private:
    QString FStorePath;
    std::optional<TRegistryStore> FStore;
    QString FCurrentKey; // full path of the open key, empty when none
};
