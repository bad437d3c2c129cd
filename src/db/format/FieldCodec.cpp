#include "FieldCodec.h"

#include "ByteIo.h"
#include "DBEngineError.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace FieldCodec {
namespace {

bool AllZero(std::span<const std::uint8_t> bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b == 0; });
}

// Big-endian two's complement with the top bit flipped (S, I, +, D, T).
qint64 DecodeInt(std::span<const std::uint8_t> bytes) {
    std::uint64_t raw = 0;
    for (std::uint8_t b : bytes)
        raw = (raw << 8) | b;
    const unsigned bits = static_cast<unsigned>(bytes.size() * 8);
    raw ^= std::uint64_t{1} << (bits - 1);
    // Sign-extend from `bits`.
    const std::uint64_t sign = std::uint64_t{1} << (bits - 1);
    return static_cast<qint64>((raw ^ sign) - sign);
}

void EncodeInt(qint64 value, std::span<std::uint8_t> out) {
    const unsigned bits = static_cast<unsigned>(out.size() * 8);
    std::uint64_t raw = static_cast<std::uint64_t>(value) ^ (std::uint64_t{1} << (bits - 1));
    for (std::size_t i = out.size(); i-- > 0;) {
        out[i] = static_cast<std::uint8_t>(raw & 0xFF);
        raw >>= 8;
    }
}

std::optional<double> DecodeDouble(std::span<const std::uint8_t> bytes) {
    std::uint64_t raw = 0;
    for (std::uint8_t b : bytes)
        raw = (raw << 8) | b;
    if (raw & 0x8000000000000000ULL)
        raw &= ~0x8000000000000000ULL;
    else if (raw != 0)
        raw = ~raw;
    else
        return std::nullopt;
    return std::bit_cast<double>(raw);
}

void EncodeDouble(double value, std::span<std::uint8_t> out) {
    std::uint64_t raw = std::bit_cast<std::uint64_t>(value == 0.0 ? 0.0 : value);
    if (value >= 0)
        raw |= 0x8000000000000000ULL;
    else
        raw = ~raw;
    for (std::size_t i = 8; i-- > 0;) {
        out[i] = static_cast<std::uint8_t>(raw & 0xFF);
        raw >>= 8;
    }
}

EDBEngineError BadValue(const QString& where, const TFieldDef& field, const QString& what) {
    return EDBEngineError(DBErrorCode::Corrupt,
                          QStringLiteral("%1: field \"%2\" holds %3").arg(where, field.Name, what));
}

EDBEngineError WontFit(const QString& where, const TFieldDef& field, const QString& what) {
    return EDBEngineError(DBErrorCode::General,
                          QStringLiteral("%1: field \"%2\": %3").arg(where, field.Name, what));
}

TValue DecodeBcd(const TFieldDef& field, std::span<const std::uint8_t> bytes,
                 const QString& where) {
    const std::uint8_t head = bytes[0];
    if ((head & 0x40) == 0)
        return std::monostate{};
    const bool negative = (head & 0x80) == 0;
    const int decimals = head & 0x3F;
    if (decimals > 32)
        throw BadValue(where, field, QStringLiteral("a BCD value with %1 decimals").arg(decimals));
    char text[40];
    int n = 0;
    if (negative)
        text[n++] = '-';
    const int intDigits = 32 - decimals;
    bool leading = true;
    for (int i = 0; i < 32; ++i) {
        const std::uint8_t byte = bytes[static_cast<std::size_t>(1 + i / 2)];
        int digit = (i % 2 == 0) ? byte >> 4 : byte & 0x0F;
        if (negative)
            digit ^= 0x0F;
        if (digit > 9)
            throw BadValue(where, field, QStringLiteral("a damaged BCD value"));
        if (i == intDigits) {
            if (leading)
                text[n++] = '0';
            text[n++] = '.';
            leading = false;
        }
        if (leading && digit == 0 && i < intDigits - 1)
            continue;
        leading = false;
        text[n++] = static_cast<char>('0' + digit);
    }
    double value = 0;
    std::from_chars(text, text + n, value);
    return value;
}

void EncodeBcd(const TFieldDef& field, double value, std::span<std::uint8_t> out,
               const QString& where) {
    if (!std::isfinite(value))
        throw WontFit(where, field, QStringLiteral("not a finite number"));
    const int decimals = field.Decimals;
    const QString text = QString::number(std::fabs(value), 'f', decimals);
    QString digits = text;
    digits.remove(QLatin1Char('.'));
    if (digits.size() > 32)
        throw WontFit(where, field, QStringLiteral("value %1 has too many digits").arg(text));
    const bool negative = value < 0 && digits.count(QLatin1Char('0')) != digits.size();
    std::fill(out.begin(), out.end(), std::uint8_t{0});
    out[0] = static_cast<std::uint8_t>((negative ? 0x40 : 0xC0) | decimals);
    const qsizetype pad = 32 - digits.size();
    for (int i = 0; i < 32; ++i) {
        int digit = i < pad ? 0 : digits.at(i - pad).digitValue();
        if (negative)
            digit ^= 0x0F;
        std::uint8_t& byte = out[static_cast<std::size_t>(1 + i / 2)];
        byte = static_cast<std::uint8_t>(i % 2 == 0 ? (byte & 0x0F) | (digit << 4)
                                                    : (byte & 0xF0) | digit);
    }
}

