#pragma once
// The TIM file layout: identifier, mode, and the two blocks (CLUT and image),
// each with a 12-byte header that counts itself in its length. The reader, the
// writer and the RAW scanner all work from these definitions.

#include <array>
#include <cstdint>

namespace pixalto {

inline constexpr std::array<std::uint8_t, 4> kTimId = {0x10, 0x00, 0x00, 0x00};
inline constexpr std::uint32_t kTimIdSize = 4;
inline constexpr std::uint32_t kTimFlagsSize = 4;
inline constexpr std::uint32_t kTimBlockHeaderSize = 12;

enum class TimMode : std::uint8_t {
    Clut4 = 8,  // 4 bits per pixel with CLUT
    Clut8 = 9,  // 8 bits per pixel with CLUT
    Direct16 = 2,
    Direct24 = 3,
};

// Bits per pixel for a mode byte: 4, 8, 16 or 24; 0 for any mode not read.
constexpr std::uint32_t BppForMode(std::uint8_t mode) {
    switch (mode) {
        case static_cast<std::uint8_t>(TimMode::Clut4):
            return 4;
        case static_cast<std::uint8_t>(TimMode::Clut8):
            return 8;
        case static_cast<std::uint8_t>(TimMode::Direct16):
            return 16;
        case static_cast<std::uint8_t>(TimMode::Direct24):
            return 24;
        default:
            return 0;
    }
}

constexpr bool HasClut(std::uint32_t bpp) {
    return bpp == 4 || bpp == 8;
}

// Width in pixels of an image block imageWidth 16-bit units wide. For 24 bits
// a unit is two thirds of a pixel, truncated: 1 unit gives 0 pixels, 3 give 2.
constexpr std::uint32_t PixelWidthFor(std::uint32_t bpp, std::uint16_t imageWidth) {
    switch (bpp) {
        case 4:
            return imageWidth * 4u;
        case 8:
            return imageWidth * 2u;
        case 16:
            return imageWidth;
        case 24:
            return imageWidth * 2u / 3u;
        default:
            return 0;
    }
}

// Entries in one CLUT set: 16 for 4-bit images, 256 otherwise.
constexpr std::uint32_t ClutSetEntries(std::uint32_t bpp) {
    return bpp == 4 ? 16 : 256;
}

// Whole CLUT sets in clutDataSize bytes; 0 for images without a CLUT.
constexpr std::uint32_t ClutSetCountFor(std::uint32_t bpp, std::uint32_t clutDataSize) {
    return clutDataSize / 2 / ClutSetEntries(bpp);
}

// The largest pixel data the reader takes.
inline constexpr std::uint32_t kMaxImageDataSize = 1'000'000'000;

}  // namespace pixalto
