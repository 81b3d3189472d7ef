#include <gtest/gtest.h>

#include "cli/CliRun.h"
#include "image/Image.h"
#include "support/TempDir.h"
#include "support/TimBuilder.h"

namespace pixalto {
namespace {

using testing::MakeTim;
using testing::PatternTim;
using testing::ReadPng;
using testing::RunCli;
using testing::TempDir;
using testing::TimSpec;

std::uint32_t Rgba(Pixel p) {
    return (p << 8) | 0xFF;
}

TEST(CliInfo, PrintsTheHeaderValuesOfEachDepth) {
    struct Case {
        std::uint32_t bpp, width;
        std::uint16_t height;
        std::uint32_t sets;
        const char* expected;
    };
    const Case cases[] = {
        {4, 8, 3, 2,
         "bpp: 4\nwidth: 8\nheight: 3\nimage-data-size: 12\nclut-data-size: 64\nclut-sets: 2\n"
         "image-origin: 320,7\nclut-origin: 0,480\n"},
        {8, 6, 2, 1,
         "bpp: 8\nwidth: 6\nheight: 2\nimage-data-size: 12\nclut-data-size: 512\nclut-sets: 1\n"
         "image-origin: 320,7\nclut-origin: 0,480\n"},
        {16, 5, 4, 0,
         "bpp: 16\nwidth: 5\nheight: 4\nimage-data-size: 40\nclut-data-size: 0\nclut-sets: 0\n"
         "image-origin: 320,7\nclut-origin: 0,0\n"},
        {24, 4, 1, 0,
         "bpp: 24\nwidth: 4\nheight: 1\nimage-data-size: 12\nclut-data-size: 0\nclut-sets: 0\n"
         "image-origin: 320,7\nclut-origin: 0,0\n"},
    };
    TempDir dir;
    for (const auto& c : cases) {
        TimSpec desc = PatternTim(c.bpp, c.width, c.height, c.sets);
        desc.imageX = 320;
        desc.imageY = 7;
        desc.clutY = 480;
        std::string path = dir.Write("t.tim", MakeTim(desc));
        auto result = RunCli({"info", path});
        EXPECT_EQ(result.exitCode, 0) << result.err;
        EXPECT_EQ(result.out, c.expected);
    }
}

TEST(CliInfo, ReadsAtAnOffset) {
    TempDir dir;
    auto tim = MakeTim(PatternTim(16, 3, 3));
    std::vector<std::uint8_t> raw(300, 0xAA);
    raw.insert(raw.begin() + 255, tim.begin(), tim.end());
    std::string path = dir.Write("disc.bin", raw);
    auto result = RunCli({"info", path, "--offset", "255"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("width: 3\n"), std::string::npos);
    EXPECT_EQ(RunCli({"info", path, "--offset=0xFF"}).out, result.out);
}

TEST(CliInfo, LoadFailuresPrintTheMessageAndExitOne) {
    TempDir dir;
    TimSpec bad = PatternTim(16, 2, 2);
    bad.flagByte6 = 1;
    TimSpec huge = PatternTim(16, 2, 2);
    huge.imageBlockLength = 5;
    auto shortTim = MakeTim(PatternTim(8, 4, 4));
    shortTim.pop_back();
    TimSpec clutTooShort = PatternTim(4, 4, 1);
    clutTooShort.clutBlockLength = 4;
    const std::pair<std::vector<std::uint8_t>, std::string> cases[] = {
        {{'B', 'M', 1, 2, 3, 4, 5, 6}, "TIM Header not found!"},
        {MakeTim(bad), "Invalid TIM Header!"},
        {MakeTim(huge), "Image size is beyond 1 GIG!"},
        {shortTim, "File size is too small for the data needed for the image."},
        {MakeTim(clutTooShort), "Not enough memory to handle image!"},
    };
    for (const auto& [bytes, message] : cases) {
        std::string path = dir.Write("bad.tim", bytes);
        for (const char* command : {"info", "render"}) {
            std::vector<std::string> args = {command, path};
            if (std::string(command) == "render") {
                args.push_back(dir.File("out.png"));
            }
            auto result = RunCli(args);
            EXPECT_EQ(result.exitCode, 1) << command << ": " << message;
            EXPECT_EQ(result.err, message + "\n");
            EXPECT_EQ(result.out, "");
        }
    }
    EXPECT_FALSE(std::filesystem::exists(dir.File("out.png")));
    auto missing = RunCli({"info", dir.File("nothing.tim")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.err, "Couldn't open file!\n");
}

TEST(CliUsage, BadUsageExitsTwoAndHelpExitsZero) {
    TempDir dir;
    std::string tim = dir.Write("t.tim", MakeTim(PatternTim(4, 4, 2, 2)));
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"frobnicate"},
        {"info"},
        {"info", tim, "extra"},
        {"info", tim, "--offset"},
        {"info", tim, "--offset", "-1"},
        {"info", tim, "--offset", "12x"},
        {"info", tim, "--set", "1"},
        {"render", tim},
        {"render", tim, dir.File("o.png"), "--set", "2"},
        {"render", tim, dir.File("o.png"), "--transparency=1"},
    };
    for (const auto& args : bad) {
        auto result = RunCli(args);
        EXPECT_EQ(result.exitCode, 2) << (args.empty() ? "" : args[0]) << ' ' << args.size();
        EXPECT_FALSE(result.err.empty());
    }
    for (const char* command : {"info", "render"}) {
        auto result = RunCli({command, "--help"});
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_NE(result.out.find(std::string("Usage: pixalto-cli ") + command), std::string::npos);
    }
    EXPECT_EQ(RunCli({"--help"}).exitCode, 0);
}

TEST(CliRender, WritesThePaintedPixelsOfEachDepth) {
    TempDir dir;
    for (std::uint32_t bpp : {4u, 8u, 16u, 24u}) {
        TimSpec desc = PatternTim(bpp, 12, 7, 3, bpp);
        auto bytes = MakeTim(desc);
        std::string path = dir.Write("t.tim", bytes);
        std::string png = dir.File("t.png");
        std::vector<std::string> args = {"render", path, png};
        if (bpp <= 8) {
            args.insert(args.end(), {"--set", "2"});
        }
        auto result = RunCli(args);
        ASSERT_EQ(result.exitCode, 0) << result.err;

        // Compare with a paint of the same file in this process.
        ImageState state;
        File file;
        ASSERT_TRUE(file.Open(path, File::Mode::Read));
        ASSERT_EQ(LoadImage(state, file, true), "");
        MemorySurface surface(12, 7);
        PaintImage(state, {bpp <= 8 ? 2u : 0u, false, false}, surface, {0, 0});

        auto image = ReadPng(png);
        ASSERT_EQ(image.width, static_cast<int>(state.pixelWidth)) << bpp;
        ASSERT_EQ(image.height, 7);
        for (int y = 0; y < 7; ++y) {
            for (int x = 0; x < image.width; ++x) {
                ASSERT_EQ(image.At(x, y), Rgba(surface.At(x, y)))
                    << bpp << " at " << x << ',' << y;
            }
        }
    }
}

TEST(CliRender, TransparentAndSplitPixels) {
    TempDir dir;
    TimSpec desc;
    desc.mode = 2;
    desc.imageWidth = 2;
    desc.imageHeight = 3;
    // rows: [0x0000, 0x001F], [0x7C00, 0x0000], [0x03E0, 0x0000]
    desc.pixels = {0x00, 0x00, 0x1F, 0x00, 0x00, 0x7C, 0x00, 0x00, 0xE0, 0x03, 0x00, 0x00};
    std::string path = dir.Write("t.tim", MakeTim(desc));
    std::string png = dir.File("t.png");

    ASSERT_EQ(RunCli({"render", path, png, "--transparency"}).exitCode, 0);
    auto image = ReadPng(png);
    ASSERT_EQ(image.height, 3);
    EXPECT_EQ(image.At(0, 0), 0x00000000u);
    EXPECT_EQ(image.At(1, 0), 0xFF0707FFu);
    EXPECT_EQ(image.At(1, 1), 0x00000000u);

    ASSERT_EQ(RunCli({"render", path, png, "--split"}).exitCode, 0);
    image = ReadPng(png);
    ASSERT_EQ(image.height, 1);
    EXPECT_EQ(image.At(0, 0), 0x0707FFFFu);  // 0x0000 | 0x7C00
    EXPECT_EQ(image.At(1, 0), 0xFF0707FFu);  // 0x001F | 0x0000
}

}  // namespace
}  // namespace pixalto