std::optional<qint64> AsInteger(const TValue& value) {
    if (const auto* i = std::get_if<qint64>(&value))
        return *i;
    if (const auto* d = std::get_if<double>(&value)) {
        if (std::isfinite(*d) && std::trunc(*d) == *d && std::fabs(*d) < 9.0e18)
            return static_cast<qint64>(*d);
    }
    return std::nullopt;
}

std::optional<double> AsDouble(const TValue& value) {
    if (const auto* d = std::get_if<double>(&value))
        return std::isfinite(*d) ? std::optional<double>(*d) : std::nullopt;
    if (const auto* i = std::get_if<qint64>(&value))
        return static_cast<double>(*i);
    return std::nullopt;
}

} // namespace

bool IsBlank(const TFieldDef& field, std::span<const std::uint8_t> bytes) {
    switch (field.Type) {
    case TFieldType::Alpha:
        return bytes[0] == 0;
    case TFieldType::BCD:
        return (bytes[0] & 0x40) == 0;
    default:
        return AllZero(bytes);
    }
}

TValue Decode(const TFieldDef& field, std::span<const std::uint8_t> bytes,
              const TCodePage& codePage, const QString& where) {
    if (field.Type == TFieldType::BCD)
        return DecodeBcd(field, bytes, where);
    if (IsBlank(field, bytes))
        return std::monostate{};
    switch (field.Type) {
    case TFieldType::Alpha: {
        const auto end = std::find(bytes.begin(), bytes.end(), std::uint8_t{0});
        return codePage.Decode(bytes.first(static_cast<std::size_t>(end - bytes.begin())));
    }
    case TFieldType::Short:
    case TFieldType::Long:
    case TFieldType::AutoInc:
        return DecodeInt(bytes);
    case TFieldType::Date:
        return QDate::fromJulianDay(DecodeInt(bytes) + JulianDayOfDayZero);
    case TFieldType::Time: {
        const qint64 ms = DecodeInt(bytes);
        if (ms < 0 || ms >= static_cast<qint64>(MsPerDay))
            throw BadValue(where, field, QStringLiteral("a time of %1 ms").arg(ms));
        return QTime::fromMSecsSinceStartOfDay(static_cast<int>(ms));
    }
    case TFieldType::Number:
    case TFieldType::Money:
        return *DecodeDouble(bytes);
    case TFieldType::Timestamp: {
        const double ms = *DecodeDouble(bytes);
        // About 27 million years either way: far beyond real data, and safe to convert.
        if (!std::isfinite(ms) || std::fabs(ms) > 8.64e17)
            throw BadValue(where, field, QStringLiteral("a timestamp out of range"));
        double days = std::floor(ms / MsPerDay);
        qint64 msOfDay = std::llround(ms - days * MsPerDay);
        if (msOfDay >= static_cast<qint64>(MsPerDay)) {
            days += 1;
            msOfDay -= static_cast<qint64>(MsPerDay);
        }
        return QDateTime(QDate::fromJulianDay(static_cast<qint64>(days) + JulianDayOfDayZero),
                         QTime::fromMSecsSinceStartOfDay(static_cast<int>(msOfDay)), Qt::UTC);
    }
    case TFieldType::Logical:
        if (bytes[0] == 0x80 || bytes[0] == 0x81)
            return bytes[0] == 0x81;
        throw BadValue(where, field, QStringLiteral("a logical byte 0x%1").arg(bytes[0], 2, 16));
    case TFieldType::Bytes:
        return QByteArray(reinterpret_cast<const char*>(bytes.data()),
                          static_cast<qsizetype>(bytes.size()));
    default:
        throw BadValue(where, field, QStringLiteral("a blob where a fixed value was expected"));
    }
}

