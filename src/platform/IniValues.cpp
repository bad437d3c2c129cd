#include "platform/IniValues.h"

#include <limits>

namespace {

bool IsBlankOrControl(QChar c) {
    return c.unicode() <= u' ';
}

bool NeedsQuotes(const QString& item) {
    if (item.isEmpty())
        return true;
    for (QChar c : item)
        if (IsBlankOrControl(c) || c == u',' || c == u'"')
            return true;
    return false;
}

} // namespace

std::optional<int> DecodeInteger(const QString& text) {
    QStringView digits(text);
    bool negative = false;
    if (digits.startsWith(u'-') || digits.startsWith(u'+')) {
        negative = digits.front() == u'-';
        digits = digits.mid(1);
    }
    int base = 10;
    if (digits.startsWith(u"0x") || digits.startsWith(u"0X")) {
        base = 16;
        digits = digits.mid(2);
    } else if (digits.startsWith(u'$')) {
        base = 16;
        digits = digits.mid(1);
    }
    if (digits.isEmpty() || (base == 16 && digits.size() > 8))
        return std::nullopt;
    qint64 value = 0;
    for (QChar c : digits) {
        const int digit = c.isDigit() && c.unicode() < 128 ? c.unicode() - u'0'
                          : base == 16 && c.toLower() >= u'a' && c.toLower() <= u'f'
                              ? c.toLower().unicode() - u'a' + 10
                              : -1;
        if (digit < 0)
            return std::nullopt;
        value = value * base + digit;
        if (base == 10 && value > qint64(std::numeric_limits<int>::max()) + 1)
            return std::nullopt;
    }
    if (base == 16)
        value = static_cast<qint32>(static_cast<quint32>(value));
    if (negative)
        value = -value;
    if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(value);
}

QString EncodeCommaList(const QStringList& items) {
    QStringList parts;
    parts.reserve(items.size());
    for (const QString& item : items) {
        if (NeedsQuotes(item))
            parts << u'"' + QString(item).replace(u'"', QStringLiteral("\"\"")) + u'"';
        else
            parts << item;
    }
    return parts.join(u',');
}

QStringList DecodeCommaList(const QString& text) {
    QStringList items;
    const qsizetype n = text.size();
    qsizetype i = 0;
    auto skipBlanks = [&] {
        while (i < n && IsBlankOrControl(text[i]))
            ++i;
    };
    skipBlanks();
    while (i < n) {
        QString item;
        if (text[i] == u'"') {
            ++i;
            while (i < n) {
                if (text[i] == u'"') {
                    if (i + 1 < n && text[i + 1] == u'"') {
                        item += u'"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                item += text[i++];
            }
        } else {
            const qsizetype start = i;
            while (i < n && !IsBlankOrControl(text[i]) && text[i] != u',')
                ++i;
            item = text.mid(start, i - start);
        }
        items << item;
        skipBlanks();
        if (i < n && text[i] == u',') {
            // A comma at the very end stands for one more, empty item.
            if (i + 1 == n)
                items << QString();
            ++i;
            skipBlanks();
        }
    }
    return items;
}
