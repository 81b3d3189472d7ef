#pragma once
// The error-detection code of CD data sectors: a 32-bit CRC stored little
// endian after the bytes it covers.

#include <cstddef>
#include <cstdint>

namespace pixalto::disc {

// The CRC with the reflected polynomial 0xD8018001, starting from 0 and
// without a final inversion, over count bytes at data.
std::uint32_t ComputeEdc(const std::uint8_t* data, std::size_t count);

}  // namespace pixalto::disc
