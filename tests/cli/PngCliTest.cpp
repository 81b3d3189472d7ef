#include <gtest/gtest.h>

#include <filesystem>

#include "cli/CliRun.h"
#include "image/Png.h"
#include "support/PngBuilder.h"
#include "support/TempDir.h"
#include "support/TimBuilder.h"

namespace pixalto::testing {
namespace {

// Every PNG and palette command on one folder, in the order a modder uses
// them: each line's output, exit code and the files it leaves.
TEST(CliPng, ConvertsToPngAndBackAndMovesPalettes) {
    TempDir dir;
    const auto tim = MakeTim(PatternTim(4, 8, 3, 4, 5));
    const std::string face = dir.Write("face.tim", tim);
    const std::string png = dir.File("face.png");
    const std::string flat =
        dir.Write("flat.png", MakePng({2, 1, 2, 8, false, {}, {}, {8, 8, 8, 248, 0, 0}, {}}));
    std::filesystem::create_directory(dir.File("batch"));
    dir.Write("batch/a.TIM", tim);
    struct Case {
        std::vector<std::string> args;
        int exitCode;
        std::string out, err;
    };
    // A command that prints the files it wrote, and one that fails saying err.
    const auto wrote = [&](std::vector<std::string> args, std::vector<std::string> files) {
        std::string out;
        for (const std::string& file : files) {
            out += dir.File(file) + "\n";
        }
        return Case{std::move(args), 0, out, ""};
    };
    const auto fails = [](std::vector<std::string> args, std::string err) {
        return Case{std::move(args), 1, "", std::move(err)};
    };
    const std::string converted = "File(s) converted!\n";
    const Case cases[] = {
        wrote({"to-png", face, "--set", "2"}, {"face.png", "face.tmext"}),
        wrote({"to-tim", png, dir.File("back.tim")}, {"back.tim"}),
        wrote({"to-png", face, dir.File("all.png"), "--all-sets"},
              {"all_set1.png", "all_set1.tmext", "all_set2.png", "all_set2.tmext", "all_set3.png",
               "all_set3.tmext", "all_set4.png", "all_set4.tmext"}),
        wrote({"to-tim", dir.File("all_set4.png"), dir.File("back4.tim")}, {"back4.tim"}),
        fails({"to-tim", flat, dir.File("flat.tim")},
              flat + " has no usable sidecar file: give the origins with --origin X,Y\n"),
        wrote({"to-tim", flat, dir.File("flat.tim"), "--origin", "5,6", "--bpp", "24"},
              {"flat.tim"}),
        fails({"to-tim", dir.Write("bad.png", {1, 2, 3, 4, 5, 6, 7, 8, 9}), dir.File("bad.tim")},
              "Couldn't read the PNG: Not a PNG file\n"),
        wrote({"export-palette", face, dir.File("face.act"), "--set", "1"}, {"face.act"}),
        wrote({"import-palette", face, dir.File("face.act"), dir.File("swapped.tim")},
              {"swapped.tim"}),
        fails({"import-palette", face, dir.Write("blank.gpl", std::vector<std::uint8_t>(300, '\n')),
               dir.File("none.tim")},
              "Couldn't read the palette: it doesn't start with \"GIMP Palette\"\n"),
        {{"convert-folder", dir.File("batch"), "--to", "png"}, 0, converted, ""},
        {{"convert-folder", dir.File("batch"), "--to", "tim", "--from", "png"}, 0, converted, ""},
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
}  // namespace pixalto::testing
