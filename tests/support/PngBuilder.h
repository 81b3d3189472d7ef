#pragma once
// Builds PNG files in memory for tests and fuzz seeds, the way image editors
// write them (any colour type, depth, palette, tRNS and extra chunks), and
// takes chunks out of PNGs, as editors that drop unknown chunks do.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace pixalto::testing {

struct PngSpec {
    int width = 0;
    int height = 0;
    int colourType = 3;  // 0 grey, 2 RGB, 3 indexed, 4 grey + alpha, 6 RGBA
    int bitDepth = 8;
    bool interlaced = false;
    std::vector<std::uint8_t> palette;   // red, green, blue per entry
    std::vector<std::uint8_t> trns;      // alpha per palette entry (may be shorter)
    std::vector<std::uint16_t> samples;  // every channel of every pixel, row by row
    // Chunks written before the image data: a four-letter name and its data.
    std::vector<std::pair<std::string, std::vector<std::uint8_t>>> chunks;
};

std::vector<std::uint8_t> MakePng(const PngSpec& shape);

// The PNG with every chunk of that name removed.
std::vector<std::uint8_t> WithoutChunk(const std::vector<std::uint8_t>& png,
                                       const std::string& name);
// The data of the first chunk of that name; empty when there is none.
std::vector<std::uint8_t> ChunkData(const std::vector<std::uint8_t>& png, const std::string& name);

}  // namespace pixalto::testing
