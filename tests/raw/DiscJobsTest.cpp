#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "disc/DiscCheck.h"
#include "raw/ExtractJob.h"
#include "raw/ExtractionList.h"
#include "raw/InsertJob.h"
#include "raw/RawFiles.h"
#include "support/DiscBuilder.h"
#include "support/TempDir.h"
#include "support/TimBuilder.h"

namespace pixalto::raw {
namespace {

using testing::Bytes;
using testing::DiscContents;
using testing::MakeDisc;
using testing::MakeTim;
using testing::PatternTim;
using testing::ReadAll;
using testing::RecordingHost;
using testing::Shown;
using testing::TempDir;

// A MODE2/2352 image of 8 data sectors with Form 2 sectors between them,
// holding four TIMs in its data: one inside the first sector, one across one
// sector boundary, one across several (with two Form 2 sectors in its way),
// and one in the last sector.
struct DiscWithTims {
    TempDir dir;
    DiscContents desc;
    std::vector<std::size_t> at = {100, 1500, 5000, 7 * 2048 + 100};
    std::vector<Bytes> tims = {MakeTim(PatternTim(4, 16, 8)), MakeTim(PatternTim(16, 40, 20)),
                               MakeTim(PatternTim(16, 100, 30, 1, 3)),
                               MakeTim(PatternTim(8, 8, 4))};
    testing::BuiltDisc built;
    std::string path;
    RecordingHost host;

