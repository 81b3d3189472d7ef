#include <gtest/gtest.h>

#include <climits>

#include "platform/Surface.h"

namespace pixalto {
namespace {

constexpr Pixel kRed = MakePixel(255, 0, 0);
constexpr Pixel kBlue = MakePixel(0, 0, 255);

TEST(MemorySurface, FillClipsToTheSurface) {
    MemorySurface s(4, 3);
    s.FillSolidRect(-2, -2, 4, 4, kRed);  // covers (0..1, 0..1)
    EXPECT_EQ(s.At(1, 1), kRed);
    EXPECT_EQ(s.At(2, 1), kUndrawn);
    EXPECT_EQ(s.At(1, 2), kUndrawn);
    s.FillSolidRect(3, 2, INT_MAX, INT_MAX, kBlue);
    EXPECT_EQ(s.At(3, 2), kBlue);
    s.FillSolidRect(0, 0, 0, 5, kBlue);
    s.FillSolidRect(0, 0, -1, 5, kBlue);
    EXPECT_EQ(s.At(0, 0), kRed);
    EXPECT_EQ(s.At(-1, 0), kUndrawn);
}

TEST(MemorySurface, DrawRowSkipsUndrawnPixelsAndClips) {
    MemorySurface s(4, 2, kBlue);
    const Pixel row[] = {kRed, kUndrawn, kRed, kRed, kRed};
    s.DrawRow(-1, 0, row);         // first pixel falls off the left, last off the right
    EXPECT_EQ(s.At(0, 0), kBlue);  // row[1] undrawn
    EXPECT_EQ(s.At(1, 0), kRed);
    EXPECT_EQ(s.At(3, 0), kRed);
    EXPECT_EQ(s.At(0, 1), kBlue);
    s.DrawRow(0, 2, row);  // below the surface: nothing
    s.DrawRow(0, -1, row);
    s.DrawRow(10, 1, row);
    EXPECT_EQ(s.At(3, 1), kBlue);
}

}  // namespace
}  // namespace pixalto
