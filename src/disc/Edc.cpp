#include "disc/Edc.h"

#include <array>

#include "platform/ByteOrder.h"

namespace pixalto::disc {
namespace {

constexpr std::uint32_t kEdcPolynomial = 0xD8018001;

using EdcTables = std::array<std::array<std::uint32_t, 256>, 8>;

// tables[0] is the CRC of each byte value, a byte at a time instead of a bit
// at a time; tables[k] is that CRC followed by k zero bytes, so that eight
// bytes are folded in at once (every sector's EDC covers over 2,000 bytes).
constexpr EdcTables MakeEdcTables() {
    EdcTables tables{};
    for (std::uint32_t value = 0; value < 256; ++value) {
        std::uint32_t crc = value;
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ ((crc & 1) != 0 ? kEdcPolynomial : 0);
        }
        tables[0][value] = crc;
    }
    for (std::size_t k = 1; k < tables.size(); ++k) {
        for (std::size_t value = 0; value < 256; ++value) {
            std::uint32_t previous = tables[k - 1][value];
            tables[k][value] = (previous >> 8) ^ tables[0][previous & 0xFF];
        }
    }
    return tables;
}

constexpr EdcTables kEdcTables = MakeEdcTables();

}  // namespace

std::uint32_t ComputeEdc(const std::uint8_t* data, std::size_t count) {
    const auto& t = kEdcTables;
    std::uint32_t crc = 0;
    std::size_t i = 0;
    for (; count - i >= 8; i += 8) {
        std::uint32_t low = crc ^ ReadU32LE(data + i);
        std::uint32_t high = ReadU32LE(data + i + 4);
        crc = t[7][low & 0xFF] ^ t[6][(low >> 8) & 0xFF] ^ t[5][(low >> 16) & 0xFF] ^
              t[4][low >> 24] ^ t[3][high & 0xFF] ^ t[2][(high >> 8) & 0xFF] ^
              t[1][(high >> 16) & 0xFF] ^ t[0][high >> 24];
    }
    for (; i < count; ++i) {
        crc = t[0][(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    }
    return crc;
}

}  // namespace pixalto::disc
