#include <gtest/gtest.h>

#include <filesystem>

#include "cli/CliRun.h"
#include "image/Image.h"
#include "support/BmpBuilder.h"
#include "support/TempDir.h"
#include "support/TimBuilder.h"

namespace pixalto::testing {
namespace {

TEST(CliConvert, ToBmpAndBackGivesTheTimAgain) {
    TempDir dir;
    TimSpec desc = PatternTim(8, 6, 3, 3);
    desc.imageX = 512;
    desc.clutY = 481;
    for (auto& entry : desc.clut) {
        entry &= 0x7FFF;  // no STP bits, so that the round trip is exact
    }
    auto tim = MakeTim(desc);
    std::vector<std::uint8_t> raw(64, 0xAA);
    raw.insert(raw.end(), tim.begin(), tim.end());
    const std::string in = dir.Write("face.bin", raw);

    auto toBmp = RunCli({"to-bmp", in, "--offset", "64", "--set", "2"});
    ASSERT_EQ(toBmp.exitCode, 0) << toBmp.err;
    EXPECT_EQ(toBmp.out, dir.File("face.bmp") + "\n" + dir.File("face.tmext") + "\n");
    EXPECT_EQ(ReadAll(dir.File("face.tmext"))[12], 2) << "set 2 is the palette set";

    auto toTim = RunCli({"to-tim", dir.File("face.bmp"), dir.File("back.tim")});
    ASSERT_EQ(toTim.exitCode, 0) << toTim.err;
    EXPECT_EQ(toTim.out, dir.File("back.tim") + "\n");
    EXPECT_EQ(ReadAll(dir.File("back.tim")), tim);

    // Default name for to-tim: the extension replaced.
    ASSERT_EQ(RunCli({"to-tim", dir.File("face.bmp")}).exitCode, 0);
    EXPECT_EQ(ReadAll(dir.File("face.tim")), tim);
}

TEST(CliConvert, ToTimTakesMissingOriginsFromOptionsAndNamesTheOnesLacking) {
    TempDir dir;
    const std::string eight = dir.Write("eight.bmp", MakeBmp(PatternBmp(8, 4, 2)));
    const std::string direct = dir.Write("direct.BMP", MakeBmp(PatternBmp(24, 2, 2)));
    const struct {
        std::vector<std::string> args;
        int exitCode;
        std::vector<std::string> named;  // options the message must name
    } cases[] = {
        {{"to-tim", eight}, 1, {"--origin X,Y", "--clut-origin X,Y"}},
        {{"to-tim", eight, "--origin", "1,2"}, 1, {"--clut-origin X,Y"}},
        {{"to-tim", eight, "--clut-origin", "1,2"}, 1, {"--origin X,Y"}},
        {{"to-tim", direct}, 1, {"--origin X,Y"}},
        {{"to-tim", eight, "--origin", "70000,5", "--clut-origin=0x10,480"}, 0, {}},
        // The CLUT origin is not needed here: ignored.
        {{"to-tim", direct, "--origin", "3,4", "--clut-origin", "9,9"}, 0, {}},
    };
    for (const auto& c : cases) {
        auto result = RunCli(c.args);
        EXPECT_EQ(result.exitCode, c.exitCode) << c.args[1] << " " << result.err;
        for (const auto& option : c.named) {
            EXPECT_TRUE(Contains(result.err, option)) << result.err;
        }
        if (c.exitCode != 0) {
            EXPECT_TRUE(Contains(result.err, c.args[1] + " has no usable sidecar file"))
                << result.err;
        }
    }
    auto info = RunCli({"info", dir.File("eight.tim")});
    EXPECT_TRUE(Contains(info.out, "image-origin: 4464,5\nclut-origin: 16,480\n")) << info.out;
    info = RunCli({"info", dir.File("direct.tim")});
    EXPECT_TRUE(Contains(info.out, "image-origin: 3,4\nclut-origin: 0,0\n")) << info.out;
}

TEST(CliConvert, AUsableSidecarMakesTheOriginOptionsUnneeded) {
    TempDir dir;
    TimSpec desc = PatternTim(4, 8, 2, 2);
    desc.imageX = 640;
    desc.imageY = 10;
    desc.clutX = 32;
    desc.clutY = 500;
    dir.Write("face.tim", MakeTim(desc));
    ASSERT_EQ(RunCli({"to-bmp", dir.File("face.tim")}).exitCode, 0);
    auto result = RunCli({"to-tim", dir.File("face.bmp"), dir.File("out.tim"), "--origin", "1,1"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    auto info = RunCli({"info", dir.File("out.tim")});
    EXPECT_TRUE(Contains(info.out, "clut-sets: 2\nimage-origin: 640,10\nclut-origin: 32,500\n"))
        << info.out;
}

TEST(CliInfo, ReadsABmpAsTheTimItBecomes) {
    TempDir dir;
    dir.Write("face.tim", MakeTim(PatternTim(16, 5, 3)));
    ASSERT_EQ(RunCli({"to-bmp", dir.File("face.tim"), dir.File("Face.Bmp")}).exitCode, 0);
    auto fromBmp = RunCli({"info", dir.File("Face.Bmp")});
    EXPECT_EQ(fromBmp.exitCode, 0) << fromBmp.err;
    EXPECT_EQ(fromBmp.out, RunCli({"info", dir.File("face.tim")}).out);
}

TEST(CliConvert, FailuresPrintTheMessageAndExitOne) {
    TempDir dir;
    BmpSpec badSize = PatternBmp(8, 2, 2);
    badSize.biSize = 64;
    BmpSpec oneBit = PatternBmp(1, 8, 2);
    oneBit.pixels.resize(16);
    const struct {
        std::vector<std::string> args;
        std::string message;
    } cases[] = {
        {{"to-tim", dir.Write("tim.bmp", MakeTim(PatternTim(16, 2, 2)))}, "BMP Header not found!"},
        {{"info", dir.File("tim.bmp")}, "BMP Header not found!"},
        {{"to-tim", dir.Write("bad.bmp", MakeBmp(badSize))}, "Bad biSize"},
        // One line only, though opening the missing sidecar failed before.
        {{"to-tim", dir.Write("one.bmp", MakeBmp(oneBit)), "--origin", "1,1", "--clut-origin",
          "2,2"},
         "BPP Mode not supported!"},
        {{"to-bmp", dir.Write("bmp.tim", MakeBmp(PatternBmp(8, 2, 2)))}, "TIM Header not found!"},
        {{"to-tim", dir.File("one.bmp"), dir.File("no/such.tim"), "--origin", "1,1",
          "--clut-origin", "2,2"},
         "BPP Mode not supported!"},
    };
    for (const auto& c : cases) {
        auto result = RunCli(c.args);
        EXPECT_EQ(result.exitCode, 1) << c.args[1];
        EXPECT_EQ(result.err, c.message + "\n") << c.args[1];
    }
}

// The BMP's sidecar is OUT with the extension .tmext: an OUT that already
// ends so would have the BMP written over by its own sidecar.
TEST(CliConvert, ToBmpRefusesAnOutNamedLikeItsSidecar) {
    TempDir dir;
    const std::string tim = dir.Write("face.tim", MakeTim(PatternTim(4, 4, 1)));
    for (const char* name : {"face.tmext", "FACE.TMEXT", "x.TmExt", ".tmext"}) {
        const std::vector<std::uint8_t> old = {'o', 'l', 'd'};
        const std::string out = dir.Write(name, old);
        auto result = RunCli({"to-bmp", tim, out});
        EXPECT_EQ(result.exitCode, 2) << name;
        EXPECT_TRUE(Contains(result.err, "OUT may not end in .tmext")) << result.err;
        EXPECT_EQ(result.out, "") << name;
        EXPECT_EQ(ReadAll(out), old) << name;
        std::filesystem::remove(out);
    }
    // Names that only contain it are fine.
    for (const char* name : {"face.tmext.bmp", "tmext", "face.tmex"}) {
        auto result = RunCli({"to-bmp", tim, dir.File(name)});
        EXPECT_EQ(result.exitCode, 0) << name << ": " << result.err;
    }
}

// convert-folder both ways over names of mixed case: the outputs, the
// messages (each failure with its file under it), the closing message (how
// many of how many were converted, when some failed) and the exit code; a
// BMP without a sidecar is skipped unless the origins are given.
TEST(CliConvert, ConvertFolderBothWays) {
    TempDir dir;
    TimSpec desc = PatternTim(4, 8, 4, 2);
    for (auto& entry : desc.clut) {
        entry &= 0x7FFF;
    }
    const auto tim = MakeTim(desc);
    dir.Write("a.tim", tim);
    dir.Write("B.TIM", tim);
    const std::string folder = dir.Path().string();

    struct Case {
        std::vector<std::string> args;
        int exitCode;
        std::string out;
        std::string err;
        std::vector<std::string> written;
    };
    const Case cases[] = {
        {{"--to", "bmp"}, 0, "File(s) converted!\n", "", {"B.bmp", "B.tmext", "a.bmp", "a.tmext"}},
        Case({"--to", "tim"}, 1, "1 of 2 file(s) converted; 1 failed!\n",
             dir.File("a.bmp") +
                 " has no usable sidecar file: give the origins with --origin X,Y and "
                 "--clut-origin X,Y\n",
             {"B.tim"}),
        Case({"--to", "tim", "--origin", "1,2", "--clut-origin", "3,4"}, 0, "File(s) converted!\n",
             "", {"B.tim", "a.tim"}),
    };
    for (const Case& c : cases) {
        if (c.args[1] == "tim") {
            std::filesystem::remove(dir.File("a.tmext"));  // a.bmp loses its sidecar
            for (const char* name : {"a.tim", "B.TIM", "B.tim"}) {
                std::filesystem::remove(dir.File(name));
            }
        }
        std::vector<std::string> args = {"convert-folder", folder};
        args.insert(args.end(), c.args.begin(), c.args.end());
        auto result = RunCli(args);
        EXPECT_EQ(result.exitCode, c.exitCode) << c.args[1] << result.err;
        EXPECT_EQ(result.out, c.out);
        EXPECT_EQ(result.err, c.err);
        for (const std::string& name : c.written) {
            EXPECT_TRUE(std::filesystem::is_regular_file(dir.File(name))) << name;
        }
    }
    EXPECT_EQ(ReadAll(dir.File("B.tim")), tim) << "the round trip restores the TIM";

    dir.Write("c.TIM", {'n', 'o'});
    auto failed = RunCli({"convert-folder", folder, "--to", "bmp"});
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_EQ(failed.out, "2 of 3 file(s) converted; 1 failed!\n");
    EXPECT_EQ(failed.err, "TIM Header not found!\n" + dir.File("c.TIM") + "\n");

    // No match, and folders that can't be read, with the system's reason.
    std::filesystem::create_directory(dir.Path() / "empty");
    const std::pair<std::string, std::string> none[] = {
        {dir.File("empty"), ""},
        {dir.File("B.tim"), dir.File("B.tim") + ": Not a directory\n"},
        {dir.File("gone"), dir.File("gone") + ": No such file or directory\n"},
    };
    for (const auto& [path, reason] : none) {
        auto result = RunCli({"convert-folder", path, "--to", "bmp"});
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.err, "No Files were found!\n" + reason);
    }
    EXPECT_EQ(RunCli({"convert-folder", folder, "--to", "gif"}).exitCode, 2);
}

}  // namespace
}  // namespace pixalto::testing
