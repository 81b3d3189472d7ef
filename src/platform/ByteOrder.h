#pragma once
// Fixed-width little-endian fields, read from and written to byte buffers.
// File headers are always handled through these, never by casting structs.

#include <cstdint>

namespace pixalto {

constexpr std::uint16_t ReadU16LE(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
constexpr std::uint32_t ReadU32LE(const std::uint8_t* p) {
    return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) |
           (std::uint32_t{p[3]} << 24);
}
// Compilers turn this into one load where the machine is little-endian.
constexpr std::uint64_t ReadU64LE(const std::uint8_t* p) {
    return std::uint64_t{ReadU32LE(p)} | (std::uint64_t{ReadU32LE(p + 4)} << 32);
}
constexpr void WriteU16LE(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
constexpr void WriteU32LE(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
    p[2] = static_cast<std::uint8_t>(v >> 16);
    p[3] = static_cast<std::uint8_t>(v >> 24);
}

}  // namespace pixalto
