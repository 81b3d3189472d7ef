#include <gtest/gtest.h>

#include "platform/File.h"
#include "raw/Job.h"
#include "raw/RawFiles.h"
#include "raw/RecordingHost.h"
#include "raw/ScanFileJob.h"
#include "raw/TimSignature.h"
#include "support/TempDir.h"
#include "support/TimBuilder.h"

namespace pixalto::raw {
namespace {

using testing::Bytes;
using testing::Filler;
using testing::MakeTim;
using testing::PatternTim;
using testing::Place;
using testing::RecordingHost;
using testing::TempDir;
using testing::TimSpec;
struct ScanRun {
    JobState result = JobState::Running;
    int steps = 0;
};

ScanRun Scan(const std::string& path, RecordingHost& host) {
    ScanFileJob job(host, path);
    ScanRun run;
    JobState state = job.Start();
    while (state == JobState::Running) {
        state = job.Step();
        ++run.steps;
    }
    run.result = job.End();
    return run;
}

std::vector<std::uint64_t> Positions(const RecordingHost& host) {
    std::vector<std::uint64_t> out;
    for (const auto& row : host.Rows()) {
        out.push_back(row.position);
    }
    return out;
}

Bytes SmallTim16() {
    return MakeTim(PatternTim(16, 2, 2));
}

TEST(Scan, ListsTimAtOffsetZeroWithItsCells) {
    TempDir dir;
    TimSpec desc = PatternTim(4, 12, 5);
    Bytes raw = MakeTim(desc);
    RecordingHost host;
    auto run = Scan(dir.Write("a.bin", raw), host);
    EXPECT_EQ(run.result, kJobFinished);
    ASSERT_EQ(host.Rows().size(), 1u);
    EXPECT_EQ(host.Rows()[0], (ScanEntry{0, 1, 3, 5}));
    EXPECT_TRUE(host.messages.empty());
}

// Window k starts at k * 29,991; offsets up to 29,990 are tested in window 0.
TEST(Scan, FindsTimsAtAndAcrossWindowBoundariesExactlyOnce) {
    const std::size_t offsets[] = {29'980, 29'989, 29'990, 29'991, 29'992, 29'995,
                                   29'999, 30'000, 59'972, 59'981, 59'982, 59'990};
    TempDir dir;
    for (std::uint32_t bpp : {4u, 16u}) {
        for (std::size_t offset : offsets) {
            Bytes raw = Filler(100'000);
            Place(raw, offset, MakeTim(PatternTim(bpp, 8, 3)));
            RecordingHost host;
            Scan(dir.Write("w.bin", raw), host);
            EXPECT_EQ(Positions(host), std::vector<std::uint64_t>{offset})
                << "bpp " << bpp << " at " << offset;
        }
    }
}

// The file is read in blocks of 1 MiB that start at a window; window 34 (at
// 1,019,694) is the first that doesn't fit in the first block. Each window is
// searched for identifier words 64 bytes at a time (a word at 61 to 63 ends
// in the next step), and a candidate's first block header is judged from the
// bytes in memory. TIMs at every offset of the first steps, at the edges of
// windows and blocks, one whose CLUT runs past the block's end, and one whose
// image header ends at the file's last byte, are each found once; with a byte
// of the identifier changed, or the file one byte shorter, they are not.
TEST(Scan, FindsTimsAtTheEdgesOfStepsBlocksAndTheFileExactlyOnce) {
    struct Case {
        std::size_t offset;
        TimSpec desc;
        std::size_t length;       // of the file, which may cut the TIM
        std::size_t changed = 0;  // a byte of the TIM set to 1; 0 for none
        bool found = true;
    };
    const TimSpec small = PatternTim(16, 8, 3);
    const TimSpec smallClut = PatternTim(4, 16, 2);
    const TimSpec bigClut = PatternTim(8, 16, 4, 60);  // 30 KiB of CLUT
    const TimSpec tinyClut = PatternTim(4, 4, 1);      // image header at 52, one unit
    constexpr std::size_t kLong = 2'200'000;
    std::vector<Case> cases = {
        {1'019'680, small, kLong},      {1'019'690, small, kLong},
        {1'019'694, small, kLong},      {1'019'700, small, kLong},
        {1'048'560, small, kLong},      {1'048'570, small, kLong},
        {1'048'576, small, kLong},      {2'068'260, small, kLong},
        {1'030'000, bigClut, kLong},    {1'048'000, bigClut, kLong},
        {1'019'690, bigClut, kLong},    {61, small, 300, 3, false},
        {62, small, 300, 2, false},     {63, smallClut, 300, 1, false},
        {100, tinyClut, 100 + 52 + 12}, {100, tinyClut, 100 + 52 + 11, 0, false},
    };
    for (std::size_t offset = 0; offset < 80; ++offset) {
        cases.push_back({offset, small, 300});
        cases.push_back({offset, smallClut, 300});
    }
    TempDir dir;
    for (const Case& c : cases) {
        Bytes raw = Filler(c.length);
        Place(raw, c.offset, MakeTim(c.desc));
        raw.resize(c.length);
        if (c.changed != 0) {
            raw[c.offset + c.changed] = 1;
        }
        RecordingHost host;
        Scan(dir.Write("edges.bin", raw), host);
        EXPECT_EQ(Positions(host),
                  c.found ? std::vector<std::uint64_t>{c.offset} : std::vector<std::uint64_t>{})
            << "at " << c.offset << ", mode " << int{c.desc.mode} << ", length " << c.length
            << ", byte " << c.changed << " changed";
    }
}

TEST(Scan, FollowsAClutBlockThatReachesFarPastTheWindow) {
    TempDir dir;
    Bytes raw = Filler(29'000);
    Bytes tim = MakeTim(PatternTim(8, 16, 4, 40));  // CLUT of 20 KiB
    Place(raw, 28'000, tim);
    raw.resize(raw.size() + 5000, testing::kFillerByte);
    RecordingHost host;
    Scan(dir.Write("far.bin", raw), host);
    EXPECT_EQ(Positions(host), std::vector<std::uint64_t>{28000});
}

TEST(Scan, ListsNestedTimsAndNumbersThemInOrder) {
    TempDir dir;
    TimSpec outer = PatternTim(16, 40, 20);
    Bytes inner = MakeTim(PatternTim(24, 4, 2));
    std::copy(inner.begin(), inner.end(), outer.pixels.begin() + 100);
    Bytes raw = Filler(50);
    Place(raw, 50, MakeTim(outer));
    RecordingHost host;
    Scan(dir.Write("n.bin", raw), host);
    ASSERT_EQ(host.Rows().size(), 2u);
    EXPECT_EQ(host.Rows()[0], (ScanEntry{50, 1, 40, 20}));
    EXPECT_EQ(host.Rows()[1], (ScanEntry{170, 2, 6, 2}));  // 50 + 8 + 12 + 100
}

TEST(Scan, AcceptsOnlyTheFourModesWithZeroUpperBytes) {
    struct Case {
        std::uint8_t mode;
        int byteToSet;  // 1, 2, 3, 5, 6 or 7; 0 for none
        bool found;
    };
    const Case cases[] = {{2, 0, true},     {3, 0, true},  {8, 0, true},  {9, 0, true},
                          {0, 0, false},    {1, 0, false}, {4, 0, false}, {10, 0, false},
                          {0x82, 0, false}, {8, 1, false}, {8, 2, false}, {8, 3, false},
                          {8, 5, false},    {2, 6, false}, {2, 7, false}};
    TempDir dir;
    for (const Case& c : cases) {
        TimSpec desc = PatternTim(16, 3, 2);
        if (c.mode == 8 || c.mode == 9) {
            desc = PatternTim(c.mode == 8 ? 4 : 8, 4, 2);
        }
        Bytes tim = MakeTim(desc);
        tim[4] = c.mode;
        if (c.byteToSet != 0) {
            tim[static_cast<std::size_t>(c.byteToSet)] = 1;
        }
        Bytes raw = Filler(20);
        Place(raw, 20, tim);
        raw.resize(raw.size() + 20, testing::kFillerByte);
        RecordingHost host;
        Scan(dir.Write("m.bin", raw), host);
        EXPECT_EQ(host.Rows().size(), c.found ? 1u : 0u)
            << "mode " << int{c.mode} << " byte " << c.byteToSet;
    }
}

TEST(Scan, RejectsBlocksWhoseLengthsDisagreeWithTheirSizes) {
    struct Case {
        const char* what;
        void (*change)(TimSpec&);
        bool found;
    };
    const Case cases[] = {
        {"control", [](TimSpec&) {}, true},
        {"clut length + 1", [](TimSpec& s) { s.clutBlockLength = 12 + 32 + 1; }, false},
        {"clut length - 1", [](TimSpec& s) { s.clutBlockLength = 12 + 32 - 1; }, false},
        {"image length + 1", [](TimSpec& s) { s.imageBlockLength = 12 + 16 + 1; }, false},
        {"image length - 2", [](TimSpec& s) { s.imageBlockLength = 12 + 16 - 2; }, false},
        {"image width 0", [](TimSpec& s) { s.imageWidth = 0, s.imageBlockLength = 12; }, false},
        {"image height 0", [](TimSpec& s) { s.imageHeight = 0, s.imageBlockLength = 12; }, false},
        {"clut width 0, length 12", [](TimSpec& s) { s.clutWidth = 0, s.clut.clear(); }, true},
        {"clut height 0, length 12", [](TimSpec& s) { s.clutHeight = 0, s.clut.clear(); }, true},
    };
    TempDir dir;
    for (const Case& c : cases) {
        TimSpec desc = PatternTim(4, 16, 2);  // width 4 units, 16 pixel bytes, 16 colours
        c.change(desc);
        Bytes raw = Filler(10);
        Place(raw, 10, MakeTim(desc));
        raw.resize(raw.size() + 10, testing::kFillerByte);
        RecordingHost host;
        Scan(dir.Write("l.bin", raw), host);
        EXPECT_EQ(host.Rows().size(), c.found ? 1u : 0u) << c.what;
    }
}

// The bound is the image block's offset plus width x height, whatever the
// block's byte length: data cut short is listed as long as that fits.
TEST(Scan, ImageBoundCountsWidthTimesHeight) {
    Bytes tim = MakeTim(PatternTim(16, 4, 4));  // block at 8, 4 x 4 units, 52 bytes in all
    struct Case {
        std::size_t length;
        bool found;
    };
    const Case cases[] = {{52, true}, {8 + 16, true}, {8 + 16 - 1, false}, {8 + 12, false}};
    TempDir dir;
    for (const Case& c : cases) {
        Bytes raw(tim.begin(), tim.begin() + static_cast<std::ptrdiff_t>(c.length));
        RecordingHost host;
        Scan(dir.Write("b.bin", raw), host);
        EXPECT_EQ(host.Rows().size(), c.found ? 1u : 0u) << "length " << c.length;
    }
}

TEST(Scan, HeadersPastTheEndOfTheFileFail) {
    Bytes tim = MakeTim(PatternTim(4, 4, 1));
    TempDir dir;
    // Clut header cut at 8 + 11, image header cut within it.
    for (std::size_t length : {std::size_t{19}, tim.size() - 1 - 4 - 2}) {
        Bytes raw(tim.begin(), tim.begin() + static_cast<std::ptrdiff_t>(length));
        RecordingHost host;
        Scan(dir.Write("h.bin", raw), host);
        EXPECT_TRUE(host.Rows().empty()) << "length " << length;
    }
}

TEST(Scan, ShortFilesEndAfterOneStepWithTheirStatus) {
    struct Case {
        std::size_t length;
        const char* upper;
        std::int64_t pos;
    };
    const Case cases[] = {
        {0, "0 out of 0 bytes", 0}, {9, "0 out of 9 bytes", 0}, {10, "1 out of 10 bytes", 1}};
    TempDir dir;
    for (const Case& c : cases) {
        Bytes raw(c.length, 0x10);
        RecordingHost host;
        auto run = Scan(dir.Write("s.bin", raw), host);
        EXPECT_EQ(run.result, kJobFinished);
        EXPECT_EQ(run.steps, 1) << c.length;
        EXPECT_TRUE(host.Rows().empty());
        EXPECT_EQ(host.StatusText(StatusLine::Upper), c.upper);
        EXPECT_EQ(host.StatusText(StatusLine::Lower), "");
        EXPECT_EQ(host.ProgressPos(), c.pos);
        EXPECT_EQ(host.ProgressUpper(), static_cast<std::int64_t>(c.length));
    }
}

TEST(Scan, LastStatusShowsLengthMinusNineAndTheCount) {
    TempDir dir;
    Bytes raw = Filler(70'001);
    Place(raw, 5, SmallTim16());
    Place(raw, 40'000, SmallTim16());
    RecordingHost host;
    auto run = Scan(dir.Write("l.bin", raw), host);
    EXPECT_EQ(run.steps, 3);
    EXPECT_EQ(host.StatusText(StatusLine::Upper), "69992 out of 70001 bytes");
    EXPECT_EQ(host.StatusText(StatusLine::Lower), "Images Found: 2");
    EXPECT_EQ(host.ProgressPos(), 69'992);
}

TEST(Scan, LowerStatusStaysEmptyUntilSomethingIsFound) {
    TempDir dir;
    Bytes raw = Filler(40'000);
    RecordingHost host;
    ScanFileJob scan(host, dir.Write("e.bin", raw));
    ASSERT_EQ(scan.Start(), JobState::Running);
    scan.Step();
    EXPECT_EQ(host.StatusText(StatusLine::Lower), "");
    scan.End();
}

TEST(Scan, ASecondScanEmptiesTheTableAndNumbersFromOne) {
    TempDir dir;
    Bytes raw = Filler(200);
    Place(raw, 100, SmallTim16());
    std::string path = dir.Write("r.bin", raw);
    RecordingHost host;
    host.AddEntry({7, 1, 7, 7});
    Scan(path, host);
    Scan(path, host);
    ASSERT_EQ(host.Rows().size(), 1u);
    EXPECT_EQ(host.Rows()[0].fileNumber, 1);
}

TEST(Scan, AFileThatCantBeOpenedIsReportedAndChangesNothing) {
    TempDir dir;
    RecordingHost host;
    host.AddEntry({7, 1, 7, 7});
    auto run = Scan(dir.File("missing.bin"), host);
    EXPECT_EQ(run.result, kJobStopped);
    EXPECT_EQ(run.steps, 0);
    EXPECT_EQ(host.messages, (std::vector<testing::Shown>{{"Couldn't open file!", "File Error!"}}));
    EXPECT_EQ(host.Rows().size(), 1u);
}

// A sparse file keeps this quick: the TIM lies past 4 GiB, where 32-bit
// offsets would wrap.
TEST(Scan, SignatureTestWorksPastFourGibibytes) {
    TempDir dir;
    std::string path = dir.File("big.bin");
    const std::uint64_t offset = (std::uint64_t{1} << 32) + 1000;
    Bytes tim = MakeTim(PatternTim(4, 8, 3));
    ASSERT_TRUE(testing::WriteSparse(path, offset, tim));
    File file;
    ASSERT_TRUE(file.Open(path, File::Mode::Read));
    disc::DiscView view(file, disc::DiscLayout::Plain);
    RawBytes bytes(view);
    auto size = TestTimSignature(bytes, offset);
    ASSERT_TRUE(size.has_value());
    EXPECT_EQ(size->width, 2);
    EXPECT_EQ(size->height, 3);
    EXPECT_FALSE(TestTimSignature(bytes, offset - (std::uint64_t{1} << 32)));
    EXPECT_FALSE(TestTimSignature(bytes, offset + 1));
}

}  // namespace
}  // namespace pixalto::raw
