#pragma once

#include <QtEndian>

#include <cstdint>
#include <span>

// Little-endian access to header and block fields at a byte offset. Callers
// check the bounds first; these only hide the casts.
namespace ParadoxBytes {

inline std::uint8_t U8(std::span<const std::uint8_t> b, std::size_t at) {
    return b[at];
}
inline std::uint16_t U16(std::span<const std::uint8_t> b, std::size_t at) {
    return qFromLittleEndian<std::uint16_t>(b.data() + at);
}
inline std::int16_t S16(std::span<const std::uint8_t> b, std::size_t at) {
    return qFromLittleEndian<std::int16_t>(b.data() + at);
}
inline std::uint32_t U32(std::span<const std::uint8_t> b, std::size_t at) {
    return qFromLittleEndian<std::uint32_t>(b.data() + at);
}
inline void PutU16(std::span<std::uint8_t> b, std::size_t at, std::uint16_t v) {
    qToLittleEndian<std::uint16_t>(v, b.data() + at);
}
inline void PutS16(std::span<std::uint8_t> b, std::size_t at, std::int16_t v) {
    qToLittleEndian<std::int16_t>(v, b.data() + at);
}
inline void PutU32(std::span<std::uint8_t> b, std::size_t at, std::uint32_t v) {
    qToLittleEndian<std::uint32_t>(v, b.data() + at);
}

} // namespace ParadoxBytes
