#include <gtest/gtest.h>

#include <vector>

#include "image/TimFormat.h"

namespace pixalto {
namespace {

using Bytes = std::vector<std::uint8_t>;

// The identifier and flag word over the modes and flag bytes that matter:
// what parses, what the reader takes, which rule says there is a CLUT, and
// where that puts the image block and how long extraction finds the TIM
// (for a CLUT length word of 44 and a 4 x 2 image block, 28 bytes).
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
        {"mode 0", {0x10, 0, 0, 0, 0, 0, 0, 0}, true, false, 0, false, false},
        {"mode 1", {0x10, 0, 0, 0, 1, 0, 0, 0}, true, false, 0, false, false},
        {"mode 7", {0x10, 0, 0, 0, 7, 0, 0, 0}, true, false, 0, false, false},
        {"mode 10", {0x10, 0, 0, 0, 10, 0, 0, 0}, true, false, 0, false, true},
        {"mode 127", {0x10, 0, 0, 0, 0x7F, 0, 0, 0}, true, false, 0, false, true},
        {"mode 0x88, negative", {0x10, 0, 0, 0, 0x88, 0, 0, 0}, true, false, 0, false, false},
        {"4-bit, flag byte 5", {0x10, 0, 0, 0, 8, 1, 0, 0}, true, false, 4, true, true},
        {"8-bit, flag byte 7", {0x10, 0, 0, 0, 9, 0, 0, 0x80}, true, false, 8, true, true},
        {"identifier 0x11", {0x11, 0, 0, 0, 2, 0, 0, 0}, true, false, 16, false, false},
        {"identifier byte 3", {0x10, 0, 0, 1, 2, 0, 0, 0}, true, false, 16, false, false},
        {"one byte short", {0x10, 0, 0, 0, 2, 0, 0}, false, true, 16, false, false},
        {"nothing", {}, false, false, 0, false, false},
    };
    for (const auto& c : cases) {
        const auto parsed = TimHeader::Parse(c.bytes);
        ASSERT_EQ(parsed.has_value(), c.parses) << c.name;
        // A cut header reads as if zeros followed; the caller counts the bytes.
        const TimHeader header = parsed.value_or(TimHeader::FromPrefix(c.bytes));
        EXPECT_EQ(header.IsValid(), c.valid) << c.name;
        EXPECT_EQ(header.Bpp(), c.bpp) << c.name;
        EXPECT_EQ(ModeForBpp(c.bpp), c.bpp == 0 ? 0 : header.Mode()) << c.name;
        EXPECT_EQ(header.HasClut(), c.hasClut) << c.name;
        EXPECT_EQ(header.ListedSizeCountsClut(), c.listedCountsClut) << c.name;
        EXPECT_EQ(header.ImageBlockOffset(44), c.hasClut ? 52u : 8u) << c.name;
        EXPECT_EQ(header.ListedSize(44, 4, 2), c.listedCountsClut ? 80u : 36u) << c.name;

        Bytes stored(TimHeader::kSize, 0xEE);
        header.Store(std::span<std::uint8_t, TimHeader::kSize>(stored));
        Bytes expected = c.bytes;
        expected.resize(TimHeader::kSize, 0);
        EXPECT_EQ(stored, expected) << c.name;
    }
    // Extraction counts the whole 32-bit CLUT length word.
    const TimHeader clut4 = *TimHeader::Parse(Bytes{0x10, 0, 0, 0, 8, 0, 0, 0});
    EXPECT_EQ(clut4.ListedSize(0xFFFFFFFF, 65535, 65535), 8u + 0xFFFFFFFFull + 8'589'672'462u);
    EXPECT_EQ(clut4.ImageBlockOffset(0xFFFFFFFF), 8u + 0xFFFFFFFFull);
}

// Block headers: fields in file order, the length a width and height need
// (in 64 bits), and the data size in 32 bits as the reader's bounds take it.
TEST(TimFormat, BlockHeaderParsesStoresAndMeasures) {
    const struct {
        const char* name;
        Bytes bytes;
        BlockHeader header;
        std::uint64_t needed;
        bool matches;
        std::uint32_t dataSize;
    } cases[] = {
        {"empty block", {12, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {12, 0, 0, 0, 0}, 12, true, 0},
        {"16-bit 64 x 32 at 640, 256",
         {0x0C, 0x10, 0, 0, 0x80, 0x02, 0, 0x01, 64, 0, 32, 0},
         {4108, 640, 256, 64, 32},
         4108,
         true,
         4096},
        {"one CLUT set",
         {44, 0, 0, 0, 0x40, 1, 0xE0, 1, 16, 0, 1, 0},
         {44, 320, 480, 16, 1},
         44,
         true,
         32},
        {"length short of the units",
         {16, 0, 0, 0, 0, 0, 0, 0, 32, 0, 32, 0},
         {16, 0, 0, 32, 32},
         2060,
         false,
         4},
        {"length 11 wraps the data size",
         {11, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
         {11, 0, 0, 0, 0},
         12,
         false,
         0xFFFFFFFF},
        {"largest units, no 32-bit wrap",
         {0x0E, 0, 0xFC, 0xFF, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF},
         {0xFFFC000E, 0, 0, 65535, 65535},
         8'589'672'462u,
         false,
         0xFFFC0002},
    };
    for (const auto& c : cases) {
        Bytes withMore = c.bytes;
        withMore.push_back(0x99);  // bytes after the header are not its own
        const auto parsed = BlockHeader::Parse(withMore);
        ASSERT_TRUE(parsed.has_value()) << c.name;
        EXPECT_EQ(*parsed, c.header) << c.name;
        EXPECT_EQ(parsed->NeededLength(), c.needed) << c.name;
        EXPECT_EQ(parsed->LengthMatches(), c.matches) << c.name;
        EXPECT_EQ(parsed->DataSize(), c.dataSize) << c.name;

        Bytes stored(BlockHeader::kSize, 0xEE);
        c.header.Store(std::span<std::uint8_t, BlockHeader::kSize>(stored));
        EXPECT_EQ(stored, c.bytes) << c.name;

        Bytes cut = c.bytes;
        cut.pop_back();
        EXPECT_FALSE(BlockHeader::Parse(cut).has_value()) << c.name;
    }
    EXPECT_FALSE(BlockHeader::Parse({}).has_value());
}

}  // namespace
}  // namespace pixalto
