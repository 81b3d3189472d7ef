#include <gtest/gtest.h>

#include "image/Image.h"
#include "image/TimRepair.h"
#include "messages/Catalogue.h"
#include "support/ImageFiles.h"
#include "support/TimBuilder.h"

namespace pixalto::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Each broken TIM is repaired into exactly the bytes of the same TIM built
// right, and the changes are told in file order.
TEST(TimRepair, RepairsIntoTheBytesOfTheTimBuiltRight) {
    TimSpec junkFlags = PatternTim(16, 4, 2);
    junkFlags.flagByte5 = 0x01;
    junkFlags.flagByte7 = 0xFF;

    // The file in the wild: 16 bytes of image block while it holds all the
    // 2,048 bytes that 32 x 32 units need.
    TimSpec shortImage = PatternTim(16, 32, 32);
    shortImage.imageBlockLength = 16;

    TimSpec longImage = PatternTim(24, 4, 3);
    longImage.imageBlockLength = 5000;

    TimSpec clut = PatternTim(4, 8, 2, 2);
    clut.clutBlockLength = 12;

    TimSpec all = PatternTim(8, 6, 3, 1);
    all.flagByte6 = 0x80;
    all.clutBlockLength = 0;
    all.imageBlockLength = 0xFFFFFFFF;

    const struct {
        const char* name;
        TimSpec broken;
        std::vector<std::string> changes;
    } cases[] = {
        {"junk flags", junkFlags, {"flag word: bytes above the mode cleared (were 01 00 FF)"}},
        {"short image length", shortImage, {"image block length: 16 -> 2060"}},
        {"long image length", longImage, {"image block length: 5000 -> 48"}},
        {"CLUT length", clut, {"CLUT block length: 12 -> 76"}},
        {"everything",
         all,
         {"flag word: bytes above the mode cleared (were 00 80 00)", "CLUT block length: 0 -> 524",
          "image block length: 4294967295 -> 30"}},
    };
    for (const auto& c : cases) {
        TimSpec right = c.broken;
        right.flagByte5 = right.flagByte6 = right.flagByte7 = 0;
        right.clutBlockLength.reset();
        right.imageBlockLength.reset();
        Bytes bytes = MakeTim(c.broken);
        // Bytes after the TIM are kept as they are.
        bytes.insert(bytes.end(), {0xDE, 0xAD});
        Bytes expected = MakeTim(right);
        expected.insert(expected.end(), {0xDE, 0xAD});

        TimRepairResult result = RepairTim(bytes);
        EXPECT_EQ(result.error, ErrorCode::None) << c.name;
        EXPECT_EQ(result.changes, c.changes) << c.name;
        EXPECT_EQ(bytes, expected) << c.name;

        // Repairing again finds nothing.
        TimRepairResult again = RepairTim(bytes);
        EXPECT_EQ(again.error, ErrorCode::None) << c.name;
        EXPECT_TRUE(again.changes.empty()) << c.name;

        // It loads with all its pixels (2,048 bytes of them for the short
        // image length), and no block length disagrees any more.
        ImageState state;
        ASSERT_EQ(LoadImageBytes(bytes, state, /*isTim=*/true), ErrorCode::None) << c.name;
        EXPECT_EQ(state.imageDataSize, c.broken.pixels.size()) << c.name;
        EXPECT_TRUE(
            std::equal(c.broken.pixels.begin(), c.broken.pixels.end(), state.imageData.begin()))
            << c.name;
        EXPECT_TRUE(BlockLengthWarnings(state).empty()) << c.name;
    }
}

// What it can't repair it leaves alone, and says why in the reader's words.
TEST(TimRepair, RefusesWhatItCantRepairAndChangesNothing) {
    TimSpec mode0 = PatternTim(16, 2, 2);
    mode0.mode = 0;
    mode0.flagByte5 = 1;
    TimSpec mode10 = PatternTim(16, 2, 2);
    mode10.mode = 10;
    Bytes cutPixels = MakeTim(PatternTim(16, 4, 4));
    cutPixels.pop_back();
    Bytes cutClut = MakeTim(PatternTim(4, 8, 2, 2));
    cutClut.resize(8 + 12 + 60);
    Bytes cutHeader = MakeTim(PatternTim(24, 2, 2));
    cutHeader.resize(8 + 11);
    TimSpec clutUnits = PatternTim(8, 4, 1);
    clutUnits.clutHeight = 2;  // says 512 colours where the file holds 256

    const struct {
        const char* name;
        Bytes bytes;
        std::string error;
    } cases[] = {
        {"empty", {}, "TIM Header not found!"},
        {"BMP", {'B', 'M', 0, 0, 0, 0, 0, 0}, "TIM Header not found!"},
        {"identifier only",
         {0x10, 0, 0, 0},
         "File size is too small for the data needed for the image."},
        {"mode 0", MakeTim(mode0), "Invalid TIM Header!"},
        {"mode 10", MakeTim(mode10), "Invalid TIM Header!"},
        {"cut in the pixels", cutPixels,
         "File size is too small for the data needed for the image."},
        {"cut in the CLUT", cutClut, "File size is too small for the data needed for the image."},
        {"cut in a header", cutHeader, "File size is too small for the data needed for the image."},
        {"CLUT bigger than the file", MakeTim(clutUnits),
         "File size is too small for the data needed for the image."},
    };
    for (const auto& c : cases) {
        Bytes bytes = c.bytes;
        TimRepairResult result = RepairTim(bytes);
        EXPECT_EQ(msg::Text(result.error), c.error) << c.name;
        EXPECT_TRUE(result.changes.empty()) << c.name;
        EXPECT_EQ(bytes, c.bytes) << c.name;
    }
}

TEST(TimRepair, WarnsAboutEachBlockLengthThatDisagrees) {
    ImageState state;
    state.bpp = 4;
    state.clutBlockLength = 76;
    state.clutWidth = 16;
    state.clutHeight = 1;
    state.imageBlockLength = 16;
    state.imageWidth = 64;
    state.imageHeight = 32;
    EXPECT_EQ(BlockLengthWarnings(state),
              (std::vector<std::string>{
                  "the CLUT block length is 76, but its width and height (16 x 1) need 44",
                  "the image block length is 16, but its width and height (64 x 32) need 4108"}));
    state.clutBlockLength = 44;
    state.imageBlockLength = 4108;
    EXPECT_TRUE(BlockLengthWarnings(state).empty());
    // Without a CLUT its fields are not looked at.
    state.bpp = 16;
    state.clutBlockLength = 1;
    EXPECT_TRUE(BlockLengthWarnings(state).empty());
}

}  // namespace
}  // namespace pixalto::testing
