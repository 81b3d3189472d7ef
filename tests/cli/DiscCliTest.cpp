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

// A generated MODE2/2352 image of six data sectors with Form 2 sectors
// between them, holding three TIMs in its data: the second crosses two sector
// boundaries, the third one.
struct CliDiscImage {
    TempDir dir;
    testing::DiscContents desc;
    const std::vector<std::size_t> at = {300, 1900, 4000};
    const std::vector<Bytes> tims = {MakeTim(PatternTim(4, 16, 8)), MakeTim(PatternTim(16, 40, 20)),
                                     MakeTim(PatternTim(8, 16, 4))};
    testing::BuiltDisc built;
    std::string image;

    CliDiscImage() {
        desc.data = Bytes(6 * 2048, 0xA5);
        for (std::size_t i = 0; i < tims.size(); ++i) {
            testing::PlaceBytes(desc.data, at[i], tims[i]);
        }
        desc.gapsBefore = {1, 2, 2};
        desc.firstLba = 1000;
        built = testing::MakeDisc(desc);
        image = dir.Write("GAME.BIN", built.image);
    }
};

// The whole cycle on a generated MODE2/2352 image, as a user runs it: check
// the image, scan it, look at a TIM by its listed position, extract, edit one
// TIM through BMP and back, insert, and check again: every sector still valid.
TEST(CliDisc, ExtractEditInsertKeepsTheImageValid) {
    CliDiscImage disc;

    auto check = RunCli({"check-disc", disc.image});
    EXPECT_EQ(check.exitCode, 0) << check.out;
    EXPECT_EQ(check.out,
              "sectors: 9\nmode-1: 0\nmode-2-form-1: 6\nmode-2-form-2: 3\nother: 0\n"
              "not-data: 0\nall sectors are valid\n");

    auto scan = RunCli({"scan", disc.image});
    ASSERT_EQ(scan.exitCode, 0) << scan.err;
    std::string table = "File #\tPosition\tWidth\tHeight\n";
    const int widths[] = {4, 40, 8};
    const int heights[] = {8, 20, 4};
    for (std::size_t i = 0; i < disc.tims.size(); ++i) {
        table += std::to_string(i + 1) + "\t" +
                 std::to_string(disc.built.FileOffsetOf(disc.at[i])) + "\t" +
                 std::to_string(widths[i]) + "\t" + std::to_string(heights[i]) + "\n";
    }
    EXPECT_EQ(scan.out, table);

    const std::string second = std::to_string(disc.built.FileOffsetOf(disc.at[1]));
    auto info = RunCli({"info", disc.image, "--offset", second});
    EXPECT_EQ(info.exitCode, 0) << info.err;
    EXPECT_NE(info.out.find("width: 40\nheight: 20\nimage-data-size: 1600\n"), std::string::npos)
        << info.out;
    EXPECT_EQ(RunCli({"info", disc.image, "--offset", "0"}).exitCode, 1)
        << "a sync byte is no data";

    auto extract = RunCli({"extract", disc.image, "1-"});
    ASSERT_EQ(extract.exitCode, 0) << extract.err;
    for (std::size_t i = 0; i < disc.tims.size(); ++i) {
        EXPECT_EQ(ReadAll(disc.dir.File(std::to_string(i + 1) + ".tim")), disc.tims[i]) << i;
    }

    // An edit through BMP: every pixel of the second TIM changes colour.
    ASSERT_EQ(RunCli({"to-bmp", disc.dir.File("2.tim")}).exitCode, 0);
    Bytes bmp = ReadAll(disc.dir.File("2.bmp"));
    for (std::size_t i = 54; i < bmp.size(); ++i) {
        bmp[i] ^= 0x18;
    }
    disc.dir.Write("2.bmp", bmp);
    ASSERT_EQ(RunCli({"to-tim", disc.dir.File("2.bmp")}).exitCode, 0);
    const Bytes edited = ReadAll(disc.dir.File("2.tim"));
    ASSERT_EQ(edited.size(), disc.tims[1].size());
    ASSERT_NE(edited, disc.tims[1]);

    auto insert = RunCli({"insert", disc.dir.File("timextracts.txt")});
    EXPECT_EQ(insert.exitCode, 0) << insert.err;
    check = RunCli({"check-disc", disc.image});
    EXPECT_EQ(check.exitCode, 0) << check.out;
    testing::PlaceBytes(disc.desc.data, disc.at[1], edited);
    EXPECT_EQ(ReadAll(disc.image), testing::MakeDisc(disc.desc).image);

    // A byte changed behind the codes' back is found, with its sector.
    Bytes broken = ReadAll(disc.image);
    broken[2 * 2352 + 100] ^= 1;
    disc.dir.Write("GAME.BIN", broken);
    check = RunCli({"check-disc", disc.image});
    EXPECT_EQ(check.exitCode, 1);
    EXPECT_NE(check.out.find("bad sector 2 at byte 4704 (Mode 2 Form 1): EDC ECC\n"),
              std::string::npos)
        << check.out;
}

