#include <gtest/gtest.h>

#include <filesystem>

#include "cli/CliRun.h"
#include "image/Png.h"
#include "support/PngBuilder.h"
#include "support/TempDir.h"
#include "support/TimBuilder.h"

namespace pixalto {
namespace {

using testing::MakeTim;
using testing::PatternTim;
using testing::ReadAll;
using testing::RunCli;
using testing::TempDir;

// Every PNG and palette command on one folder, in the order a modder uses
// them: each line's output, exit code and the files it leaves.
TEST(CliPng, ConvertsToPngAndBackAndMovesPalettes) {
    TempDir dir;
    const auto tim = MakeTim(PatternTim(4, 8, 3, 4, 5));
    const std::string face = dir.Write("face.tim", tim);
    const std::string png = dir.File("face.png");
    const std::string flat = dir.Write(
        "flat.png", testing::MakePng({2, 1, 2, 8, false, {}, {}, {8, 8, 8, 248, 0, 0}, {}}));
    std::filesystem::create_directory(dir.File("batch"));
    dir.Write("batch/a.TIM", tim);
    struct Case {
        std::vector<std::string> args;
        int exitCode;
        std::string out, err;
    };
    const Case cases[] = {
        {{"to-png", face, "--set", "2"}, 0, png + "\n" + dir.File("face.tmext") + "\n", ""},
        {{"to-tim", png, dir.File("back.tim")}, 0, dir.File("back.tim") + "\n", ""},
        {{"to-png", face, dir.File("all.png"), "--all-sets"},
         0,
         dir.File("all_set1.png") + "\n" + dir.File("all_set1.tmext") + "\n" +
             dir.File("all_set2.png") + "\n" + dir.File("all_set2.tmext") + "\n" +
             dir.File("all_set3.png") + "\n" + dir.File("all_set3.tmext") + "\n" +
             dir.File("all_set4.png") + "\n" + dir.File("all_set4.tmext") + "\n",
         ""},
        {{"to-tim", dir.File("all_set4.png"), dir.File("back4.tim")},
         0,
         dir.File("back4.tim") + "\n",
         ""},
        {{"to-tim", flat, dir.File("flat.tim")},
         1,
         "",
         flat + " has no usable sidecar file: give the origins with --origin X,Y\n"},
        {{"to-tim", flat, dir.File("flat.tim"), "--origin", "5,6", "--bpp", "24"},
         0,
         dir.File("flat.tim") + "\n",
         ""},
        {{"to-tim", dir.Write("bad.png", {1, 2, 3, 4, 5, 6, 7, 8, 9}), dir.File("bad.tim")},
         1,
         "",
         "Couldn't read the PNG: Not a PNG file\n"},
        {{"export-palette", face, dir.File("face.act"), "--set", "1"},
         0,
         dir.File("face.act") + "\n",
         ""},
        {{"import-palette", face, dir.File("face.act"), dir.File("swapped.tim")},
         0,
         dir.File("swapped.tim") + "\n",
         ""},
        {{"import-palette", face, dir.Write("blank.gpl", std::vector<std::uint8_t>(300, '\n')),
          dir.File("none.tim")},
         1,
         "",
         "Couldn't read the palette: it doesn't start with \"GIMP Palette\"\n"},
        {{"convert-folder", dir.File("batch"), "--to", "png"}, 0, "File(s) converted!\n", ""},
        {{"convert-folder", dir.File("batch"), "--to", "tim", "--from", "png"},
         0,
         "File(s) converted!\n",
         ""},
    };
    for (const Case& c : cases) {
        const auto result = RunCli(c.args);
        EXPECT_EQ(result.exitCode, c.exitCode) << c.args[0] << " " << result.err;
        EXPECT_EQ(result.out, c.out) << c.args[0];
        EXPECT_EQ(result.err, c.err) << c.args[0];
    }
    EXPECT_EQ(ReadAll(dir.File("back.tim")), tim);
    EXPECT_EQ(ReadAll(dir.File("back4.tim")), tim);
    EXPECT_EQ(ReadAll(dir.File("batch/a.tim")), tim);
    EXPECT_EQ(ReadAll(dir.File("flat.tim")),
              MakeTim({3, 0, 0, 0, {}, 0, 0, 0, 0, {}, {}, 5, 6, 3, 1, {8, 8, 8, 248, 0, 0}}));
    // Set 1's colours in set 0 (an Adobe table has no STP bits to give).
    const auto swapped = ReadAll(dir.File("swapped.tim"));
    for (std::size_t i = 0; i < 16; ++i) {
        const std::size_t set0 = 20 + i * 2;
        EXPECT_EQ(swapped[set0] | ((swapped[set0 + 1] & 0x7F) << 8),
                  tim[set0 + 32] | ((tim[set0 + 33] & 0x7F) << 8))
            << i;
    }
    const auto misused =
        RunCli({"convert-folder", dir.File("batch"), "--to", "bmp", "--from", "png"});
    EXPECT_EQ(misused.exitCode, 2);
    EXPECT_EQ(misused.err.rfind("pixalto-cli convert-folder: --from png goes with --to tim\n", 0),
              0u)
        << misused.err;
    for (const char* absent : {"bad.tim", "none.tim"}) {
        EXPECT_FALSE(std::filesystem::exists(dir.File(absent))) << absent;
    }
}

}  // namespace
}  // namespace pixalto
