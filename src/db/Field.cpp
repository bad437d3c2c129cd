#include "db/Field.h"

#include "db/DataSet.h"
#include "db/format/DBEngineError.h"

#include <QRegularExpression>

#include <cmath>
#include <limits>
#include <optional>

namespace {

[[noreturn]] void ConversionError(const TValue& value, const char* target, const QString& what) {
    throw EDBEngineError(DBErrorCode::General,
                         QStringLiteral("%1: '%2' is not a valid %3")
                             .arg(what, ValueToText(value), QString::fromLatin1(target)));
}

std::optional<qint64> ToInteger(const TValue& value) {
    if (const auto* i = std::get_if<qint64>(&value))
        return *i;
    if (const auto* b = std::get_if<bool>(&value))
        return *b ? 1 : 0;
    if (const auto* d = std::get_if<double>(&value)) {
        if (!std::isfinite(*d) || std::fabs(*d) > 9.2e18)
            return std::nullopt;
        return std::llround(*d);
    }
    if (const auto* s = std::get_if<QString>(&value)) {
        bool ok = false;
        const qint64 i = s->trimmed().toLongLong(&ok);
        if (ok)
            return i;
        const double d = s->trimmed().toDouble(&ok);
        if (ok && std::isfinite(d) && std::fabs(d) <= 9.2e18 && d == std::floor(d))
            return static_cast<qint64>(d);
    }
    return std::nullopt;
}

std::optional<double> ToDouble(const TValue& value) {
    if (const auto* d = std::get_if<double>(&value))
        return *d;
    if (const auto* i = std::get_if<qint64>(&value))
        return static_cast<double>(*i);
    if (const auto* b = std::get_if<bool>(&value))
        return *b ? 1.0 : 0.0;
    if (const auto* s = std::get_if<QString>(&value)) {
        bool ok = false;
        const double d = s->trimmed().toDouble(&ok);
        if (ok)
            return d;
    }
    return std::nullopt;
}

// Dates as yyyy-MM-dd in ISO 8601 year numbering, also for years that Qt's
// ISO form leaves out (the format holds years before 1 and after 9999): year
// 0 is 1 BC, -1 is 2 BC, with a sign and at least four digits.
QString DateText(const QDate& d) {
    if (!d.isValid())
        return {};
    const int iso = d.year() < 0 ? d.year() + 1 : d.year();
    return QString::asprintf("%s%04d-%02d-%02d", iso < 0 ? "-" : "", iso < 0 ? -iso : iso,
                             d.month(), d.day());
}

QDate ParseDate(const QString& text) {
    static const QRegularExpression pattern(
        QStringLiteral("^(-?)(\\d{1,7})-(\\d{1,2})-(\\d{1,2})$"));
    const auto m = pattern.match(text);
    if (!m.hasMatch())
        return {};
    const int iso = m.captured(2).toInt() * (m.captured(1).isEmpty() ? 1 : -1);
    return QDate(iso <= 0 ? iso - 1 : iso, m.captured(3).toInt(), m.captured(4).toInt());
}

QTime ParseTime(const QString& text) {
    QTime t = QTime::fromString(text, QStringLiteral("HH:mm:ss.zzz"));
    if (!t.isValid())
        t = QTime::fromString(text, QStringLiteral("HH:mm:ss"));
    if (!t.isValid())
        t = QTime::fromString(text, QStringLiteral("HH:mm"));
    return t;
}

QDateTime ToDateTime(const TValue& value) {
    if (const auto* dt = std::get_if<QDateTime>(&value))
        return *dt;
    if (const auto* d = std::get_if<QDate>(&value))
        return QDateTime(*d, QTime(0, 0));
    if (const auto* s = std::get_if<QString>(&value)) {
        const QString t = s->trimmed();
        const auto split = t.indexOf(QRegularExpression(QStringLiteral("[ T]")), 1);
        const QDate d = ParseDate(split < 0 ? t : t.left(split));
        const QTime time = split < 0 ? QTime(0, 0) : ParseTime(t.mid(split + 1));
        if (d.isValid() && time.isValid())
            return QDateTime(d, time);
    }
    return {};
}

} // namespace

