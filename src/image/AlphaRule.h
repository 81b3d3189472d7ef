#pragma once
// Colour words as the 8-bit colours and alpha of PNGs and palette files: the
// BMP conversion's mapping (5 bits times 8), with an alpha that keeps the
// transparent word and the STP bit apart, reversibly.

#include <cstdint>

#include "image/PsxColor.h"

namespace pixalto {

struct Rgba {
    std::uint8_t r = 0, g = 0, b = 0, a = 255;
};

// 0x0000 (drawn transparent) is alpha 0, a word with the STP bit alpha 128,
// so that 0x8000, opaque black, stays apart from it; any other word 255.
constexpr std::uint8_t AlphaOf(PsxColor word) {
    return word == 0 ? 0 : PsxStp(word) ? 128 : 255;
}
constexpr Rgba RgbaOf(PsxColor word) {
    return {static_cast<std::uint8_t>(PsxRed(word) * 8),
            static_cast<std::uint8_t>(PsxGreen(word) * 8),
            static_cast<std::uint8_t>(PsxBlue(word) * 8), AlphaOf(word)};
}
// Back: alpha 0 is the word 0x0000, 1-254 sets the STP bit, 255 clears it.
constexpr PsxColor WordOf(Rgba c) {
    return c.a == 0 ? PsxColor{0} : RgbToPsx(c.r, c.g, c.b, c.a != 255);
}
constexpr int AlphaClass(std::uint8_t a) {
    return a == 0 ? 0 : a == 255 ? 2 : 1;
}
// Whether an editor left a colour as it was exported: the same at 5 bits,
// and of the same kind of alpha when it has an alpha at all.
constexpr bool Unchanged(PsxColor word, Rgba c, bool hasAlpha) {
    const Rgba was = RgbaOf(word);
    return Reduce8To5(was.r) == Reduce8To5(c.r) && Reduce8To5(was.g) == Reduce8To5(c.g) &&
           Reduce8To5(was.b) == Reduce8To5(c.b) &&
           (!hasAlpha || AlphaClass(was.a) == AlphaClass(c.a));
}

}  // namespace pixalto
