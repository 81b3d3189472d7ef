#include <gtest/gtest.h>

#include <filesystem>

#include "raw/ExtractJob.h"
#include "raw/InsertJob.h"
#include "raw/RawFiles.h"
#include "support/ChildProcess.h"
#include "support/TempDir.h"
#include "support/TimBuilder.h"

namespace pixalto::raw {
namespace {

using testing::Bytes;
using testing::Filler;
using testing::MakeTim;
using testing::PatternTim;
using testing::Place;
using testing::ReadAll;
using testing::RecordingHost;
using testing::Shown;
using testing::Slice;
using testing::TempDir;
using testing::TimSpec;

std::string Text(const Bytes& bytes) {
    return {bytes.begin(), bytes.end()};
}

// A RAW file with six TIMs of different depths and sizes, scanned into host.
struct SixTims {
    TempDir dir;
    Bytes raw = Filler(64);
    std::vector<std::size_t> offsets;
    std::vector<Bytes> tims;
    std::string rawPath;
    RecordingHost host;

    explicit SixTims(const std::string& rawName = "DISC.BIN") {
        const std::uint32_t depths[] = {4, 8, 16, 24, 4, 16};
        for (std::uint32_t i = 0; i < 6; ++i) {
            tims.push_back(MakeTim(PatternTim(depths[i], 6 + 2 * i, 3 + i, 1 + i % 2, i)));
            offsets.push_back(raw.size());
            Place(raw, raw.size(), tims.back());
            raw.resize(raw.size() + 33, testing::kFillerByte);
        }
        rawPath = dir.Write(rawName, raw);
        testing::ScanInto(host, rawPath);
    }
    JobState Extract(const std::string& selection) {
        ExtractJob job(host, rawPath, selection);
        return RunJob(job);
    }
    std::string Record(int number, std::size_t times = 1) const {
        std::string one = "File #" + std::to_string(number) + "\r\nPosition:\t" +
                          std::to_string(offsets[number - 1]) + "\r\nSize:\t" +
                          std::to_string(tims[number - 1].size()) + "\r\n\r\n";
        std::string out;
        while (times-- > 0) {
            out += one;
        }
        return out;
    }
};

TEST(Extract, WritesEachSelectedTimAndTheListInOrder) {
    SixTims six;
    ASSERT_EQ(six.host.EntryCount(), 6u);
    EXPECT_EQ(six.Extract("1,2-3,5-"), kJobFinished);
    EXPECT_TRUE(six.host.messages.empty());
    for (int n : {1, 2, 3, 5, 6}) {
        EXPECT_EQ(ReadAll(six.dir.File(std::to_string(n) + ".tim")), six.tims[n - 1]) << n;
    }
    EXPECT_FALSE(std::filesystem::exists(six.dir.File("4.tim")));
    EXPECT_EQ(Text(ReadAll(six.dir.File("timextracts.txt"))), "DISC.BIN\r\n\r\n" + six.Record(1) +
                                                                  six.Record(2) + six.Record(3) +
                                                                  six.Record(5) + six.Record(6));
    EXPECT_EQ(six.host.StatusText(StatusLine::Upper), "TIM #6");
    EXPECT_EQ(six.host.ProgressUpper(), 5);
    EXPECT_EQ(six.host.ProgressPos(), 4);
}

TEST(Extract, ARepeatedNumberIsWrittenAndRecordedTwice) {
    SixTims six;
    EXPECT_EQ(six.Extract("2,2"), kJobFinished);
    EXPECT_EQ(ReadAll(six.dir.File("2.tim")), six.tims[1]);
    EXPECT_EQ(Text(ReadAll(six.dir.File("timextracts.txt"))),
              "DISC.BIN\r\n\r\n" + six.Record(2, 2));
}

// Sizes come from the entry's width and height and the CLUT length word at
// the TIM; the copy always has exactly that many bytes.
TEST(Extract, SizesTimsFromTheirHeaders) {
    TimSpec clut4 = PatternTim(4, 32, 16);  // width 8 units, CLUT length 44
    TimSpec direct16 = PatternTim(16, 64, 32);
    TimSpec bigClut = PatternTim(8, 4, 2, 130);  // CLUT block of 66,572 bytes
    TimSpec large = PatternTim(16, 300, 120);    // 72,020 bytes: three copy pieces
    struct Case {
        const char* what;
        TimSpec desc;
        std::uint64_t size;
    };
    const Case cases[] = {{"4-bit, one CLUT set", clut4, 320},
                          {"16-bit 64 x 32", direct16, 4116},
                          {"CLUT over 65,535 bytes", bigClut, 8 + 66'572 + 12 + 8},
                          {"over 30,000 bytes", large, 8 + 12 + 72'000}};
    for (const Case& c : cases) {
        TempDir dir;
        Bytes tim = MakeTim(c.desc);
        ASSERT_EQ(tim.size(), c.size) << c.what;
        Bytes raw = Filler(31);
        Place(raw, 31, tim);
        raw.resize(raw.size() + 7, testing::kFillerByte);
        RecordingHost host;
        std::string rawPath = dir.Write("r.bin", raw);
        testing::ScanInto(host, rawPath);
        ASSERT_EQ(host.EntryCount(), 1u) << c.what;
        ExtractJob job(host, rawPath, "1");
        EXPECT_EQ(RunJob(job), kJobFinished);
        EXPECT_EQ(ReadAll(dir.File("1.tim")), tim) << c.what;
    }
}

// A TIM cut off by the end of the RAW file is extracted as the bytes that
// are there, and listed with that size: inserting it back changes nothing.
TEST(Extract, WritesOnlyTheBytesOfATimCutOffByTheEndOfTheFile) {
    TempDir dir;
    Bytes tim = MakeTim(PatternTim(16, 10, 4));  // 8 + 12 + 80 bytes
    Bytes raw = Filler(40);
    Place(raw, 40, tim);
    raw.resize(raw.size() - 30);  // still width x height units after the block
    RecordingHost host;
    std::string rawPath = dir.Write("cut.bin", raw);
    testing::ScanInto(host, rawPath);
    ASSERT_EQ(host.EntryCount(), 1u);
    ExtractJob job(host, rawPath, "1");
    EXPECT_EQ(RunJob(job), kJobFinished);
    EXPECT_EQ(ReadAll(dir.File("1.tim")), Slice(tim, 0, tim.size() - 30));
    EXPECT_EQ(Text(ReadAll(dir.File("timextracts.txt"))),
              "cut.bin\r\n\r\nFile #1\r\nPosition:\t40\r\nSize:\t70\r\n\r\n");
}

TEST(Extract, WorksPastFourGibibytes) {
    TempDir dir;
    const std::uint64_t offset = (std::uint64_t{1} << 32) + 1000;
    Bytes tim = MakeTim(PatternTim(4, 8, 3));
    std::string rawPath = dir.File("big.bin");
    ASSERT_TRUE(testing::WriteSparse(rawPath, offset, tim));
    RecordingHost host;
    host.AddEntry({offset, 1, 2, 3});
    ExtractJob job(host, rawPath, "1");
    EXPECT_EQ(RunJob(job), kJobFinished);
    EXPECT_EQ(ReadAll(dir.File("1.tim")), tim);
    EXPECT_EQ(Text(ReadAll(dir.File("timextracts.txt"))),
              "big.bin\r\n\r\nFile #1\r\nPosition:\t4294968296\r\nSize:\t" +
                  std::to_string(tim.size()) + "\r\n\r\n");
}

TEST(Extract, RefusesSelectionsThatAreEmptyOrInvalidAndWritesNothing) {
    for (const char* selection : {"", "7", "2-1", "1,"}) {
        SixTims six;
        EXPECT_EQ(six.Extract(selection), kJobStopped) << selection;
        EXPECT_EQ(six.host.messages,
                  (std::vector<Shown>{{"Invalid Text entered into Input Stream", "Error!"}}));
        EXPECT_FALSE(std::filesystem::exists(six.dir.File("timextracts.txt")));
    }
}

// No file the job writes may be the RAW file itself, under the output's own
// name or through a link with that name: every output is looked at before
// the first is written, and then nothing is written at all.
TEST(Extract, NeverWritesOverTheRawFileItself) {
    enum class Link { None, Symbolic, Hard };
    struct Case {
        const char* rawName;
        Link link;  // the clashing output made a link to the RAW file
        const char* clash;
        const char* selection;
    };
    const Case cases[] = {
        {"2.tim", Link::None, "2.tim", "1,2"},
        {"6.tim", Link::None, "6.tim", "1,5-"},  // the end of an open range
        {"timextracts.txt", Link::None, "timextracts.txt", "1"},
        {"DISC.BIN", Link::Symbolic, "3.tim", "1-3"},
        {"DISC.BIN", Link::Hard, "3.tim", "4,1-3"},
    };
    for (const Case& c : cases) {
        SixTims six(c.rawName);
        const std::string clash = six.dir.File(c.clash);
        if (c.link == Link::Symbolic) {
            std::filesystem::create_symlink(six.rawPath, clash);
        } else if (c.link == Link::Hard) {
            std::filesystem::create_hard_link(six.rawPath, clash);
        }
        EXPECT_EQ(six.Extract(c.selection), kJobStopped) << c.clash;
        EXPECT_EQ(six.host.messages, (std::vector<Shown>{{"Couldn't create file " + clash + "!\n" +
                                                              clash + " is the RAW file itself.",
                                                          "Extraction Error"}}));
        EXPECT_EQ(ReadAll(six.rawPath), six.raw) << c.clash;
        const auto files = std::distance(std::filesystem::directory_iterator(six.dir.Path()),
                                         std::filesystem::directory_iterator());
        EXPECT_EQ(files, c.link == Link::None ? 1 : 2) << c.clash;
    }
}

TEST(Extract, ARawFileThatCantBeOpenedIsReported) {
    SixTims six;
    std::filesystem::remove(six.rawPath);
    EXPECT_EQ(six.Extract("1"), kJobStopped);
    EXPECT_EQ(six.host.messages, (std::vector<Shown>{{"Couldn't open file!", "File Error!"}}));
    EXPECT_FALSE(std::filesystem::exists(six.dir.File("timextracts.txt")));
}

// Each file that can't be made (a folder or a device in its place) or can't
// be written (the disk fills up) stops the job with its full path. Nothing is
// written after it, no temporary file stays, and the list holds exactly the
// files that were written.
TEST(Extract, StopsWhereAFileCantBeCreatedOrWritten) {
    enum class Block { Folder, DeviceLink, DiskFull };
    struct Case {
        const char* name;
        Block block;
        std::vector<int> written;
    };
    const Case cases[] = {
        {"timextracts.txt", Block::Folder, {}},
        {"timextracts.txt", Block::DeviceLink, {}},
        {"3.tim", Block::Folder, {1, 2}},
        {"3.tim", Block::DeviceLink, {1, 2}},
        // At 100 bytes a file, 1.tim (76 bytes) fits and 2.tim (1,088) doesn't.
        {"2.tim", Block::DiskFull, {1}},
    };
    for (const Case& c : cases) {
        SixTims six;
        std::string blocked = six.dir.File(c.name);
        std::string shown;
        if (c.block == Block::DiskFull) {
            shown = testing::WithFileSizeLimit(100, [&] {
                six.Extract("1-5");
                std::string out;
                for (const Shown& message : six.host.messages) {
                    out += message.text + "|" + message.title + "\n";
                }
                return out;
            });
        } else {
            if (c.block == Block::Folder) {
                std::filesystem::create_directory(blocked);
            } else {
                std::filesystem::create_symlink("/dev/full", blocked);
            }
            EXPECT_EQ(six.Extract("1-5"), kJobStopped) << c.name;
            for (const Shown& message : six.host.messages) {
                shown += message.text + "|" + message.title + "\n";
            }
        }
        EXPECT_EQ(shown, "Couldn't create file " + blocked + "!|Extraction Error\n") << c.name;
        for (int n : {1, 2, 3, 4, 5}) {
            bool expected = std::find(c.written.begin(), c.written.end(), n) != c.written.end();
            EXPECT_EQ(std::filesystem::is_regular_file(six.dir.File(std::to_string(n) + ".tim")),
                      expected)
                << c.name << " " << n;
        }
        if (std::string(c.name) != "timextracts.txt") {
            std::string list = "DISC.BIN\r\n\r\n";
            for (int n : c.written) {
                list += six.Record(n);
            }
            EXPECT_EQ(Text(ReadAll(six.dir.File("timextracts.txt"))), list) << c.name;
        }
        for (const auto& entry : std::filesystem::directory_iterator(six.dir.Path())) {
            EXPECT_NE(entry.path().filename().string().rfind(".pixalto-", 0), 0u)
                << c.name << ": " << entry.path();
        }
    }
}

// Extract, then insert the unedited files: the RAW file is byte for byte as
// it was, for a TIM cut off by the file's end, for a RAW file whose name is
// longer than insertion's reading window, and for a list whose lines an
// editor turned into plain line feeds.
TEST(Extract, ExtractThenInsertLeavesTheRawFileAsItWas) {
    struct Case {
        std::string rawName;
        bool lineFeedsOnly;
    };
    const Case cases[] = {
        {"DISC.BIN", false},
        {"DISC.BIN", true},
        {std::string(200, 'd') + ".bin", false},
        {std::string(200, 'd') + ".bin", true},
    };
    for (const Case& c : cases) {
        TempDir dir;
        Bytes raw = Filler(16);
        Place(raw, 16, MakeTim(PatternTim(4, 8, 4)));
        Place(raw, raw.size() + 5, MakeTim(PatternTim(16, 10, 4)));
        raw.resize(raw.size() - 30);  // the second TIM is cut off
        const std::string rawPath = dir.Write(c.rawName, raw);
        RecordingHost host;
        testing::ScanInto(host, rawPath);
        ASSERT_EQ(host.EntryCount(), 2u);
        ExtractJob extract(host, rawPath, "1-");
        ASSERT_EQ(RunJob(extract), kJobFinished);
        if (c.lineFeedsOnly) {
            std::string list = Text(ReadAll(dir.File("timextracts.txt")));
            std::erase(list, '\r');
            dir.Write("timextracts.txt", Bytes(list.begin(), list.end()));
        }
        InsertJob insert(host, dir.File("timextracts.txt"));
        EXPECT_EQ(RunJob(insert), kJobFinished) << c.rawName.size() << " " << c.lineFeedsOnly;
        EXPECT_TRUE(host.messages.empty());
        EXPECT_TRUE(host.questions.empty());
        EXPECT_EQ(host.StatusText(StatusLine::Upper), "TIM #2");
        EXPECT_EQ(ReadAll(rawPath), raw);
    }
}

}  // namespace
}  // namespace pixalto::raw
