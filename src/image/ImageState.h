#pragma once
// The one image the program holds: the TIM header, CLUT block and image block
// as read, the owned CLUT and pixel buffers, the values derived from them, and
// the extent of the last paint. Every way of getting an image ends here.

#include <array>
#include <cstdint>
#include <vector>

#include "image/TimFormat.h"

namespace pixalto {

struct ImageState {
    // --- TIM side, in file order ---
    std::array<std::uint8_t, 4> fileId{};
    std::array<std::uint8_t, 4> flags{};  // flags[0] is the mode

    std::uint32_t clutBlockLength = 0;
    std::uint16_t clutOrgX = 0;
    std::uint16_t clutOrgY = 0;
    std::uint16_t clutWidth = 0;
    std::uint16_t clutHeight = 0;
    // clutDataSize bytes of consecutive little-endian PsxColor entries; an odd
    // last byte belongs to no entry. Empty for 16- and 24-bit images.
    std::vector<std::uint8_t> clutData;

    std::uint32_t imageBlockLength = 0;
    std::uint16_t imageOrgX = 0;
    std::uint16_t imageOrgY = 0;
    std::uint16_t imageWidth = 0;   // in 16-bit units
    std::uint16_t imageHeight = 0;  // in rows
    // imageDataSize bytes of pixels plus one spare byte, so that it is never
    // empty while an image is loaded: an image is loaded exactly while this
    // buffer is present.
    std::vector<std::uint8_t> imageData;

    // --- BMP side (staging area for BMP reading and writing) lives here too ---

    // --- Derived values ---
    std::uint32_t bpp = 0;  // 4, 8, 16 or 24; 0 when the mode is not supported
    std::uint32_t clutDataSize = 0;
    std::uint32_t pixelWidth = 0;
    std::uint32_t imageDataSize = 0;

    // --- What the last paint covered, to erase it later ---
    std::uint32_t paintedWidth = 0;
    std::uint32_t paintedHeight = 0;

    bool IsLoaded() const { return !imageData.empty(); }
    std::uint32_t ClutSetCount() const { return HasClut(bpp) ? ClutSetCountFor(bpp, clutDataSize) : 0; }

    // Releases both pixel buffers (the header fields keep their values, as
    // the info panel still shows them after a close).
    void ReleaseBuffers() {
        clutData = {};
        imageData = {};
    }
};

}  // namespace pixalto
