#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

// An INI file held in memory: "[section]" lines, each followed by "key=value"
// lines. Section and key names match without regard to case; of duplicates the
// first wins. Writing a key replaces its line where it stands (a new key goes
// after the last key of its section, a new section at the end), and every other
// line keeps its bytes and its line end. The file is UTF-8; one that is not valid
// UTF-8 is read and written as Windows-1252, until a value needs a character that
// Windows-1252 lacks, which turns the whole file into UTF-8.
class TIniFile {
public:
    static constexpr int MaxValueLength = 2047;

    // Reads `fileName`; a missing file is empty. A file that exists but cannot be
    // read is empty too, and UpdateFile refuses to replace it.
    explicit TIniFile(QString fileName);
    // Takes `content` as the file's bytes without reading the disk.
    TIniFile(QString fileName, const QByteArray& content);

    const QString& FileName() const { return FFileName; }

    bool SectionExists(const QString& section) const;
    // The value with surrounding blanks removed, cut at 2047 characters; `def`
    // when the section or key is missing.
    QString ReadString(const QString& section, const QString& key, const QString& def) const;
    // The value as DecodeInteger reads it; `def` when missing or no integer.
    int ReadInteger(const QString& section, const QString& key, int def) const;
    // ReadInteger, non-zero being true.
    bool ReadBool(const QString& section, const QString& key, bool def) const;

    // Sets the key in memory. Raises std::invalid_argument for a section name
    // with "]", a key with "=", or any of them with a line break, since such a
    // line would not read back.
    void WriteString(const QString& section, const QString& key, const QString& value);
    void WriteInteger(const QString& section, const QString& key, int value);
    void WriteBool(const QString& section, const QString& key, bool value); // "1" or "0"

    // The bytes the file holds after the writes so far.
    QByteArray Content() const;
    // Writes the file (atomically) when it is new or was changed. Raises
    // std::runtime_error "Unable to write to <full path>" when that fails.
    void UpdateFile();

private:
    struct TLine {
        QString Text;   // decoded, without line end
        QByteArray Raw; // the bytes of Text
        QByteArray Eol; // "\r\n", "\n", or empty for a last line without one
    };
    enum class TLineKind { Other, Section, Key };
    struct TParsed {
        TLineKind Kind = TLineKind::Other;
        QString Name; // section or key name
        QString Value;
    };

    void Parse(const QByteArray& content);
    static TParsed ParseLine(const QString& text);
    qsizetype FindSection(const QString& section) const;
    qsizetype SectionEnd(qsizetype header) const;
    qsizetype FindKey(qsizetype header, const QString& key) const;
    QByteArray Encode(const QString& text);
    void SetLine(qsizetype index, const QString& text);
    void InsertLine(qsizetype index, const QString& text);

    QString FFileName;
    std::vector<TLine> FLines;
    bool FUtf8 = true;
    bool FBom = false;
    bool FExists = false;
    bool FUnreadable = false;
    bool FChanged = false;
};
