#pragma once
// The 16-bit colour word of CLUT entries and 16-bit pixels: red in bits 0-4,
// green 5-9, blue 10-14, the STP bit in bit 15.

#include <cstdint>

#include "platform/Surface.h"

namespace pixalto {

using PsxColor = std::uint16_t;

constexpr PsxColor kStpBit = 0x8000;

// 5-bit component to 8 bits for display: k * 8 + 7, so black shows as 7,7,7
// and the conversion back (>> 3) is lossless.
constexpr std::uint8_t Expand5To8(std::uint32_t k) {
    return static_cast<std::uint8_t>(((k & 31u) << 3) | 7u);
}
constexpr std::uint32_t Reduce8To5(std::uint8_t v) {
    return v >> 3;
}

constexpr std::uint32_t PsxRed(PsxColor c) {
    return c & 31u;
}
constexpr std::uint32_t PsxGreen(PsxColor c) {
    return (c >> 5) & 31u;
}
constexpr std::uint32_t PsxBlue(PsxColor c) {
    return (c >> 10) & 31u;
}
constexpr bool PsxStp(PsxColor c) {
    return (c & kStpBit) != 0;
}

// The displayed colour of a word; the STP bit plays no part.
constexpr Pixel PsxToPixel(PsxColor c) {
    return MakePixel(Expand5To8(PsxRed(c)), Expand5To8(PsxGreen(c)), Expand5To8(PsxBlue(c)));
}

// 8-bit components back to a word, with the STP bit as given.
constexpr PsxColor RgbToPsx(std::uint8_t r, std::uint8_t g, std::uint8_t b, bool stp) {
    return static_cast<PsxColor>(Reduce8To5(r) | (Reduce8To5(g) << 5) | (Reduce8To5(b) << 10) |
                                 (stp ? kStpBit : 0u));
}

}  // namespace pixalto