// Each way a command finds nothing it may read or write at the place asked:
// the message says why, the exit code is 1, and the image stays as it was.
// Where the user overrides the refusal, the TIM is inserted instead.
TEST(CliDisc, SaysWhyNothingWasReadOrWritten) {
    using Prepare = std::function<std::vector<std::string>(CliDiscImage&)>;
    // Extracts TIMs, edits them all (each keeps its size), and returns the
    // insert command for their list with the given options.
    auto insertEdited = [](const char* selection, std::vector<std::string> options) {
        return [selection, options](CliDiscImage& disc) {
            EXPECT_EQ(RunCli({"extract", disc.image, selection}).exitCode, 0);
            for (std::size_t i = 0; i < disc.tims.size(); ++i) {
                const std::string tim = disc.dir.File(std::to_string(i + 1) + ".tim");
                if (std::filesystem::exists(tim)) {
                    Bytes edited = disc.tims[i];
                    edited.back() ^= 0xFF;
                    disc.dir.Write(std::to_string(i + 1) + ".tim", edited);
                    testing::PlaceBytes(disc.desc.data, disc.at[i], edited);
                }
            }
            std::vector<std::string> args = {"insert", disc.dir.File("timextracts.txt")};
            args.insert(args.end(), options.begin(), options.end());
            return args;
        };
    };
    // Flips a bit of the image's byte at offset; where the byte is data the
    // expected image gets it too.
    auto damage = [](CliDiscImage& disc, std::uint64_t offset) {
        Bytes image = ReadAll(disc.image);
        image[offset] ^= 0x40;
        disc.dir.Write("GAME.BIN", image);
    };
    // A data byte beside the second TIM, in a sector it touches.
    auto besideSecond = [](CliDiscImage& disc) { return disc.built.FileOffsetOf(disc.at[1] - 1); };
    struct Case {
        const char* what;
        Prepare prepare;
        int exitCode;
        std::string err;       // {dir}, {end}, {sector}, {sectorAt} filled in
        bool changed = false;  // the edited TIMs are inserted
    };
    const Case cases[] = {
        {"info at a sync byte",
         [](CliDiscImage& disc) {
             return std::vector<std::string>{"info", disc.image, "--offset", "0"};
         },
         1, "Offset 0 is not in the sectors' data.\n"},
        {"render past the end",
         [](CliDiscImage& disc) {
             return std::vector<std::string>{"render", disc.image, disc.dir.File("x.png"),
                                             "--offset", std::to_string(disc.built.image.size())};
         },
         1, "Offset {end} is past the end of the file.\n"},
        {"info past the end of a plain file",
         [](CliDiscImage& disc) {
             return std::vector<std::string>{"info",  disc.image, "--offset",
                                             "{end}", "--layout", "plain"};
         },
         1, "Offset {end} is past the end of the file.\n"},
        {"extract over the RAW file itself",
         [](CliDiscImage& disc) {
             std::filesystem::create_symlink(disc.image, disc.dir.File("3.tim"));
             return std::vector<std::string>{"extract", disc.image, "1-"};
         },
         1, "Couldn't create file {dir}3.tim!\n{dir}3.tim is the RAW file itself.\n"},
        {"insert a list without its layout line",
         [&](CliDiscImage& disc) {
             auto args = insertEdited("1-", {})(disc);
             const Bytes list = ReadAll(args[1]);
             std::string text(list.begin(), list.end());
             text.erase(text.find("Layout:"),
                        text.find("\r\n", text.find("Layout:")) + 2 - text.find("Layout:"));
             disc.dir.Write("timextracts.txt", Bytes(text.begin(), text.end()));
             return args;
         },
         1,
         "The extraction list names no layout, but {dir}GAME.BIN is a MODE2/2352 disc image. "
         "Nothing was inserted.\n"},
        {"insert into a damaged sector",
         [&](CliDiscImage& disc) {
             auto args = insertEdited("2", {})(disc);
             damage(disc, besideSecond(disc));
             return args;
         },
         1,
         "Couldn't insert TIM #2.\nSector {sector} at byte {sectorAt} is already damaged: its EDC "
         "and ECC don't match its bytes.\n"},
        {"insert into a damaged sector with --rebuild-damaged",
         [&](CliDiscImage& disc) {
             auto args = insertEdited("2", {"--rebuild-damaged"})(disc);
             damage(disc, besideSecond(disc));
             disc.desc.data[disc.at[1] - 1] ^= 0x40;
             return args;
         },
         0, "", true},
        {"insert --layout disc with the first sector damaged",
         [&](CliDiscImage& disc) {
             auto args = insertEdited("3", {"--layout", "disc"})(disc);
             damage(disc, 5);  // its sync: the image no longer looks like one
             return args;
         },
         0, "", true},
    };
    for (const Case& c : cases) {
        CliDiscImage disc;
        std::vector<std::string> args = c.prepare(disc);
        const Bytes before = ReadAll(disc.image);
        const std::uint64_t sector = besideSecond(disc) / 2352;
        auto fill = [&](std::string text) {
            for (auto [key, value] : std::vector<std::pair<std::string, std::string>>{
                     {"{dir}", disc.dir.Path().string() + "/"},
                     {"{end}", std::to_string(before.size())},
                     {"{sectorAt}", std::to_string(sector * 2352)},
                     {"{sector}", std::to_string(sector)}}) {
                for (auto found = text.find(key); found != std::string::npos;
                     found = text.find(key)) {
                    text.replace(found, key.size(), value);
                }
            }
            return text;
        };
        for (std::string& arg : args) {
            arg = fill(arg);
        }
        auto result = RunCli(args);
        EXPECT_EQ(result.exitCode, c.exitCode) << c.what << ": " << result.err;
        EXPECT_EQ(result.err, fill(c.err)) << c.what;
        if (c.changed) {
            EXPECT_EQ(result.out, "TIM File(s) have been inserted!\n") << c.what;
            Bytes expected = testing::MakeDisc(disc.desc).image;
            if (expected[5] != before[5]) {
                expected[5] = before[5];  // the damaged sync, which no write touches
            }
            EXPECT_EQ(ReadAll(disc.image), expected) << c.what;
        } else {
            EXPECT_EQ(result.out, "") << c.what;
            EXPECT_EQ(ReadAll(disc.image), before) << c.what;
        }
    }
}

// What check-disc prints before its list: the counts of the nine-sector
// image of the test below, or of as many sectors as given.
std::string Counts(int form1, int form2, int other, int notData, int sectors = 9) {
    return "sectors: " + std::to_string(sectors) +
           "\nmode-1: 0\nmode-2-form-1: " + std::to_string(form1) +
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
    // 18 Form 1 sectors stored without sync and headers, known by the volume
    // descriptor in sector 16; sector 5 damaged.
    testing::DiscContents fs;
    fs.data = Bytes(18 * 2048, 0x5A);
    testing::PlaceBytes(fs.data, 16 * 2048, {0x01, 'C', 'D', '0', '0', '1'});
    Bytes headerless = testing::WithoutHeaders(testing::MakeDisc(fs)).image;
    headerless[5 * 2336 + 100] ^= 0x01;
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
        {"MODE2/2336", [&](Bytes& b) { b = headerless; }, 1,
         Counts(18, 0, 0, 0, 18) + "bad sector 5 at byte 11680 (Mode 2 Form 1): EDC ECC\n"
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
