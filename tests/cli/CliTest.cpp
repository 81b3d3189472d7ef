#include <gtest/gtest.h>

#include <filesystem>

#include "cli/CliRun.h"
#include "support/TempDir.h"
#include "support/TimBuilder.h"

namespace pixalto::testing {
namespace {

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
    EXPECT_EQ(missing.err,
              "Couldn't open file!\n" + dir.File("nothing.tim") + ": No such file or directory\n");
}

// Known answers for the depths with a CLUT and for 24 bits, and for the
// view options: colour words convert with k * 8 + 7 per component; 24-bit
// pixels are red, green, blue.
TEST(CliRender, WritesKnownColoursForEachDepth) {
    // 4 pixels, low nibble first: indices 0, 1, 2, 3 of set 1, which holds
    // red, green, blue, and black with only the STP bit.
    TimSpec four{.mode = 8,
                 .clutHeight = 2,
                 .clut = std::vector<std::uint16_t>(32),
                 .imageWidth = 1,
                 .imageHeight = 1,
                 .pixels = {0x10, 0x32}};
    four.clut[16] = 0x001F;
    four.clut[17] = 0x03E0;
    four.clut[18] = 0x7C00;
    four.clut[19] = 0x8000;
    // 2 pixels: 1, 1, 1 and white.
    TimSpec eight{.mode = 9,
                  .clutWidth = 256,
                  .clut = std::vector<std::uint16_t>(256),
                  .imageWidth = 1,
                  .imageHeight = 1,
                  .pixels = {0x01, 0xFF}};
    eight.clut[1] = 0x0421;
    eight.clut[255] = 0x7FFF;
    const TimSpec direct24{.mode = 3,
                           .imageWidth = 3,
                           .imageHeight = 1,
                           .pixels = {0x12, 0x34, 0x56, 0xAB, 0xCD, 0xEF}};  // 2 pixels
    // Rows of 16-bit words: 0x0000, 0x001F; 0x7C00, 0x0000; 0x03E0, 0x0000.
    const TimSpec direct16{
        .mode = 2,
        .imageWidth = 2,
        .imageHeight = 3,
        .pixels = {0x00, 0x00, 0x1F, 0x00, 0x00, 0x7C, 0x00, 0x00, 0xE0, 0x03, 0x00, 0x00}};

    const struct {
        const char* name;
        TimSpec desc;
        std::vector<std::string> options;
        std::vector<std::vector<std::uint32_t>> rows;  // 0xRRGGBBAA
    } cases[] = {
        {"4-bit, set 1", four, {"--set", "1"}, {{0xFF0707FF, 0x07FF07FF, 0x0707FFFF, 0x070707FF}}},
        {"8-bit", eight, {}, {{0x0F0F0FFF, 0xFFFFFFFF}}},
        {"24-bit", direct24, {}, {{0x123456FF, 0xABCDEFFF}}},
        {"transparent word 0",
         direct16,
         {"--transparency"},
         {{0x00000000, 0xFF0707FF}, {0x0707FFFF, 0x00000000}, {0x07FF07FF, 0x00000000}}},
        // The lower half ORed over the upper: 0x0000 | 0x7C00, 0x001F | 0x0000.
        {"split", direct16, {"--split"}, {{0x0707FFFF, 0xFF0707FF}}},
    };
    TempDir dir;
    for (const auto& c : cases) {
        std::string path = dir.Write("t.tim", MakeTim(c.desc));
        std::string png = dir.File("t.png");
        std::vector<std::string> args = {"render", path, png};
        args.insert(args.end(), c.options.begin(), c.options.end());
        auto result = RunCli(args);
        ASSERT_EQ(result.exitCode, 0) << c.name << ": " << result.err;
        auto image = ReadPng(png);
        ASSERT_EQ(image.width, static_cast<int>(c.rows[0].size())) << c.name;
        ASSERT_EQ(image.height, static_cast<int>(c.rows.size())) << c.name;
        for (std::size_t y = 0; y < c.rows.size(); ++y) {
            for (std::size_t x = 0; x < c.rows[y].size(); ++x) {
                EXPECT_EQ(image.At(static_cast<int>(x), static_cast<int>(y)), c.rows[y][x])
                    << c.name << " at " << x << "," << y;
            }
        }
    }
}

TEST(CliRender, DashWritesThePngToStandardOutput) {
    TempDir dir;
    const TimSpec desc{.mode = 2,
                       .imageWidth = 2,
                       .imageHeight = 1,
                       .pixels = {0x1F, 0x00, 0xE0, 0x03}};  // red, green
    std::string path = dir.Write("t.tim", MakeTim(desc));

    CliSetup inDir;
    inDir.workDir = dir.Path().string();
    auto piped = RunCli({"render", path, "-"}, inDir);
    ASSERT_EQ(piped.exitCode, 0) << piped.err;
    EXPECT_EQ(piped.err, "");
    EXPECT_FALSE(std::filesystem::exists(dir.File("-"))) << "no file named - is written";
    std::string png = dir.Write("piped.png", {piped.out.begin(), piped.out.end()});
    auto image = ReadPng(png);
    ASSERT_EQ(image.width, 2);
    ASSERT_EQ(image.height, 1);
    EXPECT_EQ(image.At(0, 0), 0xFF0707FFu);
    EXPECT_EQ(image.At(1, 0), 0x07FF07FFu);

    // The same bytes as a PNG written to a file.
    ASSERT_EQ(RunCli({"render", path, dir.File("file.png")}).exitCode, 0);
    auto file = ReadAll(dir.File("file.png"));
    EXPECT_EQ(piped.out, std::string(file.begin(), file.end()));
}

}  // namespace
}  // namespace pixalto::testing
