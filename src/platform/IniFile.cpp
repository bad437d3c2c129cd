#include "platform/IniFile.h"

#include "platform/FileText.h"
#include "platform/IniValues.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <stdexcept>

namespace {

const QByteArray Utf8Bom("\xEF\xBB\xBF");

bool SameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool HasLineBreak(const QString& text) {
    return text.contains(u'\n') || text.contains(u'\r');
}

} // namespace

TIniFile::TIniFile(QString fileName) : FFileName(std::move(fileName)) {
    QFile file(FFileName);
    FExists = QFileInfo::exists(FFileName);
    if (!FExists)
        return;
    if (!file.open(QIODevice::ReadOnly)) {
        FUnreadable = true;
        return;
    }
    Parse(file.readAll());
    if (file.error() != QFileDevice::NoError) {
        FUnreadable = true;
        FLines.clear();
    }
}

TIniFile::TIniFile(QString fileName, const QByteArray& content) : FFileName(std::move(fileName)) {
    FExists = true;
    Parse(content);
}

void TIniFile::Parse(const QByteArray& content) {
    QByteArray bytes = content;
    if (bytes.startsWith(Utf8Bom)) {
        FBom = true;
        bytes.remove(0, Utf8Bom.size());
    }
    DecodeUtf8Or1252(bytes, &FUtf8);
    // Each line is decoded on its own: stateless, and keeping a byte-order
    // mark that starts a line as text (only the file's first one is a mark).
    QStringDecoder decode =
        FUtf8 ? QStringDecoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless |
                                                         QStringDecoder::Flag::ConvertInitialBom)
              : QStringDecoder("windows-1252");
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        TLine line;
        if (end < 0) {
            end = bytes.size();
        } else {
            line.Eol = "\n";
        }
        qsizetype textEnd = end;
        if (!line.Eol.isEmpty() && textEnd > start && bytes[textEnd - 1] == '\r') {
            --textEnd;
            line.Eol = "\r\n";
        }
        line.Raw = bytes.mid(start, textEnd - start);
        line.Text = decode(line.Raw);
        FLines.push_back(std::move(line));
        start = end + 1;
    }
}

TIniFile::TParsed TIniFile::ParseLine(const QString& text) {
    const QString trimmed = text.trimmed();
    TParsed parsed;
    if (trimmed.startsWith(u'[')) {
        const qsizetype close = trimmed.indexOf(u']');
        parsed.Kind = TLineKind::Section;
        parsed.Name = trimmed.mid(1, close < 0 ? -1 : close - 1).trimmed();
    } else if (!trimmed.startsWith(u';')) {
        const qsizetype eq = trimmed.indexOf(u'=');
        if (eq > 0) {
            parsed.Kind = TLineKind::Key;
            parsed.Name = trimmed.left(eq).trimmed();
            parsed.Value = trimmed.mid(eq + 1).trimmed();
        }
    }
    return parsed;
}

qsizetype TIniFile::FindSection(const QString& section) const {
    for (qsizetype i = 0; i < qsizetype(FLines.size()); ++i) {
        const TParsed parsed = ParseLine(FLines[size_t(i)].Text);
        if (parsed.Kind == TLineKind::Section && SameName(parsed.Name, section))
            return i;
    }
    return -1;
}

qsizetype TIniFile::SectionEnd(qsizetype header) const {
    qsizetype i = header + 1;
    while (i < qsizetype(FLines.size()) &&
           ParseLine(FLines[size_t(i)].Text).Kind != TLineKind::Section)
        ++i;
    return i;
}

qsizetype TIniFile::FindKey(qsizetype header, const QString& key) const {
    const qsizetype end = SectionEnd(header);
    for (qsizetype i = header + 1; i < end; ++i) {
        const TParsed parsed = ParseLine(FLines[size_t(i)].Text);
        if (parsed.Kind == TLineKind::Key && SameName(parsed.Name, key))
            return i;
    }
    return -1;
}

bool TIniFile::SectionExists(const QString& section) const {
    return FindSection(section) >= 0;
}

