#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/CliRun.h"
#include "cli/ThumbnailScale.h"
#include "support/TempDir.h"
#include "support/TimBuilder.h"

namespace pixalto::testing {
namespace {

constexpr Pixel kRed = MakePixel(255, 0, 0);
constexpr Pixel kBlue = MakePixel(0, 0, 255);
constexpr Pixel Gray(std::uint8_t v) {
    return MakePixel(v, v, v);
}

// Small pictures grow by the largest whole factor that fits, each pixel a
// block; large ones shrink to the longer side, each pixel the alpha-weighted
// average of the area it covers, shares of pixels cut by a border included.
TEST(Thumbnail, ScalesToFitTheSquare) {
    const struct {
        std::vector<Pixel> in;
        int width, height, size;
        int outWidth, outHeight;
        std::vector<Pixel> out;
    } cases[] = {
        {{kRed, kBlue}, 2, 1, 5, 4, 2, {kRed, kRed, kBlue, kBlue, kRed, kRed, kBlue, kBlue}},
        {{kRed, kBlue, kRed}, 3, 1, 5, 3, 1, {kRed, kBlue, kRed}},
        {{kRed, kRed, kBlue, kBlue, kRed, kRed, kBlue, kBlue}, 4, 2, 2, 2, 1, {kRed, kBlue}},
        {{Gray(0), Gray(30), Gray(90)}, 3, 1, 2, 2, 1, {Gray(10), Gray(70)}},
        {{kUndrawn, kRed}, 2, 1, 1, 1, 1, {0x80FF0000u}},
        {{kUndrawn, kUndrawn, kUndrawn, kUndrawn}, 4, 1, 2, 2, 1, {kUndrawn, kUndrawn}},
        {{kRed, kRed, kBlue, kBlue}, 1, 4, 2, 1, 2, {kRed, kBlue}},
        {{kRed}, 1, 1, 0, 0, 0, {}},
        {{}, 0, 0, 4, 0, 0, {}},
    };
    for (const auto& c : cases) {
        const cli::ScaledPicture got = cli::ScaleToFit(c.in, c.width, c.height, c.size);
        EXPECT_EQ(got.width, c.outWidth) << c.width << "x" << c.height << " in " << c.size;
        EXPECT_EQ(got.height, c.outHeight) << c.width << "x" << c.height << " in " << c.size;
        EXPECT_EQ(got.pixels, c.out) << c.width << "x" << c.height << " in " << c.size;
    }
}

// A 4-bit TIM: entry 0 of the first set clear (transparent), entry 1 red;
// the second set all blue, which a thumbnail never uses.
TimSpec TwoSetTim() {
    TimSpec tim{.mode = 8,
                .clutHeight = 2,
                .clut = std::vector<std::uint16_t>(32, 0x7C00),
                .imageWidth = 1,
                .imageHeight = 1,
                .pixels = {0x10, 0x11}};  // indices 0, 1, 1, 1
    tim.clut[0] = 0;
    tim.clut[1] = 0x001F;
    return tim;
}

TimSpec Direct16(std::uint16_t width, std::uint16_t height) {
    return {.mode = 2,
            .imageWidth = width,
            .imageHeight = height,
            .pixels = std::vector<std::uint8_t>(std::size_t{width} * height * 2, 0x1F)};
}

// The command as the desktop runs it: a PNG of the fitted size, or a failure
// with nothing written. Blocks beyond the console's 1 MiB of video memory
// are refused from their headers, before anything is read into memory.
TEST(Thumbnail, CommandWritesTheFittedPngOrRefuses) {
    constexpr std::uint32_t kVideoMemory = 1024 * 512 * 2;
    TimSpec clutTooLarge = TwoSetTim();
    clutTooLarge.clutBlockLength = 12 + kVideoMemory + 2;
    TimSpec imageTooLarge = Direct16(4, 4);
    imageTooLarge.imageBlockLength = 12 + kVideoMemory + 2;
    TimSpec huge = Direct16(4, 8);
    huge.imageWidth = huge.imageHeight = 65535;
    huge.imageBlockLength = 0xFFFFFFF0u;
    std::vector<std::uint8_t> followedByJunk = MakeTim(TwoSetTim());
    followedByJunk.resize(followedByJunk.size() + 3'000'000, 0xA5);
    const std::string tooLarge =
        "too large for a thumbnail: a block holds more than the "
        "PlayStation's video memory (1 MiB)\n";
    const std::string outOfRange = "pixalto-cli thumbnail: --size must be from 1 to 1024, not ";
    const struct {
        std::vector<std::uint8_t> file;
        std::vector<std::string> size;
        int exitCode;
        int width, height;
        std::string err;  // the start of stderr
    } cases[] = {
        {MakeTim(TwoSetTim()), {"--size", "8"}, 0, 8, 2, ""},
        {followedByJunk, {"--size", "8"}, 0, 8, 2, ""},
        {MakeTim(Direct16(300, 2)), {"--size", "100"}, 0, 100, 1, ""},
        {MakeTim(Direct16(512, 1024)), {"--size=128"}, 0, 64, 128, ""},
        {MakeTim(clutTooLarge), {"--size", "8"}, 1, 0, 0, tooLarge},
        {MakeTim(imageTooLarge), {"--size", "8"}, 1, 0, 0, tooLarge},
        {MakeTim(huge), {"--size", "8"}, 1, 0, 0, tooLarge},
        {{'h', 'e', 'l', 'l', 'o'}, {"--size", "8"}, 1, 0, 0, "TIM Header not found!\n"},
        {MakeTim(TwoSetTim()), {"--size", "0"}, 2, 0, 0, outOfRange + "0\n"},
        {MakeTim(TwoSetTim()), {"--size", "1025"}, 2, 0, 0, outOfRange + "1025\n"},
        {MakeTim(TwoSetTim()), {}, 2, 0, 0, "pixalto-cli thumbnail: --size is required\n"},
    };
    for (const auto& c : cases) {
        TempDir dir;
        const std::string png = dir.File("out.png");
        std::vector<std::string> args = {"thumbnail", dir.Write("in.tim", c.file), png};
        args.insert(args.end(), c.size.begin(), c.size.end());
        const auto result = RunCli(args);
        EXPECT_EQ(result.exitCode, c.exitCode) << result.err;
        EXPECT_EQ(result.err.substr(0, c.err.size()), c.err);
        const PngImage image = ReadPng(png);
        EXPECT_EQ(image.width, c.width) << result.err;
        EXPECT_EQ(image.height, c.height) << result.err;
    }
}

// The first CLUT set, colour word 0 as a clear pixel, each pixel a block.
TEST(Thumbnail, DrawsTheFirstSetWithTransparency) {
    TempDir dir;
    const std::string png = dir.File("out.png");
    ASSERT_EQ(RunCli({"thumbnail", dir.Write("in.tim", MakeTim(TwoSetTim())), png, "--size", "8"})
                  .exitCode,
              0);
    const PngImage image = ReadPng(png);
    ASSERT_EQ(image.width, 8);
    EXPECT_EQ(image.At(0, 0), 0x00000000u);
    EXPECT_EQ(image.At(1, 1), 0x00000000u);
    EXPECT_EQ(image.At(2, 0), 0xFF0707FFu);
    EXPECT_EQ(image.At(7, 1), 0xFF0707FFu);
}

TEST(Thumbnail, VersionNamesTheProgramForItsManPage) {
    const auto result = RunCli({"--version"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, "pixalto-cli (Pixalto) 1.03b\n");
}

}  // namespace
}  // namespace pixalto::testing
