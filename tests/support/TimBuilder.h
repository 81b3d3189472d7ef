#pragma once
// Builds TIM files in memory for tests, benchmarks and fuzz seeds. Lengths
// default to what the data needs; any field can be set to lie. Every field
// has a default, so a shape can be written with designated initializers.

#include <cstdint>
#include <optional>
#include <vector>

namespace pixalto::testing {

struct TimSpec {
    std::uint8_t mode = 8;
    std::uint8_t flagByte5 = 0, flagByte6 = 0, flagByte7 = 0;
    std::optional<std::uint32_t> clutBlockLength{};  // default 12 + 2 * clut.size()
    std::uint16_t clutX = 0, clutY = 0, clutWidth = 16, clutHeight = 1;
    std::vector<std::uint16_t> clut{};
    std::optional<std::uint32_t> imageBlockLength{};  // default 12 + pixels.size()
    std::uint16_t imageX = 0, imageY = 0, imageWidth = 0, imageHeight = 0;
    std::vector<std::uint8_t> pixels{};
};

std::vector<std::uint8_t> MakeTim(const TimSpec& desc);

// A well-formed TIM of the given depth, pixelWidth x height pixels (pixelWidth
// rounded to what the depth can store), with `sets` CLUT sets for 4/8-bit,
// filled with a reproducible pattern derived from seed.
TimSpec PatternTim(std::uint32_t bpp, std::uint32_t pixelWidth, std::uint16_t height,
                   std::uint32_t sets = 1, std::uint32_t seed = 1);

std::uint8_t ModeForBpp(std::uint32_t bpp);

}  // namespace pixalto::testing
