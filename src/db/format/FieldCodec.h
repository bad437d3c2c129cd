#pragma once

#include "CodePage.h"
#include "ParadoxTypes.h"

#include <span>

// The record encoding of field values. Fixed-size types are big-endian with
// the sign bit inverted, so that all-zero bytes are a blank and the bytes
// sort like the values. Blob fields hold a leader with the value's first
// bytes and a reference to the rest in the .mb file.
namespace FieldCodec {

// Decodes `bytes` (field.Size of them). Raises EDBEngineError(Corrupt) naming
// `where` for bytes that no valid table holds (a time past midnight, a bad BCD digit).
TValue Decode(const TFieldDef& field, std::span<const std::uint8_t> bytes,
              const TCodePage& codePage, const QString& where);

// True when the bytes hold a blank value of the field's type.
bool IsBlank(const TFieldDef& field, std::span<const std::uint8_t> bytes);

// Encodes `value` into `out` (field.Size bytes). Raises EDBEngineError(General)
// naming `where` and the field when the value has the wrong kind or does not fit.
void Encode(const TFieldDef& field, const TValue& value, const TCodePage& codePage,
            std::span<std::uint8_t> out, const QString& where);

// The bytes a blob field stores for `value`: text (memo and formatted memo
// only) in the code page, bytes as given, graphics with their 8-byte prefix;
// empty for a blank or empty value. Raises EDBEngineError(General) naming
// `where` and the field for a value of the wrong kind or text the code page lacks.
QByteArray BlobData(const TFieldDef& field, const TValue& value, const TCodePage& codePage,
                    const QString& where);

// Fills the bytes of a blob field (field.Size of them) for `data`: the
// leader with its first bytes, then {pointer, length, mod}. A value that
// fits the leader is inline, with pointer and mod 0; an empty one is all zeros.
void PutBlobField(std::span<std::uint8_t> out, std::span<const std::uint8_t> data,
                  std::uint32_t pointer, std::uint16_t mod);

// The size of a blob field's leader.
inline std::size_t BlobLeader(const TFieldDef& field) {
    return static_cast<std::size_t>(field.Size - 10);
}

// Day numbers of the Date type: 0001-01-01 is day 1.
constexpr qint64 JulianDayOfDayZero = 1721425;
constexpr double MsPerDay = 86400000.0;

} // namespace FieldCodec
