#include <gtest/gtest.h>

#include <filesystem>

#include "cli/CliRun.h"
#include "support/DiscBuilder.h"
#include "support/TempDir.h"
#include "support/TimBuilder.h"

namespace pixalto {
namespace {

using testing::MakeTim;
using testing::PatternTim;
using testing::ReadAll;
using testing::RunCli;
using testing::TempDir;
using Bytes = std::vector<std::uint8_t>;

// The whole cycle on a generated MODE2/2352 image, as a user runs it: check
// the image, scan it, look at a TIM by its listed position, extract, edit one
// TIM through BMP and back, insert, and check again: every sector still valid.
TEST(CliDisc, ExtractEditInsertKeepsTheImageValid) {
    TempDir dir;
    testing::DiscContents desc;
    desc.data = Bytes(6 * 2048, 0xA5);
    const std::vector<std::size_t> at = {300, 1900, 4000};
    const std::vector<Bytes> tims = {MakeTim(PatternTim(4, 16, 8)),
                                     MakeTim(PatternTim(16, 40, 20)),  // crosses two boundaries
                                     MakeTim(PatternTim(8, 16, 4))};
    for (std::size_t i = 0; i < tims.size(); ++i) {
        testing::PlaceBytes(desc.data, at[i], tims[i]);
    }
    desc.gapsBefore = {1, 2, 2};
    desc.firstLba = 1000;
    const testing::BuiltDisc built = testing::MakeDisc(desc);
    const std::string image = dir.Write("GAME.BIN", built.image);

    auto check = RunCli({"check-disc", image});
    EXPECT_EQ(check.exitCode, 0) << check.out;
    EXPECT_EQ(check.out,
              "sectors: 9\nmode-1: 0\nmode-2-form-1: 6\nmode-2-form-2: 3\nother: 0\n"
              "all sectors are valid\n");

    auto scan = RunCli({"scan", image});
    ASSERT_EQ(scan.exitCode, 0) << scan.err;
    std::string table = "File #\tPosition\tWidth\tHeight\n";
    const int widths[] = {4, 40, 8};
    const int heights[] = {8, 20, 4};
    for (std::size_t i = 0; i < tims.size(); ++i) {
        table += std::to_string(i + 1) + "\t" + std::to_string(built.FileOffsetOf(at[i])) + "\t" +
                 std::to_string(widths[i]) + "\t" + std::to_string(heights[i]) + "\n";
    }
    EXPECT_EQ(scan.out, table);

    const std::string second = std::to_string(built.FileOffsetOf(at[1]));
    auto info = RunCli({"info", image, "--offset", second});
    EXPECT_EQ(info.exitCode, 0) << info.err;
    EXPECT_NE(info.out.find("width: 40\nheight: 20\nimage-data-size: 1600\n"), std::string::npos)
        << info.out;
    EXPECT_EQ(RunCli({"info", image, "--offset", "0"}).exitCode, 1) << "a sync byte is no data";

    auto extract = RunCli({"extract", image, "1-"});
    ASSERT_EQ(extract.exitCode, 0) << extract.err;
    for (std::size_t i = 0; i < tims.size(); ++i) {
        EXPECT_EQ(ReadAll(dir.File(std::to_string(i + 1) + ".tim")), tims[i]) << i;
    }

    // An edit through BMP: every pixel of the second TIM changes colour.
    ASSERT_EQ(RunCli({"to-bmp", dir.File("2.tim")}).exitCode, 0);
    Bytes bmp = ReadAll(dir.File("2.bmp"));
    for (std::size_t i = 54; i < bmp.size(); ++i) {
        bmp[i] ^= 0x18;
    }
    dir.Write("2.bmp", bmp);
    ASSERT_EQ(RunCli({"to-tim", dir.File("2.bmp")}).exitCode, 0);
    const Bytes edited = ReadAll(dir.File("2.tim"));
    ASSERT_EQ(edited.size(), tims[1].size());
    ASSERT_NE(edited, tims[1]);

    auto insert = RunCli({"insert", dir.File("timextracts.txt")});
    EXPECT_EQ(insert.exitCode, 0) << insert.err;
    check = RunCli({"check-disc", image});
    EXPECT_EQ(check.exitCode, 0) << check.out;
    testing::PlaceBytes(desc.data, at[1], edited);
    EXPECT_EQ(ReadAll(image), testing::MakeDisc(desc).image);

    // A byte changed behind the codes' back is found, with its sector.
    Bytes broken = ReadAll(image);
    broken[2 * 2352 + 100] ^= 1;
    dir.Write("GAME.BIN", broken);
    check = RunCli({"check-disc", image});
    EXPECT_EQ(check.exitCode, 1);
    EXPECT_NE(check.out.find("bad sector 2 at byte 4704 (Mode 2 Form 1): EDC ECC\n"),
              std::string::npos)
        << check.out;
}

}  // namespace
}  // namespace pixalto
