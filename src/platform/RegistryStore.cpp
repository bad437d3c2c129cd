#include "platform/RegistryStore.h"

#include "platform/FileText.h"
#include "platform/ProgramPaths.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QStringList>

#include <optional>
#include <stdexcept>

namespace {

const char* const RootNames[] = {
    "HKEY_CLASSES_ROOT",     "HKEY_CURRENT_USER",   "HKEY_LOCAL_MACHINE", "HKEY_USERS",
    "HKEY_PERFORMANCE_DATA", "HKEY_CURRENT_CONFIG", "HKEY_DYN_DATA"};

const QString Header5 = QStringLiteral("Windows Registry Editor Version 5.00");
const QString Header4 = QStringLiteral("REGEDIT4");

// "HKEY_local_machine\\A\\\\B\\" -> "HKEY_LOCAL_MACHINE\A\B"; empty without a known root.
QString NormalKeyPath(const QString& key) {
    QStringList parts = key.split(u'\\', Qt::SkipEmptyParts);
    if (parts.isEmpty())
        return QString();
    for (const char* root : RootNames)
        if (parts.front().compare(QLatin1String(root), Qt::CaseInsensitive) == 0) {
            parts.front() = QLatin1String(root);
            return parts.join(u'\\');
        }
    return QString();
}

QString Folded(const QString& text) {
    return text.toCaseFolded();
}

QByteArray Utf16Le(const QString& text) {
    QStringEncoder encode(QStringEncoder::Utf16LE);
    return encode(text);
}

// A quoted text with \\ and \" escapes starting at `pos` (on the opening quote);
// `pos` ends past the closing quote. Empty when unterminated.
std::optional<QString> QuotedText(const QString& line, qsizetype& pos) {
    QString text;
    for (qsizetype i = pos + 1; i < line.size(); ++i) {
        const QChar c = line[i];
        if (c == u'\\' && i + 1 < line.size()) {
            text += line[++i];
        } else if (c == u'"') {
            pos = i + 1;
            return text;
        } else {
            text += c;
        }
    }
    return std::nullopt;
}

std::optional<QByteArray> HexBytes(QStringView list) {
    QByteArray bytes;
    for (QStringView item : list.split(u',')) {
        item = item.trimmed();
        if (item.isEmpty() && list.trimmed().isEmpty())
            break;
        bool ok = false;
        const uint value = item.toUInt(&ok, 16);
        if (!ok || item.size() > 2 || value > 0xFF)
            return std::nullopt;
        bytes += char(value);
    }
    return bytes;
}

// Parses the data part of a value line ("text", dword:, hex:, hex(n):).
std::optional<TRegValue> ValueData(const QString& data, bool regedit4) {
    TRegValue value;
    if (data.startsWith(u'"')) {
        qsizetype pos = 0;
        const std::optional<QString> text = QuotedText(data, pos);
        if (!text || !data.mid(pos).trimmed().isEmpty())
            return std::nullopt;
        value.Type = TRegType::String;
        value.Data = Utf16Le(*text + QChar(0));
        return value;
    }
    if (data.startsWith(u"dword:", Qt::CaseInsensitive)) {
        const QString digits = data.mid(6).trimmed();
        bool ok = false;
        const uint number = digits.toUInt(&ok, 16);
        if (!ok || digits.isEmpty() || digits.size() > 8 || digits.startsWith(u'+') ||
            digits.startsWith(u'-') || digits.contains(u'x', Qt::CaseInsensitive))
            return std::nullopt;
        value.Type = TRegType::DWord;
        for (int shift = 0; shift < 32; shift += 8)
            value.Data += char((number >> shift) & 0xFF);
        return value;
    }
    if (!data.startsWith(u"hex", Qt::CaseInsensitive))
        return std::nullopt;
    qsizetype colon = data.indexOf(u':');
    if (colon < 0)
        return std::nullopt;
    const QStringView kind = QStringView(data).mid(3, colon - 3).trimmed();
    value.Type = TRegType::Binary;
    if (!kind.isEmpty()) {
        if (!kind.startsWith(u'(') || !kind.endsWith(u')'))
            return std::nullopt;
        bool ok = false;
        const uint type = kind.mid(1, kind.size() - 2).toUInt(&ok, 16);
        if (!ok)
            return std::nullopt;
        value.Type = TRegType(type);
    }
    std::optional<QByteArray> bytes = HexBytes(QStringView(data).mid(colon + 1));
    if (!bytes)
        return std::nullopt;
    value.Data = *bytes;
    // REGEDIT4 files hold expandable and multi-strings as ANSI bytes.
    if (regedit4 && (value.Type == TRegType::ExpandString || value.Type == TRegType::MultiString)) {
        QStringDecoder from1252("windows-1252");
        value.Data = Utf16Le(from1252(value.Data));
    }
    return value;
}

} // namespace

QString TRegistryStore::DefaultPath() {
    const QString path = qEnvironmentVariable("VARNEL_REGISTRY");
    return path.isEmpty() ? ExePath() + QStringLiteral("/Registry.reg") : path;
}

TRegistryStore TRegistryStore::Load(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) {
        TRegistryStore store;
        store.FPath = path;
        const QFileInfo folder(info.absolutePath());
        store.FWritable = folder.isDir() && !IsWriteProtected(folder.filePath());
        return store;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error(
            QStringLiteral("Unable to read %1").arg(info.absoluteFilePath()).toStdString());
    const QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw std::runtime_error(
            QStringLiteral("Unable to read %1").arg(info.absoluteFilePath()).toStdString());
    TRegistryStore store = Parse(path, content);
    store.FWritable = info.isFile() && !IsWriteProtected(path);
    return store;
}

