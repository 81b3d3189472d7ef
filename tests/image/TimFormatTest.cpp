#include <gtest/gtest.h>

#include <vector>

#include "image/TimFormat.h"

namespace pixalto {
namespace {

using Bytes = std::vector<std::uint8_t>;

// The identifier and flag word: what parses, what the reader and scanner
// take, the CLUT rule, and where that puts the image block and how long
// extraction finds a listed TIM (CLUT length word 44, a 4 x 2 image block).
TEST(TimFormat, TimHeaderParsesStoresAndTellsTheClutRule) {
    const struct {
        const char* name;
        Bytes bytes;
        bool parses, valid;
        std::uint32_t bpp;
        bool hasClut, listedCountsClut;
    } cases[] = {
        {"4-bit", {0x10, 0, 0, 0, 8, 0, 0, 0}, true, true, 4, true, true},
        {"8-bit", {0x10, 0, 0, 0, 9, 0, 0, 0}, true, true, 8, true, true},
        {"16-bit", {0x10, 0, 0, 0, 2, 0, 0, 0}, true, true, 16, false, false},
        {"24-bit", {0x10, 0, 0, 0, 3, 0, 0, 0}, true, true, 24, false, false},
        {"mode 10", {0x10, 0, 0, 0, 10, 0, 0, 0}, true, false, 0, false, true},
        {"mode 127", {0x10, 0, 0, 0, 0x7F, 0, 0, 0}, true, false, 0, false, true},
        {"mode 0x88", {0x10, 0, 0, 0, 0x88, 0, 0, 0}, true, false, 0, false, false},
        {"flag byte 7", {0x10, 0, 0, 0, 9, 0, 0, 0x80}, true, false, 8, true, true},
        {"identifier byte 3", {0x10, 0, 0, 1, 2, 0, 0, 0}, true, false, 16, false, false},
        // Cut short: read as if zeros followed; the callers count the bytes.
        {"one byte short", {0x10, 0, 0, 0, 2, 0, 0}, false, true, 16, false, false},
    };
    for (const auto& c : cases) {
        const auto parsed = TimHeader::Parse(c.bytes);
        ASSERT_EQ(parsed.has_value(), c.parses) << c.name;
        const TimHeader header = parsed.value_or(TimHeader::FromPrefix(c.bytes));
        EXPECT_EQ(header.IsValid(), c.valid) << c.name;
        EXPECT_EQ(header.Bpp(), c.bpp) << c.name;
        EXPECT_EQ(ModeForBpp(c.bpp), c.bpp == 0 ? 0 : header.Mode()) << c.name;
        EXPECT_EQ(header.HasClut(), c.hasClut) << c.name;
        EXPECT_EQ(header.ListedSizeCountsClut(), c.listedCountsClut) << c.name;
        EXPECT_EQ(header.ImageBlockOffset(44), c.hasClut ? 52u : 8u) << c.name;
        EXPECT_EQ(header.ListedSize(44, 4, 2), c.listedCountsClut ? 80u : 36u) << c.name;
        Bytes stored(TimHeader::kSize, 0xEE), expected = c.bytes;
        header.Store(std::span<std::uint8_t, TimHeader::kSize>(stored));
        expected.resize(TimHeader::kSize, 0);
        EXPECT_EQ(stored, expected) << c.name;
    }
    // The whole 32-bit CLUT length word counts, and nothing wraps.
    const TimHeader clut4 = *TimHeader::Parse(Bytes{0x10, 0, 0, 0, 8, 0, 0, 0});
    EXPECT_EQ(clut4.ListedSize(0xFFFFFFFF, 65535, 65535), 8u + 0xFFFFFFFFull + 8'589'672'462u);
}

// Block headers: fields in file order, the length a width and height need
// (in 64 bits), and the data size in 32 bits as the reader's bounds take it.
TEST(TimFormat, BlockHeaderParsesStoresAndMeasures) {
    const struct {
        Bytes bytes;
        BlockHeader header;
        std::uint64_t needed;
        std::uint32_t dataSize;
    } cases[] = {
        {{12, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {12, 0, 0, 0, 0}, 12, 0},
        {{0x0C, 0x10, 0, 0, 0x80, 2, 0, 1, 64, 0, 32, 0}, {4108, 640, 256, 64, 32}, 4108, 4096},
        {{16, 0, 0, 0, 0x40, 1, 0xE0, 1, 32, 0, 32, 0}, {16, 320, 480, 32, 32}, 2060, 4},
        {{11, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {11, 0, 0, 0, 0}, 12, 0xFFFFFFFF},
        // The 64-bit need, wrapped to 32 bits, must not pass for it.
        {{0x0E, 0, 0xFC, 0xFF, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF},
         {0xFFFC000E, 0, 0, 65535, 65535},
         8'589'672'462u,
         0xFFFC0002},
    };
    for (const auto& c : cases) {
        Bytes withMore = c.bytes, cut = c.bytes, stored(BlockHeader::kSize, 0xEE);
        withMore.push_back(0x99);
        cut.pop_back();
        const auto parsed = BlockHeader::Parse(withMore);
        ASSERT_EQ(parsed, std::optional(c.header)) << c.needed;
        EXPECT_EQ(parsed->NeededLength(), c.needed);
        EXPECT_EQ(parsed->LengthMatches(), c.header.length == c.needed) << c.needed;
        EXPECT_EQ(parsed->DataSize(), c.dataSize) << c.needed;
        c.header.Store(std::span<std::uint8_t, BlockHeader::kSize>(stored));
        EXPECT_EQ(stored, c.bytes) << c.needed;
        EXPECT_FALSE(BlockHeader::Parse(cut).has_value()) << c.needed;
    }
}

}  // namespace
}  // namespace pixalto
