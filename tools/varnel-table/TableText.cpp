#include "TableText.h"

#include <charconv>

namespace {

QString Escaped(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\\')
            out += QStringLiteral("\\\\");
        else if (c == u'\t')
            out += QStringLiteral("\\t");
        else if (c == u'\r') {
            out += QStringLiteral("\\n");
            if (i + 1 < text.size() && text.at(i + 1) == u'\n')
                ++i;
        } else if (c == u'\n')
            out += QStringLiteral("\\n");
        else
            out += c;
    }
    return out;
}

// ISO 8601 with astronomical year numbering, so that dates before year 1
// (which real tables hold) print as well: 1 BC is year 0000.
QString IsoDate(const QDate& date) {
    const int year = date.year() < 0 ? date.year() + 1 : date.year();
    QString text = year < 0 ? QStringLiteral("-") : QString();
    text += QStringLiteral("%1-%2-%3")
                .arg(std::abs(year), 4, 10, QLatin1Char('0'))
                .arg(date.month(), 2, 10, QLatin1Char('0'))
                .arg(date.day(), 2, 10, QLatin1Char('0'));
    return text;
}

QString IsoTime(const QTime& time) {
    return time.toString(time.msec() ? QStringLiteral("HH:mm:ss.zzz") : QStringLiteral("HH:mm:ss"));
}

} // namespace

QString CellText(const TFieldDef& field, const TValue& value) {
    struct TVisitor {
        const TFieldDef& Field;
        QString operator()(std::monostate) const { return {}; }
        QString operator()(bool v) const {
            return v ? QStringLiteral("true") : QStringLiteral("false");
        }
        QString operator()(qint64 v) const { return QString::number(v); }
        QString operator()(double v) const {
            char buffer[32];
            const auto end = std::to_chars(buffer, buffer + sizeof buffer, v).ptr;
            return QString::fromLatin1(buffer, end - buffer);
        }
        QString operator()(const QString& v) const { return Escaped(v); }
        QString operator()(const QDate& v) const { return IsoDate(v); }
        QString operator()(const QTime& v) const { return IsoTime(v); }
        QString operator()(const QDateTime& v) const {
            return IsoDate(v.date()) + QLatin1Char('T') + IsoTime(v.time());
        }
        QString operator()(const QByteArray& v) const {
            return QStringLiteral("<%1 bytes>").arg(v.size());
        }
    };
    return std::visit(TVisitor{field}, value);
}