TRegistryStore TRegistryStore::Parse(const QString& path, const QByteArray& content) {
    TRegistryStore store;
    store.FPath = path;
    store.FContent = content;
    QString text;
    if (content.startsWith("\xFF\xFE")) {
        QStringDecoder decode(QStringDecoder::Utf16LE);
        text = decode(content);
    } else if (content.startsWith("\xFE\xFF")) {
        QStringDecoder decode(QStringDecoder::Utf16BE);
        text = decode(content);
        store.FEncoding = TEncoding::Utf16Be;
    } else {
        bool utf8 = false;
        text = DecodeUtf8Or1252(content, &utf8);
        store.FEncoding = utf8 ? TEncoding::Utf8 : TEncoding::Windows1252;
    }
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    const QString first = text.section(u'\n', 0, 0).trimmed();
    const bool regedit4 = first == Header4;
    if (first != Header5 && !regedit4)
        throw std::runtime_error(
            QStringLiteral("%1 is not a registry file: its first line is neither \"%2\" nor \"%3\"")
                .arg(QFileInfo(path).absoluteFilePath(), Header5, Header4)
                .toStdString());
    store.ParseText(text, regedit4);
    return store;
}

void TRegistryStore::AddKey(const QString& path) {
    const QStringList parts = path.split(u'\\');
    for (qsizetype n = 1; n <= parts.size(); ++n) {
        const QString sub = parts.first(n).join(u'\\');
        const QString folded = Folded(sub);
        if (!FKeys.contains(folded))
            FKeys.insert(folded, TKey{sub, {}});
    }
}

void TRegistryStore::ParseText(const QString& text, bool regedit4) {
    QStringList lines = text.split(u'\n');
    QString current; // case-folded path of the key the value lines belong to
    for (qsizetype i = 1; i < lines.size(); ++i) {
        QString line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith(u';'))
            continue;
        if (line.startsWith(u'[')) {
            const qsizetype close = line.lastIndexOf(u']');
            current.clear();
            if (close < 0)
                continue;
            const bool remove = line.startsWith(u"[-");
            const QString path = NormalKeyPath(line.mid(remove ? 2 : 1, close - (remove ? 2 : 1)));
            if (path.isEmpty())
                continue;
            if (remove) {
                const QString folded = Folded(path);
                FKeys.removeIf([&](const auto& entry) {
                    return entry.key() == folded || entry.key().startsWith(folded + u'\\');
                });
                continue;
            }
            AddKey(path);
            current = Folded(path);
            continue;
        }
        if (current.isEmpty() || (!line.startsWith(u'"') && !line.startsWith(u'@')))
            continue;
        QString name;
        qsizetype pos = 1;
        if (line.startsWith(u'"')) {
            pos = 0;
            const std::optional<QString> quoted = QuotedText(line, pos);
            if (!quoted)
                continue;
            name = *quoted;
        }
        while (pos < line.size() && line[pos].isSpace())
            ++pos;
        if (pos >= line.size() || line[pos] != u'=')
            continue;
        QString data = line.mid(pos + 1).trimmed();
        // Hex data continues on the next line after a trailing backslash.
        if (data.startsWith(u"hex", Qt::CaseInsensitive))
            while (data.endsWith(u'\\') && i + 1 < lines.size()) {
                data.chop(1);
                data += lines[++i].trimmed();
            }
        QList<TRegValue>& values = FKeys[current].Values;
        auto same = [&](const TRegValue& v) { return Folded(v.Name) == Folded(name); };
        if (data == u"-") {
            values.removeIf(same);
            continue;
        }
        std::optional<TRegValue> value = ValueData(data, regedit4);
        if (!value)
            continue;
        value->Name = name;
        values.removeIf(same);
        values.append(*value);
    }
}

bool TRegistryStore::KeyExists(const QString& key) const {
    const QString path = NormalKeyPath(key);
    return !path.isEmpty() && FKeys.contains(Folded(path));
}

const TRegValue* TRegistryStore::FindValue(const QString& key, const QString& name) const {
    const QString path = NormalKeyPath(key);
    const auto found = FKeys.constFind(Folded(path));
    if (path.isEmpty() || found == FKeys.constEnd())
        return nullptr;
    for (const TRegValue& value : found->Values)
        if (Folded(value.Name) == Folded(name))
            return &value;
    return nullptr;
}

bool TRegistryStore::Encode(const QString& text, QByteArray& out) const {
    switch (FEncoding) {
    case TEncoding::Utf16Le:
        out = Utf16Le(text);
        return true;
    case TEncoding::Utf8:
        out = text.toUtf8();
        return true;
    case TEncoding::Windows1252:
        return EncodeWindows1252(text, out);
    case TEncoding::Utf16Be:
        // Read, but never appended to: regedit does not write big-endian files.
        return false;
    }
    return false;
}

bool TRegistryStore::CreateKey(const QString& key) {
    const QString path = NormalKeyPath(key);
    if (path.isEmpty())
        return false;
    if (FKeys.contains(Folded(path)))
        return true;
    if (!FWritable)
        return false;
    QString addition;
    QByteArray content = FContent;
    if (content.isEmpty()) {
        content = "\xFF\xFE";
        addition = Header5 + QStringLiteral("\r\n");
    } else {
        QByteArray newline;
        Encode(QStringLiteral("\n"), newline);
        if (!content.endsWith(newline))
            addition = QStringLiteral("\r\n");
    }
    addition += QStringLiteral("\r\n[%1]\r\n").arg(path);
    QByteArray bytes;
    if (!Encode(addition, bytes) || !ReplaceFileAtomically(FPath, content + bytes))
        return false;
    FContent = content + bytes;
    AddKey(path);
    return true;
}
