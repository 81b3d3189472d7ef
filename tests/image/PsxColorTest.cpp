#include <gtest/gtest.h>

#include "image/PsxColor.h"

namespace pixalto {
namespace {

TEST(PsxColor, FiveBitComponentsExpandWithLowBitsSetAndReduceBack) {
    // The five bits become the top of the byte, the three below them all set.
    for (std::uint32_t k = 0; k < 32; ++k) {
        EXPECT_EQ(Expand5To8(k) & 7, 7);
        EXPECT_EQ(Reduce8To5(Expand5To8(k)), k);
    }
    EXPECT_EQ(Expand5To8(0), 7);
    EXPECT_EQ(Expand5To8(31), 255);
}

TEST(PsxColor, WordsConvertToDisplayColours) {
    struct Case {
        PsxColor word;
        std::uint8_t r, g, b;
    };
    const Case cases[] = {
        {0x001F, 255, 7, 7}, {0x03E0, 7, 255, 7},     {0x7C00, 7, 7, 255},  {0x8000, 7, 7, 7},
        {0x0000, 7, 7, 7},   {0xFFFF, 255, 255, 255}, {0x0421, 15, 15, 15},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PsxToPixel(c.word), MakePixel(c.r, c.g, c.b)) << std::hex << c.word;
    }
}

TEST(PsxColor, RoundTripsEveryWordThroughRgb) {
    for (std::uint32_t word = 0; word < 0x10000; ++word) {
        Pixel p = PsxToPixel(static_cast<PsxColor>(word));
        EXPECT_EQ(RgbToPsx(RedOf(p), GreenOf(p), BlueOf(p), PsxStp(static_cast<PsxColor>(word))),
                  word);
    }
}

}  // namespace
}  // namespace pixalto
