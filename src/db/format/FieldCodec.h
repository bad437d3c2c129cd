#pragma once

#include "CodePage.h"
#include "ParadoxTypes.h"

#include <span>

// The record encoding of the fixed-size field types (everything but blobs):
// big-endian with the sign bit inverted, so that all-zero bytes are a blank
// and the bytes sort like the values.
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

// Day numbers of the Date type: 0001-01-01 is day 1.
constexpr qint64 JulianDayOfDayZero = 1721425;
constexpr double MsPerDay = 86400000.0;

} // namespace FieldCodec
