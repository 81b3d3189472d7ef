#include <gtest/gtest.h>

#include <filesystem>

#include "cli/CliRun.h"
#include "image/Image.h"
#include "support/ImageFiles.h"
#include "support/TempDir.h"
#include "support/TimBuilder.h"

namespace pixalto::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;

TimSpec ShortImageBlock() {
    // As found in the wild: the block length says 16 bytes, the file holds
    // all 2,048 that 32 x 32 units need. Unrepaired it shows 8 of 1,024 pixels.
    TimSpec desc = PatternTim(16, 32, 32, 1, 3);
    desc.imageBlockLength = 16;
    return desc;
}

// Each fault is repaired, each change printed, and the repaired file then
// loads with all of its pixels and renders them all.
TEST(CliRepair, PrintsEachChangeAndTheFileThenLoadsWhole) {
    TimSpec flags = PatternTim(4, 16, 4, 2, 5);
    flags.flagByte6 = 0x01;
    TimSpec clut = PatternTim(8, 8, 4, 1, 6);
    clut.clutBlockLength = 20;
    TimSpec both = ShortImageBlock();
    both.flagByte5 = 0x40;
    const struct {
        const char* name;
        TimSpec broken;
        std::string printed;
    } cases[] = {
        {"flags", flags, "flag word: bytes above the mode cleared (were 00 01 00)\n"},
        {"image length", ShortImageBlock(), "image block length: 16 -> 2060\n"},
        {"CLUT length", clut, "CLUT block length: 20 -> 524\n"},
        {"both", both,
         "flag word: bytes above the mode cleared (were 40 00 00)\n"
         "image block length: 16 -> 2060\n"},
    };
    for (const auto& c : cases) {
        TempDir dir;
        const Bytes broken = MakeTim(c.broken);
        const std::string in = dir.Write("in.tim", broken);
        const std::string out = dir.File("out.tim");
        auto result = RunCli({"repair", in, out});
        EXPECT_EQ(result.exitCode, 0) << c.name << ": " << result.err;
        EXPECT_EQ(result.out, c.printed) << c.name;
        EXPECT_EQ(result.err, "") << c.name;
        EXPECT_EQ(ReadAll(in), broken) << c.name << ": FILE stays as it was";

        ImageState state;
        ASSERT_EQ(LoadImageBytes(ReadAll(out), state, /*isTim=*/true), ErrorCode::None) << c.name;
        EXPECT_EQ(state.imageDataSize, c.broken.pixels.size()) << c.name;
        EXPECT_TRUE(
            std::equal(c.broken.pixels.begin(), c.broken.pixels.end(), state.imageData.begin()))
            << c.name;
        EXPECT_EQ(state.clutData.size(), 2 * c.broken.clut.size()) << c.name;

        auto info = RunCli({"info", out});
        EXPECT_EQ(info.exitCode, 0) << c.name;
        EXPECT_EQ(info.err, "") << c.name << ": no warning left";

        ASSERT_EQ(RunCli({"render", out, dir.File("out.png")}).exitCode, 0) << c.name;
        auto png = ReadPng(dir.File("out.png"));
        EXPECT_EQ(png.width, static_cast<int>(state.pixelWidth)) << c.name;
        EXPECT_EQ(png.height, c.broken.imageHeight) << c.name;
    }
}

TEST(CliRepair, ReplacesFileItselfByDefault) {
    TempDir dir;
    const std::string path = dir.Write("face.tim", MakeTim(ShortImageBlock()));
    std::filesystem::permissions(
        path, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    auto result = RunCli({"repair", path});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "image block length: 16 -> 2060\n");
    TimSpec right = ShortImageBlock();
    right.imageBlockLength.reset();
    EXPECT_EQ(ReadAll(path), MakeTim(right));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                            std::filesystem::directory_iterator()),
              1)
        << "no temporary file is left";

    auto again = RunCli({"repair", path});
    EXPECT_EQ(again.exitCode, 0);
    EXPECT_EQ(again.out, "nothing to repair\n");
}

TEST(CliRepair, NothingToRepairWritesNothing) {
    TempDir dir;
    const Bytes good = MakeTim(PatternTim(4, 8, 2, 2));
    const std::string in = dir.Write("good.tim", good);
    auto result = RunCli({"repair", in, dir.File("out.tim")});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "nothing to repair\n");
    EXPECT_EQ(result.err, "");
    EXPECT_FALSE(std::filesystem::exists(dir.File("out.tim")));
    EXPECT_EQ(ReadAll(in), good);
}

TEST(CliRepair, RefusesWhatIsNotARepairableTim) {
    TimSpec unknownMode = PatternTim(16, 2, 2);
    unknownMode.mode = 1;
    Bytes cut = MakeTim(ShortImageBlock());
    cut.resize(cut.size() - 1);
    const struct {
        const char* name;
        Bytes bytes;
        std::string message;
    } cases[] = {
        {"no identifier", {'B', 'M', 1, 2, 3, 4, 5, 6, 7, 8}, "TIM Header not found!"},
        {"unknown mode", MakeTim(unknownMode), "Invalid TIM Header!"},
        {"data missing", cut, "File size is too small for the data needed for the image."},
    };
    for (const auto& c : cases) {
        TempDir dir;
        const std::string in = dir.Write("bad.tim", c.bytes);
        auto result = RunCli({"repair", in, dir.File("out.tim")});
        EXPECT_EQ(result.exitCode, 1) << c.name;
        EXPECT_EQ(result.out, "") << c.name;
        EXPECT_EQ(result.err, c.message + "\n") << c.name;
        EXPECT_FALSE(std::filesystem::exists(dir.File("out.tim"))) << c.name;
        EXPECT_EQ(ReadAll(in), c.bytes) << c.name;
    }
    // Not a regular file: a folder.
    TempDir dir;
    auto folder = RunCli({"repair", dir.Path().string()});
    EXPECT_EQ(folder.exitCode, 1);
    EXPECT_EQ(folder.err.rfind("Couldn't open file!\n", 0), 0u) << folder.err;
}

// info still shows what the reader makes of the file, and warns on stderr.
TEST(CliInfo, WarnsWhenABlockLengthDisagreesWithItsSize) {
    TimSpec clut = PatternTim(4, 8, 1, 2);
    clut.clutHeight = 1;  // two sets of colours, but the header says one row
    const struct {
        const char* name;
        TimSpec desc;
        std::string warning;
        std::string shown;
    } cases[] = {
        {"image", ShortImageBlock(),
         "warning: the image block length is 16, but its width and height (32 x 32) need 2060 "
         "(pixalto-cli repair can fix this)\n",
         "image-data-size: 4\n"},
        {"CLUT", clut,
         "warning: the CLUT block length is 76, but its width and height (16 x 1) need 44 "
         "(pixalto-cli repair can fix this)\n",
         "clut-sets: 2\n"},
        {"none", PatternTim(8, 4, 2), "", "clut-sets: 1\n"},
    };
    for (const auto& c : cases) {
        TempDir dir;
        auto result = RunCli({"info", dir.Write("t.tim", MakeTim(c.desc))});
        EXPECT_EQ(result.exitCode, 0) << c.name;
        EXPECT_EQ(result.err, c.warning) << c.name;
        EXPECT_NE(result.out.find(c.shown), std::string::npos) << c.name << ": " << result.out;
    }
}

}  // namespace
}  // namespace pixalto::testing
