#include "disc/Edc.h"

#include <array>

namespace pixalto::disc {
namespace {

constexpr std::uint32_t kEdcPolynomial = 0xD8018001;

// The CRC of each byte value, a byte at a time instead of a bit at a time.
constexpr std::array<std::uint32_t, 256> MakeEdcTable() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t value = 0; value < 256; ++value) {
        std::uint32_t crc = value;
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ ((crc & 1) != 0 ? kEdcPolynomial : 0);
        }
        table[value] = crc;
    }
    return table;
}

constexpr std::array<std::uint32_t, 256> kEdcTable = MakeEdcTable();

}  // namespace

std::uint32_t ComputeEdc(const std::uint8_t* data, std::size_t count) {
    std::uint32_t crc = 0;
    for (std::size_t i = 0; i < count; ++i) {
        crc = kEdcTable[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    }
    return crc;
}

}  // namespace pixalto::disc