void Encode(const TFieldDef& field, const TValue& value, const TCodePage& codePage,
            std::span<std::uint8_t> out, const QString& where) {
    std::fill(out.begin(), out.end(), std::uint8_t{0});
    if (std::holds_alternative<std::monostate>(value)) {
        // The engine's blank BCD keeps the number of decimals in the first byte.
        if (field.Type == TFieldType::BCD)
            out[0] = static_cast<std::uint8_t>(field.Decimals);
        return;
    }
    const auto wrongKind = [&] {
        return WontFit(where, field,
                       QStringLiteral("a value of the wrong kind for type %1")
                           .arg(QLatin1Char(FieldTypeLetter(field.Type))));
    };
    switch (field.Type) {
    case TFieldType::Alpha: {
        const auto* text = std::get_if<QString>(&value);
        if (!text)
            throw wrongKind();
        const std::optional<QByteArray> bytes = codePage.Encode(*text);
        if (!bytes)
            throw WontFit(where, field,
                          QStringLiteral("\"%1\" has characters outside code page %2")
                              .arg(*text)
                              .arg(codePage.Number()));
        if (bytes->size() > field.Size || bytes->contains('\0'))
            throw WontFit(
                where, field,
                QStringLiteral("\"%1\" does not fit in %2 characters").arg(*text).arg(field.Size));
        std::memcpy(out.data(), bytes->constData(), static_cast<std::size_t>(bytes->size()));
        return;
    }
    case TFieldType::Short:
    case TFieldType::Long:
    case TFieldType::AutoInc: {
        const std::optional<qint64> v = AsInteger(value);
        if (!v)
            throw wrongKind();
        // The most negative value encodes to all zeros, which is the blank.
        const qint64 limit = field.Type == TFieldType::Short ? 32767 : 2147483647;
        if (*v < -limit || *v > limit)
            throw WontFit(where, field, QStringLiteral("%1 is out of range").arg(*v));
        EncodeInt(*v, out);
        return;
    }
    case TFieldType::Date: {
        const auto* date = std::get_if<QDate>(&value);
        if (!date || !date->isValid())
            throw wrongKind();
        const qint64 day = date->toJulianDay() - JulianDayOfDayZero;
        if (day < -2147483647 || day > 2147483647)
            throw WontFit(where, field, QStringLiteral("the date is out of range"));
        EncodeInt(day, out);
        return;
    }
    case TFieldType::Time: {
        const auto* time = std::get_if<QTime>(&value);
        if (!time || !time->isValid())
            throw wrongKind();
        EncodeInt(time->msecsSinceStartOfDay(), out);
        return;
    }
    case TFieldType::Number:
    case TFieldType::Money: {
        const std::optional<double> v = AsDouble(value);
        if (!v)
            throw wrongKind();
        EncodeDouble(*v, out);
        return;
    }
    case TFieldType::Timestamp: {
        QDate date;
        QTime time(0, 0);
        if (const auto* stamp = std::get_if<QDateTime>(&value)) {
            date = stamp->date();
            time = stamp->time();
        } else if (const auto* day = std::get_if<QDate>(&value)) {
            date = *day;
        }
        if (!date.isValid() || !time.isValid())
            throw wrongKind();
        const double ms = static_cast<double>(date.toJulianDay() - JulianDayOfDayZero) * MsPerDay +
                          time.msecsSinceStartOfDay();
        if (std::fabs(ms) > 8.64e17)
            throw WontFit(where, field, QStringLiteral("the timestamp is out of range"));
        EncodeDouble(ms, out);
        return;
    }
    case TFieldType::Logical: {
        const auto* flag = std::get_if<bool>(&value);
        if (!flag)
            throw wrongKind();
        out[0] = *flag ? 0x81 : 0x80;
        return;
    }
    case TFieldType::BCD: {
        const std::optional<double> v = AsDouble(value);
        if (!v)
            throw wrongKind();
        EncodeBcd(field, *v, out, where);
        return;
    }
    case TFieldType::Bytes: {
        const auto* bytes = std::get_if<QByteArray>(&value);
        if (!bytes || bytes->size() > field.Size)
            throw wrongKind();
        std::memcpy(out.data(), bytes->constData(), static_cast<std::size_t>(bytes->size()));
        return;
    }
    default:
        throw wrongKind();
    }
}

QByteArray BlobData(const TFieldDef& field, const TValue& value, const TCodePage& codePage,
                    const QString& where) {
    if (const auto* text = std::get_if<QString>(&value)) {
        if (field.Type != TFieldType::Memo && field.Type != TFieldType::FmtMemo)
            throw WontFit(where, field, QStringLiteral("the field takes bytes, not text"));
        const std::optional<QByteArray> bytes = codePage.Encode(*text);
        if (!bytes)
            throw WontFit(where, field,
                          QStringLiteral("the text has characters outside code page %1")
                              .arg(codePage.Number()));
        return *bytes;
    }
    if (const auto* bytes = std::get_if<QByteArray>(&value)) {
        QByteArray data = *bytes;
        if (field.Type == TFieldType::Graphic && !data.isEmpty()) {
            QByteArray prefix("\x01\x00\x00\x01\x00\x00\x00\x00", 8);
            qToLittleEndian<std::uint32_t>(static_cast<std::uint32_t>(data.size()),
                                           prefix.data() + 4);
            data.prepend(prefix);
        }
        return data;
    }
    if (!std::holds_alternative<std::monostate>(value))
        throw WontFit(where, field, QStringLiteral("a value of the wrong kind for a blob"));
    return {};
}

void PutBlobField(std::span<std::uint8_t> out, std::span<const std::uint8_t> data,
                  std::uint32_t pointer, std::uint16_t mod) {
    std::fill(out.begin(), out.end(), std::uint8_t{0});
    if (data.empty())
        return;
    const std::size_t leader = out.size() - 10;
    std::memcpy(out.data(), data.data(), std::min(leader, data.size()));
    ParadoxBytes::PutU32(out, leader, pointer);
    ParadoxBytes::PutU32(out, leader + 4, static_cast<std::uint32_t>(data.size()));
    ParadoxBytes::PutU16(out, leader + 8, mod);
}

} // namespace FieldCodec