QString TIniFile::ReadString(const QString& section, const QString& key, const QString& def) const {
    const qsizetype header = FindSection(section);
    const qsizetype line = header < 0 ? -1 : FindKey(header, key);
    if (line < 0)
        return def;
    return ParseLine(FLines[size_t(line)].Text).Value.left(MaxValueLength);
}

int TIniFile::ReadInteger(const QString& section, const QString& key, int def) const {
    const qsizetype header = FindSection(section);
    const qsizetype line = header < 0 ? -1 : FindKey(header, key);
    if (line < 0)
        return def;
    return DecodeInteger(ReadString(section, key, QString())).value_or(def);
}

bool TIniFile::ReadBool(const QString& section, const QString& key, bool def) const {
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

QByteArray TIniFile::Encode(const QString& text) {
    if (FUtf8)
        return text.toUtf8();
    QByteArray bytes;
    if (EncodeWindows1252(text, bytes))
        return bytes;
    // Keep every character: the file becomes UTF-8 as a whole.
    FUtf8 = true;
    for (TLine& line : FLines)
        line.Raw = line.Text.toUtf8();
    return text.toUtf8();
}

void TIniFile::SetLine(qsizetype index, const QString& text) {
    TLine& line = FLines[size_t(index)];
    if (line.Text == text)
        return;
    QByteArray raw = Encode(text);
    line.Text = text;
    line.Raw = std::move(raw);
    FChanged = true;
}

void TIniFile::InsertLine(qsizetype index, const QString& text) {
    QByteArray eol = "\n";
    for (const TLine& line : FLines)
        if (!line.Eol.isEmpty()) {
            eol = line.Eol;
            break;
        }
    if (index > 0 && FLines[size_t(index - 1)].Eol.isEmpty())
        FLines[size_t(index - 1)].Eol = eol;
    QByteArray raw = Encode(text);
    FLines.insert(FLines.begin() + index, TLine{text, std::move(raw), eol});
    FChanged = true;
}

void TIniFile::WriteString(const QString& section, const QString& key, const QString& value) {
    if (section.contains(u']') || HasLineBreak(section) || key.contains(u'=') ||
        HasLineBreak(key) || HasLineBreak(value) || key.trimmed().isEmpty() ||
        key.trimmed().startsWith(u'[') || key.trimmed().startsWith(u';'))
        throw std::invalid_argument("A setting that cannot be stored on one INI line: [" +
                                    section.toStdString() + "] " + key.toStdString());
    const QString keyLine = key + u'=' + value;
    const qsizetype header = FindSection(section);
    if (header < 0) {
        qsizetype end = qsizetype(FLines.size());
        if (end > 0 && !FLines.back().Text.trimmed().isEmpty())
            InsertLine(end++, QString());
        InsertLine(end++, u'[' + section + u']');
        InsertLine(end, keyLine);
        return;
    }
    const qsizetype line = FindKey(header, key);
    if (line >= 0) {
        SetLine(line, ParseLine(FLines[size_t(line)].Text).Name + u'=' + value);
        return;
    }
    // After the section's last key: blank lines and comments that follow it
    // usually introduce what comes next.
    qsizetype last = SectionEnd(header) - 1;
    while (last > header && ParseLine(FLines[size_t(last)].Text).Kind != TLineKind::Key)
        --last;
    InsertLine(last + 1, keyLine);
}

void TIniFile::WriteInteger(const QString& section, const QString& key, int value) {
    WriteString(section, key, QString::number(value));
}

void TIniFile::WriteBool(const QString& section, const QString& key, bool value) {
    WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

QByteArray TIniFile::Content() const {
    QByteArray bytes = FBom ? Utf8Bom : QByteArray();
    for (const TLine& line : FLines)
        bytes += line.Raw + line.Eol;
    return bytes;
}

void TIniFile::UpdateFile() {
    if (FExists && !FChanged)
        return;
    if (FUnreadable || !ReplaceFileAtomically(FFileName, Content()))
        throw std::runtime_error(QStringLiteral("Unable to write to %1")
                                     .arg(QFileInfo(FFileName).absoluteFilePath())
                                     .toStdString());
    FExists = true;
    FChanged = false;
}