QString ValueToText(const TValue& value) {
    struct TVisitor {
        QString operator()(std::monostate) const { return {}; }
        QString operator()(bool b) const {
            return b ? QStringLiteral("True") : QStringLiteral("False");
        }
        QString operator()(qint64 i) const { return QString::number(i); }
        QString operator()(double d) const { return QString::number(d, 'g', 15); }
        QString operator()(const QString& s) const { return s; }
        QString operator()(const QDate& d) const { return DateText(d); }
        QString operator()(const QTime& t) const {
            return t.toString(t.msec() ? QStringLiteral("HH:mm:ss.zzz")
                                       : QStringLiteral("HH:mm:ss"));
        }
        QString operator()(const QDateTime& dt) const {
            return DateText(dt.date()) + QLatin1Char(' ') + (*this)(dt.time());
        }
        QString operator()(const QByteArray& b) const { return QString::fromLatin1(b); }
    };
    return std::visit(TVisitor{}, value);
}

TValue ConvertValue(const TValue& value, TFieldType type, const QString& what) {
    if (IsBlank(value))
        return value;
    switch (type) {
    case TFieldType::Alpha:
    case TFieldType::Memo:
    case TFieldType::FmtMemo:
        return ValueToText(value);
    case TFieldType::Short:
    case TFieldType::Long:
    case TFieldType::AutoInc: {
        if (const auto* s = std::get_if<QString>(&value); s && s->trimmed().isEmpty())
            return std::monostate{};
        const auto i = ToInteger(value);
        const qint64 limit = type == TFieldType::Short ? std::numeric_limits<qint16>::max()
                                                       : std::numeric_limits<qint32>::max();
        if (!i || *i > limit || *i < -limit)
            ConversionError(value, "integer", what);
        return *i;
    }
    case TFieldType::Number:
    case TFieldType::Money:
    case TFieldType::BCD: {
        if (const auto* s = std::get_if<QString>(&value); s && s->trimmed().isEmpty())
            return std::monostate{};
        const auto d = ToDouble(value);
        if (!d)
            ConversionError(value, "number", what);
        return *d;
    }
    case TFieldType::Logical: {
        if (const auto* s = std::get_if<QString>(&value)) {
            const QString t = s->trimmed().toUpper();
            if (t.isEmpty())
                return std::monostate{};
            if (t == QLatin1String("TRUE") || t == QLatin1String("T") || t == QLatin1String("1"))
                return true;
            if (t == QLatin1String("FALSE") || t == QLatin1String("F") || t == QLatin1String("0"))
                return false;
            ConversionError(value, "logical value", what);
        }
        const auto i = ToInteger(value);
        if (!i)
            ConversionError(value, "logical value", what);
        return *i != 0;
    }
    case TFieldType::Date: {
        if (const auto* d = std::get_if<QDate>(&value))
            return *d;
        const QDateTime dt = ToDateTime(value);
        if (!dt.isValid())
            ConversionError(value, "date", what);
        return dt.date();
    }
    case TFieldType::Time: {
        if (const auto* t = std::get_if<QTime>(&value))
            return *t;
        if (const auto* s = std::get_if<QString>(&value)) {
            const QTime t = ParseTime(s->trimmed());
            if (t.isValid())
                return t;
        }
        const QDateTime dt = ToDateTime(value);
        if (!dt.isValid())
            ConversionError(value, "time", what);
        return dt.time();
    }
    case TFieldType::Timestamp: {
        const QDateTime dt = ToDateTime(value);
        if (!dt.isValid())
            ConversionError(value, "date-time", what);
        return dt;
    }
    case TFieldType::Binary:
    case TFieldType::Ole:
    case TFieldType::Graphic:
    case TFieldType::Bytes:
        if (const auto* b = std::get_if<QByteArray>(&value))
            return *b;
        return ValueToText(value).toUtf8();
    }
    return value;
}

TValue TField::Value() const {
    return FDataSet->CurrentValue(FDef.Number - 1);
}

QString TField::AsString() const {
    return ValueToText(Value());
}

qint64 TField::AsInteger() const {
    const TValue v = Value();
    if (IsBlank(v))
        return 0;
    const auto i = ToInteger(v);
    if (!i)
        ConversionError(v, "integer", FDef.Name);
    return *i;
}

double TField::AsFloat() const {
    const TValue v = Value();
    if (IsBlank(v))
        return 0.0;
    const auto d = ToDouble(v);
    if (!d)
        ConversionError(v, "number", FDef.Name);
    return *d;
}

bool TField::AsBoolean() const {
    const TValue v = ConvertValue(Value(), TFieldType::Logical, FDef.Name);
    return !IsBlank(v) && std::get<bool>(v);
}

QDateTime TField::AsDateTime() const {
    return ToDateTime(Value());
}

void TField::SetValue(const TValue& value) {
    FDataSet->SetCurrentValue(FDef.Number - 1, ConvertValue(value, FDef.Type, FDef.Name));
}