    DiscWithTims() {
        desc.data = testing::Filler(8 * 2048);
        for (std::size_t i = 0; i < tims.size(); ++i) {
            testing::PlaceBytes(desc.data, at[i], tims[i]);
        }
        desc.gapsBefore = {1, 3, 3, 5};
        desc.firstLba = 4495;
        Build();
    }
    void Build() {
        built = MakeDisc(desc);
        path = dir.Write("GAME.BIN", built.image);
    }
    std::uint64_t FilePosition(std::size_t tim) const { return built.FileOffsetOf(at[tim]); }
    JobState Extract(const std::string& selection) {
        host = {};
        testing::ScanInto(host, path);
        ExtractJob job(host, path, selection);
        return RunJob(job);
    }
    JobState Insert() {
        InsertJob job(host, dir.File("timextracts.txt"));
        return RunJob(job);
    }
    std::vector<disc::BadSector> BadSectors() {
        File file;
        EXPECT_TRUE(file.Open(path, File::Mode::Read));
        return disc::CheckDisc(file).bad;
    }
};

TEST(DiscJobs, ScanListsEachTimOnceAtItsFileOffset) {
    DiscWithTims disc;
    EXPECT_EQ(testing::ScanInto(disc.host, disc.path), kJobFinished);
    ASSERT_EQ(disc.host.Rows().size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(disc.host.Rows()[i].position, disc.FilePosition(i)) << i;
    }
    // Progress and texts count the file's bytes.
    EXPECT_EQ(disc.host.ProgressUpper(), static_cast<std::int64_t>(disc.built.image.size()));
    EXPECT_EQ(disc.host.StatusText(StatusLine::Lower), "Images Found: 4");

    // A truncated image keeps its whole sectors: the TIM in the cut-off last
    // sector is gone, the others stay where they were.
    disc.built.image.resize(disc.built.image.size() - 1000);
    disc.dir.Write("GAME.BIN", disc.built.image);
    RecordingHost cut;
    testing::ScanInto(cut, disc.path);
    ASSERT_EQ(cut.Rows().size(), 3u);
    EXPECT_EQ(cut.Rows()[2].position, disc.FilePosition(2));
}

TEST(DiscJobs, ExtractionGivesTheTimBytesAndRecordsTheLayout) {
    DiscWithTims disc;
    ASSERT_EQ(disc.Extract("1-"), kJobFinished);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(ReadAll(disc.dir.File(std::to_string(i + 1) + ".tim")), disc.tims[i]) << i;
    }
    const Bytes list = ReadAll(disc.dir.File("timextracts.txt"));
    std::string expected = "GAME.BIN\r\nLayout:\tMODE2/2352\r\n\r\n";
    for (std::size_t i = 0; i < 4; ++i) {
        // Each with its sector; the image has no file system to name a file.
        expected += FormatListRecord(
            {static_cast<std::int32_t>(i + 1), disc.FilePosition(i), disc.tims[i].size()},
            ListRecordPlace{disc.FilePosition(i) / 2352, ""});
    }
    EXPECT_NE(std::string(list.begin(), list.end())
                  .find("\r\nLBA:\t" + std::to_string(disc.FilePosition(3) / 2352) + "\r\n\r\n"),
              std::string::npos);
    EXPECT_EQ(std::string(list.begin(), list.end()), expected);
}

// Edited TIMs inserted back: the image is exactly the one built from the
// edited data (so every sector's codes are valid and nothing else moved),
// whatever the sizes, as long as the data holds them.
TEST(DiscJobs, InsertionWritesThroughTheDataAndKeepsEverySectorValid) {
    struct Case {
        const char* what;
        std::size_t tim;      // which TIM is edited (0-based)
        std::ptrdiff_t grow;  // bytes added to its file
        bool answer;          // to the size question
        bool written;
    };
    const Case cases[] = {
        {"same size, one boundary", 1, 0, false, true},
        {"same size, several boundaries", 2, 0, false, true},
        {"same size, last sector", 3, 0, false, true},
        {"larger, Yes: overwrites what follows, shifts nothing", 2, 700, true, true},
        {"larger, No: skipped", 2, 700, false, false},
        {"smaller, Yes: the old tail stays", 1, -100, true, true},
    };
    for (const Case& c : cases) {
        DiscWithTims disc;
        ASSERT_EQ(disc.Extract("1-"), kJobFinished);
        Bytes edited = disc.tims[c.tim];
        edited.resize(static_cast<std::size_t>(static_cast<std::ptrdiff_t>(edited.size()) + c.grow),
                      0x77);
        for (std::size_t i = 40; i < edited.size(); i += 3) {
            edited[i] ^= 0x5A;
        }
        disc.dir.Write(std::to_string(c.tim + 1) + ".tim", edited);
        disc.host.answers = {c.answer};
        EXPECT_EQ(disc.Insert(), kJobFinished) << c.what;
        EXPECT_EQ(disc.host.questions.size(), c.grow != 0 ? 1u : 0u) << c.what;
        if (c.written) {
            testing::PlaceBytes(disc.desc.data, disc.at[c.tim], edited);
        }
        EXPECT_EQ(ReadAll(disc.path), MakeDisc(disc.desc).image) << c.what;
        EXPECT_TRUE(disc.BadSectors().empty()) << c.what;
    }
}

// What can't be written through the data is refused, and the image stays as
// it was: a TIM that would run past the last data sector (a disc never
// grows), a list whose layout the RAW file doesn't have or that names none or
// two, a layout the program doesn't know, a position that holds no data, and
// a sector that was already damaged (new codes would hide that damage).
TEST(DiscJobs, InsertionRefusesWhatTheDiscCantTake) {
    enum class Damage { None, DataByte, ParityByte };
    struct Case {
        const char* what;
        std::string list;  // {pos}: the last TIM's file position
        std::string message;
        bool plainRaw = false;
        std::size_t timSize = 3000;
        Damage damage = Damage::None;  // in the last data sector, beside the TIM
    };
    const std::string disc = "GAME.BIN\r\nLayout:\tMODE2/2352\r\n\r\n";
    const std::string record = "File #4\r\nPosition:\t{pos}\r\nSize:\t3000\r\n";
    const std::string small = "File #4\r\nPosition:\t{pos}\r\nSize:\t100\r\n";
    const Case cases[] = {
        {"past the end of the data", disc + record, "Couldn't insert TIM #4."},
        {"a disc list for a plain file", disc + record,
         "The extraction list was written for a MODE2/2352 disc image, but {dir}GAME.BIN is not "
         "one. Nothing was inserted.",
         true},
        {"a Mode 1 list for a Mode 2 image", "GAME.BIN\r\nLayout:\tMODE1/2352\r\n\r\n" + record,
         "The extraction list was written for a MODE1/2352 disc image, but {dir}GAME.BIN is a "
         "MODE2/2352 one. Nothing was inserted."},
        {"a plain list for a Mode 2 image", "GAME.BIN\r\nLayout:\tplain\r\n\r\n" + small,
         "The extraction list was written for a plain file, but {dir}GAME.BIN is a MODE2/2352 "
         "disc image. Nothing was inserted.",
         false, 100},
        {"an unknown layout", "GAME.BIN\r\nLayout:\tMODE9/999\r\n\r\n" + record,
         "The extraction list names a layout this program doesn't know: MODE9/999."},
        {"no layout line", "GAME.BIN\r\n\r\n" + small,
         "The extraction list names no layout, but {dir}GAME.BIN is a MODE2/2352 disc image. "
         "Nothing was inserted.",
         false, 100},
        {"two layouts, the second after the record", disc + small + "\r\nLayout:\tplain\r\n",
         "The extraction list can't be read: it names two layouts, MODE2/2352 and plain. Nothing "
         "was inserted.",
         false, 100},
        {"a sync byte", disc + "File #4\r\nPosition:\t{sectorAt}\r\nSize:\t100\r\n",
         "Couldn't insert TIM #4.\nOffset {sectorAt} is not in the sectors' data.", false, 100},
        {"past the end of the file", disc + "File #4\r\nPosition:\t{end}\r\nSize:\t100\r\n",
         "Couldn't insert TIM #4.\nOffset {end} is past the end of the file.", false, 100},
        {"a damaged data byte", disc + small,
         "Couldn't insert TIM #4.\nSector {sector} at byte {sectorAt} is already damaged: its EDC "
         "and ECC don't match its bytes.",
         false, 100, Damage::DataByte},
        {"a damaged parity byte", disc + small,
         "Couldn't insert TIM #4.\nSector {sector} at byte {sectorAt} is already damaged: its ECC "
         "doesn't match its bytes.",
         false, 100, Damage::ParityByte},
    };
    for (const Case& c : cases) {
        DiscWithTims disc;
        if (c.plainRaw) {
            disc.path = disc.dir.Write("GAME.BIN", disc.desc.data);
        }
        const std::uint64_t sector = disc.built.dataSectorAt[7];
        if (c.damage != Damage::None) {
            Bytes image = ReadAll(disc.path);
            image[sector * 2352 + (c.damage == Damage::DataByte ? 24 : 2080)] ^= 0x40;
            disc.dir.Write("GAME.BIN", image);
        }
        const Bytes before = ReadAll(disc.path);
        auto fill = [&](std::string text) {
            for (auto [key, value] : std::vector<std::pair<std::string, std::string>>{
                     {"{pos}", std::to_string(disc.FilePosition(3))},
                     {"{dir}", disc.dir.Path().string() + "/"},
                     {"{sectorAt}", std::to_string(sector * 2352)},
                     {"{sector}", std::to_string(sector)},
                     {"{end}", std::to_string(before.size())}}) {
                for (auto found = text.find(key); found != std::string::npos;
                     found = text.find(key)) {
                    text.replace(found, key.size(), value);
                }
            }
            return text;
        };
        const std::string list = fill(c.list);
        disc.dir.Write("timextracts.txt", Bytes(list.begin(), list.end()));
        disc.dir.Write("4.tim", Bytes(c.timSize, 0x44));
        EXPECT_EQ(disc.Insert(), kJobStopped) << c.what;
        EXPECT_EQ(disc.host.messages, (std::vector<Shown>{{fill(c.message), "Insertion Error"}}))
            << c.what;
        EXPECT_EQ(ReadAll(disc.path), before) << c.what;
    }
}

// The layout line counts wherever it stands in the list, and the user's
// layout overrides both the list and what the first sector shows. Sectors
// already damaged are refused only where the TIM goes, and written anyway
// when the user says so. Each way the image is exactly what it should be.
TEST(DiscJobs, InsertionTakesTheLayoutFromAnyLineOrFromTheUser) {
    enum class Damage { None, FirstSync, Untouched, Touched };
    struct Case {
        const char* what;
        std::string list;  // {rec}: the record of TIM #3, which spans four data sectors
        InsertOptions options;
        Damage damage = Damage::None;
        bool plainBytes = false;  // written over the file's bytes, not into the data
    };
    const std::string disc = "GAME.BIN\r\nLayout:\tMODE2/2352\r\n\r\n{rec}";
    const Case cases[] = {
        {"the line after a blank line", "GAME.BIN\r\n\r\nLayout:\tMODE2/2352\r\n{rec}", {}},
        {"the line twice, the second last with blanks and no line end",
         disc + "Layout: MODE2/2352 ",
         {}},
        {"--layout disc, the first sector damaged", disc, {LayoutChoice::Disc}, Damage::FirstSync},
        {"--layout disc, no layout line", "GAME.BIN\r\n\r\n{rec}", {LayoutChoice::Disc}},
        {"--layout plain writes plain bytes", disc, {LayoutChoice::Plain}, Damage::None, true},
        {"damage in a sector the TIM doesn't touch", disc, {}, Damage::Untouched},
        {"--rebuild-damaged", disc, {LayoutChoice::Auto, true}, Damage::Touched},
    };
    for (const Case& c : cases) {
        DiscWithTims disc;
        const std::size_t tim = 2;
        Bytes edited = disc.tims[tim];
        for (std::size_t i = 40; i < edited.size(); i += 3) {
            edited[i] ^= 0x5A;
        }
        disc.dir.Write("3.tim", edited);
        std::string list = c.list;
        list.replace(list.find("{rec}"), 5,
                     FormatListRecord({3, disc.FilePosition(tim), edited.size()}));
        disc.dir.Write("timextracts.txt", Bytes(list.begin(), list.end()));

        // Damage in the file, and the same damage where it is expected to stay.
        Bytes image = disc.built.image;
        std::optional<std::uint64_t> damaged;
        if (c.damage == Damage::FirstSync) {
            damaged = 1;
        } else if (c.damage == Damage::Untouched) {
            damaged = disc.built.FileOffsetOf(0);
        } else if (c.damage == Damage::Touched) {
            damaged = disc.built.FileOffsetOf(disc.at[tim] - 1);
            disc.desc.data[disc.at[tim] - 1] ^= 0x40;  // its codes rebuilt: part of the data
        }
        if (damaged) {
            image[*damaged] ^= 0x40;
            disc.dir.Write("GAME.BIN", image);
        }
        Bytes expected = image;
        if (c.plainBytes) {
            testing::PlaceBytes(expected, disc.FilePosition(tim), edited);
        } else {
            testing::PlaceBytes(disc.desc.data, disc.at[tim], edited);
            expected = MakeDisc(disc.desc).image;
            if (c.damage != Damage::Touched && damaged) {
                expected[*damaged] ^= 0x40;
            }
        }
        InsertJob job(disc.host, disc.dir.File("timextracts.txt"), c.options);
        EXPECT_EQ(RunJob(job), kJobFinished) << c.what;
        EXPECT_TRUE(disc.host.messages.empty()) << c.what << ": " << disc.host.messages[0].text;
        EXPECT_EQ(ReadAll(disc.path), expected) << c.what;
    }
}

}  // namespace
}  // namespace pixalto::raw
