#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>

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
              "not-data: 0\nall sectors are valid\n");

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

// What check-disc prints before its list for the nine sectors of HostileBase.
std::string Counts(int form1, int form2, int other, int notData) {
    return "sectors: 9\nmode-1: 0\nmode-2-form-1: " + std::to_string(form1) +
           "\nmode-2-form-2: " + std::to_string(form2) + "\nother: " + std::to_string(other) +
           "\nnot-data: " + std::to_string(notData) + "\n";
}

struct CheckDiscCase {
    const char* name;
    std::function<void(Bytes&)> damage;  // done to a valid image
    int exitCode;
    std::string out;
    bool notAnImage;
};

// Files that are no image, and images with sectors whose kind can't be told:
// each damaged sector is listed with its number and reason, a sector without
// sync is not data, and "all sectors are valid" only when they are.
TEST(CliDisc, CheckDiscListsEverySectorItCannotVouchFor) {
    // Form 1 at sectors 0, 2 and 5-8; Form 2 at 1, 3 and 4.
    testing::DiscContents desc;
    desc.data = Bytes(6 * 2048, 0x5A);
    desc.gapsBefore = {1, 2, 2};
    const Bytes valid = testing::MakeDisc(desc).image;
    auto at = [](Bytes& image, std::size_t sector, std::size_t offset) -> std::uint8_t& {
        return image[sector * 2352 + offset];
    };
    const std::string readme = "# Pixalto\n\nA tool for TIM images.\n";
    const CheckDiscCase cases[] = {
        {"valid", [](Bytes&) {}, 0, Counts(6, 3, 0, 0) + "all sectors are valid\n", false},
        {"empty", [](Bytes& b) { b.clear(); }, 1, "", true},
        {"a README", [&](Bytes& b) { b.assign(readme.begin(), readme.end()); }, 1, "", true},
        {"random bytes",
         [](Bytes& b) {
             b.resize(5 * 2352 + 17);
             std::uint32_t state = 12345;
             for (auto& byte : b) {
                 state = state * 1103515245u + 12345u;
                 byte = static_cast<std::uint8_t>(state >> 16);
             }
         },
         1, "", true},
        {"one byte short of a sector", [](Bytes& b) { b.resize(2351); }, 1, "", true},
        {"first sync broken", [&](Bytes& b) { at(b, 0, 11) = 0xFF; }, 1, "", true},
        {"flipped sync bit", [&](Bytes& b) { at(b, 2, 5) ^= 0x10; }, 0,
         Counts(5, 3, 0, 1) + "sector 2 at byte 4704: no sync, not data\n"
                              "all data sectors are valid\n",
         false},
        {"mode byte 3", [&](Bytes& b) { at(b, 6, 15) = 3; }, 1,
         Counts(5, 3, 1, 0) + "bad sector 6 at byte 14112 (mode 0x03): unknown mode\n"
                              "some sectors are not valid\n",
         false},
        {"mode byte 0x82 in the first sector", [&](Bytes& b) { at(b, 0, 15) = 0x82; }, 1,
         Counts(5, 3, 1, 0) + "bad sector 0 at byte 0 (mode 0x82): unknown mode\n"
                              "some sectors are not valid\n",
         false},
        {"subheader copies disagree", [&](Bytes& b) { at(b, 3, 20) ^= 0x01; }, 1,
         Counts(6, 2, 1, 0) + "bad sector 3 at byte 7056 (Mode 2): subheader copies disagree\n"
                              "some sectors are not valid\n",
         false},
        {"audio among damage, in file order",
         [&](Bytes& b) {
             at(b, 2, 15) = 7;
             std::fill(&at(b, 3, 0), &at(b, 6, 0), std::uint8_t{0x80});
             at(b, 7, 100) ^= 0x01;
         },
         1,
         Counts(4, 1, 1, 3) + "bad sector 2 at byte 4704 (mode 0x07): unknown mode\n"
                              "sectors 3-5 at byte 7056: no sync, not data\n"
                              "bad sector 7 at byte 16464 (Mode 2 Form 1): EDC ECC\n"
                              "some sectors are not valid\n",
         false},
    };
    TempDir dir;
    for (const CheckDiscCase& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes image = valid;
        c.damage(image);
        const std::string path = dir.Write("image.bin", image);
        auto check = RunCli({"check-disc", path});
        EXPECT_EQ(check.exitCode, c.exitCode);
        EXPECT_EQ(check.out, c.out);
        EXPECT_EQ(check.err, c.notAnImage ? path + " is not a raw CD image\n" : "");
    }
}

}  // namespace
}  // namespace pixalto
