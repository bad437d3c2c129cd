#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

// Registry data types as the .reg format numbers them in "hex(n):".
enum class TRegType : quint32 {
    None = 0,
    String = 1,       // "text"
    ExpandString = 2, // hex(2):
    Binary = 3,       // hex:
    DWord = 4,        // dword:
    MultiString = 7,  // hex(7):
    QWord = 11,       // hex(b):
};

// One named value. String types hold UTF-16LE with the terminating NUL, as the
// registry stores them; an unusual "hex(n)" type keeps its number.
struct TRegValue {
    QString Name; // empty for the default value "@"
    TRegType Type = TRegType::None;
    QByteArray Data;
};

// A registry kept as a file in the .reg export format ("Windows Registry Editor
// Version 5.00" or "REGEDIT4" header; UTF-16LE, UTF-8 or Windows-1252 text).
// Key paths are full ("HKEY_LOCAL_MACHINE\SOFTWARE\..."); keys and value names
// match without regard to case. A key listed in the file implies its parents.
// Lines that do not parse are ignored.
class TRegistryStore {
public:
    // $VARNEL_REGISTRY, else Registry.reg in the program folder.
    static QString DefaultPath();

    // Reads `path`; a missing file is an empty store. Raises std::runtime_error
    // when the file cannot be read or has no registry header.
    static TRegistryStore Load(const QString& path);
    // Parses `content` as the file `path` without reading the disk; the store
    // is read-only.
    static TRegistryStore Parse(const QString& path, const QByteArray& content);

    const QString& Path() const { return FPath; }
    // Whether keys can be created: the file (or, when missing, its folder) is writable.
    bool Writable() const { return FWritable; }
    bool KeyExists(const QString& key) const;
    // The value, or nullptr when the key or the value does not exist.
    const TRegValue* FindValue(const QString& key, const QString& name) const;

    // Creates the key and its missing parents by appending a key line to the
    // file, written atomically; the rest of the file keeps its bytes. Returns
    // false, changing nothing, when the store is not writable, the key path has
    // no known root or the write fails.
    bool CreateKey(const QString& key);

    // The file's bytes as the store would write them.
    const QByteArray& Content() const { return FContent; }

private:
    enum class TEncoding { Utf16Le, Utf16Be, Utf8, Windows1252 };
    struct TKey {
        QString Path;
        QList<TRegValue> Values;
    };

    void ParseText(const QString& text, bool regedit4);
    void AddKey(const QString& path);
    bool Encode(const QString& text, QByteArray& out) const;

    QString FPath;
    QByteArray FContent;
    TEncoding FEncoding = TEncoding::Utf16Le;
    bool FWritable = false;
    QHash<QString, TKey> FKeys; // by case-folded path
};
