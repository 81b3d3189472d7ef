#pragma once
// Builds BMP files and their sidecar files in memory for tests, benchmarks and
// fuzz seeds. Every header field can be set to lie.

#include <cstdint>
#include <optional>
#include <vector>

namespace pixalto::testing {

struct BmpSpec {
    std::uint16_t type = 0x4D42;
    std::optional<std::uint32_t> offBits;  // default 54 + infoTail.size() + palette.size()
    std::uint32_t biSize = 40;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint16_t bitCount = 8;
    std::uint32_t compression = 0;
    // The info header's bytes after its first 40, for the longer headers
    // editors write (colour masks, colour space); the palette follows them.
    std::vector<std::uint8_t> infoTail;
    std::vector<std::uint8_t> palette;  // bytes as stored: blue, green, red, 0 per entry
    std::vector<std::uint8_t> pixels;   // bytes as stored from bfOffBits on
    std::vector<std::uint8_t> trailer;  // after the pixels (an embedded colour profile)
};

std::vector<std::uint8_t> MakeBmp(const BmpSpec& desc);

// Stores rows given top row first, rowData bytes each, as BMP rows (bottom
// row first) of rowSize bytes: padded with zeros when rowSize is larger.
std::vector<std::uint8_t> BottomUpRows(const std::vector<std::vector<std::uint8_t>>& topDown,
                                       std::size_t rowSize);

// A BMP of the given depth and size with the standard padded rows (or the
// unpadded rows of the older layout) filled with a pattern from seed, and for
// 4 and 8 bits a full palette.
BmpSpec PatternBmp(std::uint16_t bitCount, std::int32_t width, std::int32_t height,
                   bool padded = true, std::uint32_t seed = 1);

struct SidecarSpec {
    std::uint16_t imageX = 0, imageY = 0;
    bool hasClut = false;
    std::uint16_t clutX = 0, clutY = 0, sets = 1, paletteSet = 0;
    std::vector<std::uint16_t> storedEntries;  // the sets other than the palette set
};

std::vector<std::uint8_t> MakeSidecar(const SidecarSpec& desc);

}  // namespace pixalto::testing
