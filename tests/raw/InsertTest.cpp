#include <gtest/gtest.h>

#include <filesystem>

#include "raw/ExtractionList.h"
#include "raw/InsertJob.h"
#include "raw/RawFiles.h"
#include "support/ChildProcess.h"
#include "support/TempDir.h"

namespace pixalto::raw {
namespace {

using testing::Bytes;
using testing::ReadAll;
using testing::RecordingHost;
using testing::Shown;
using testing::TempDir;

// A RAW file of 400 counting bytes beside an extraction list and .tim files,
// as extraction leaves them; the tests write the .tim files and records.
struct InsertSetup {
    TempDir dir;
    Bytes raw;
    std::string rawPath;
    std::string list = "DISC.BIN\r\n\r\n";
    RecordingHost host;

    InsertSetup() {
        for (int i = 0; i < 400; ++i) {
            raw.push_back(static_cast<std::uint8_t>(i));
        }
        rawPath = dir.Write("DISC.BIN", raw);
    }
    void Tim(int number, std::size_t size, std::uint8_t fill) {
        dir.Write(std::to_string(number) + ".tim", Bytes(size, fill));
    }
    void Record(int number, std::uint64_t position, std::uint64_t size) {
        list += FormatListRecord({number, position, size});
    }
    JobState Insert() {
        InsertJob job(host, dir.Write("timextracts.txt", Bytes(list.begin(), list.end())));
        return RunJob(job);
    }
    // The RAW file as expected after `fill` was written over [at, at+size).
    void Expect(std::size_t at, std::size_t size, std::uint8_t fill) {
        if (raw.size() < at + size) {
            raw.resize(at + size);
        }
        std::fill_n(raw.begin() + static_cast<std::ptrdiff_t>(at), size, fill);
    }
    bool RawIsAsExpected() const { return ReadAll(rawPath) == raw; }
};

TEST(Insert, WritesAFileOfTheRecordedSizeWithoutAsking) {
    InsertSetup s;
    s.Tim(1, 20, 0xEE);
    s.Record(1, 100, 20);
    EXPECT_EQ(s.Insert(), kJobFinished);
    s.Expect(100, 20, 0xEE);
    EXPECT_TRUE(s.RawIsAsExpected());
    EXPECT_TRUE(s.host.questions.empty());
    EXPECT_TRUE(s.host.messages.empty());
    EXPECT_EQ(s.host.StatusText(StatusLine::Upper), "TIM #1");
}

TEST(Insert, AsksBeforeAChangeOfSizeAndFollowsTheAnswer) {
    struct Case {
        std::size_t timSize;
        bool answer;
        const char* question;
    };
    const Case cases[] = {
        {24, true, "TIM #3 is 4 bytes larger than it originally was. Continue inserting?"},
        {24, false, "TIM #3 is 4 bytes larger than it originally was. Continue inserting?"},
        {10, true, "TIM #3 is 10 bytes smaller than it originally was. Continue inserting?"},
        {10, false, "TIM #3 is 10 bytes smaller than it originally was. Continue inserting?"},
    };
    for (const Case& c : cases) {
        InsertSetup s;
        s.Tim(3, c.timSize, 0x33);
        s.Tim(4, 5, 0x44);
        s.Record(3, 200, 20);
        s.Record(4, 300, 5);  // a No skips only its own record
        s.host.answers = {c.answer};
        EXPECT_EQ(s.Insert(), kJobFinished);
        EXPECT_EQ(s.host.questions, (std::vector<Shown>{{c.question, "Confirm"}}));
        if (c.answer) {
            s.Expect(200, c.timSize, 0x33);  // larger: overwrites what follows;
        }                                    // smaller: the old tail stays
        s.Expect(300, 5, 0x44);
        EXPECT_TRUE(s.RawIsAsExpected()) << c.question << " answered " << c.answer;
    }
}

// The RAW file (400 bytes) grows only when the user has just agreed to a
// larger file for that record; any other record that starts at or past its
// end (said so under the message), or would run past it, stops the job with
// earlier records written.
TEST(Insert, NeverGrowsTheRawFileUnasked) {
    struct Case {
        const char* what;
        std::uint64_t position;
        std::size_t timSize;
        std::uint64_t recordedSize;
        bool answer;
        bool written;
        bool stops;
        std::string reason = "";
    };
    const Case cases[] = {
        {"up to the last byte", 396, 4, 4, false, true, false},
        {"past the end at the recorded size", 390, 30, 30, false, false, true},
        {"past the end, larger, Yes", 390, 30, 10, true, true, false},
        {"past the end, larger, No", 390, 30, 10, false, false, false},
        {"past the end, smaller, Yes", 390, 30, 40, true, false, true},
        {"at the end", 400, 4, 4, false, false, true, "\nOffset 400 is past the end of the file."},
        {"far beyond the end", 5'000'000'000ull, 4, 4, false, false, true,
         "\nOffset 5000000000 is past the end of the file."},
        {"far beyond the end, larger, Yes", 5'000'000'000ull, 8, 4, true, false, true,
         "\nOffset 5000000000 is past the end of the file."},
    };
    for (const Case& c : cases) {
        InsertSetup s;
        s.Tim(1, 4, 0x11);
        s.Tim(2, c.timSize, 0x22);
        s.Record(1, 10, 4);  // an earlier record stays written whatever follows
        s.Record(2, c.position, c.recordedSize);
        s.host.answers = {c.answer};
        EXPECT_EQ(s.Insert(), c.stops ? kJobStopped : kJobFinished) << c.what;
        const std::vector<Shown> stopped = {
            {"Couldn't insert TIM #2." + c.reason, "Insertion Error"}};
        EXPECT_EQ(s.host.messages, c.stops ? stopped : std::vector<Shown>{}) << c.what;
        s.Expect(10, 4, 0x11);
        if (c.written) {
            s.Expect(static_cast<std::size_t>(c.position), c.timSize, 0x22);
        }
        EXPECT_TRUE(s.RawIsAsExpected()) << c.what;
    }
}

TEST(Insert, HandlesRecordsInListOrder) {
    InsertSetup s;
    s.Tim(5, 8, 0x55);
    s.Tim(2, 8, 0x22);
    s.Record(5, 50, 8);
    s.Record(2, 50, 8);  // same place: the later record wins
    EXPECT_EQ(s.Insert(), kJobFinished);
    s.Expect(50, 8, 0x22);
    EXPECT_TRUE(s.RawIsAsExpected());
}

TEST(Insert, AMissingTimStopsTheJobAndKeepsEarlierInsertions) {
    InsertSetup s;
    s.Tim(1, 4, 0x11);
    s.Tim(3, 4, 0x33);
    s.Record(1, 10, 4);
    s.Record(2, 20, 4);
    s.Record(3, 30, 4);
    EXPECT_EQ(s.Insert(), kJobStopped);
    EXPECT_EQ(s.host.messages,
              (std::vector<Shown>{{"Couldn't open TIM #2 for insertion.", "Insertion Error"}}));
    s.Expect(10, 4, 0x11);
    EXPECT_TRUE(s.RawIsAsExpected());
}

// Each record must begin within the 150 bytes that start at the previous
// one; a record further on isn't found and reading ends normally.
TEST(Insert, ReadsOnlyRecordsWithinTheWindowOfThePreviousOne) {
    // Record 1 takes 34 bytes; "\nFile #" after a gap of 109 bytes ends at byte 150.
    for (std::size_t gap : {std::size_t{0}, std::size_t{109}, std::size_t{110}}) {
        InsertSetup s;
        s.Tim(1, 4, 0x11);
        s.Tim(2, 4, 0x22);
        s.Record(1, 10, 4);
        s.list += std::string(gap, ' ') + "\n";
        s.Record(2, 20, 4);
        EXPECT_EQ(s.Insert(), kJobFinished) << gap;
        s.Expect(10, 4, 0x11);
        if (gap <= 109) {
            s.Expect(20, 4, 0x22);
        }
        EXPECT_TRUE(s.RawIsAsExpected()) << "gap " << gap;
    }
}

TEST(Insert, ReadsHandEditedRecordsAsPercentIDoes) {
    InsertSetup s;
    s.Tim(3, 4, 0x33);
    s.list += "File # 3\nPosition:0x20 \n\n Size:\t04\r\n";
    EXPECT_EQ(s.Insert(), kJobFinished);
    s.Expect(32, 4, 0x33);
    EXPECT_TRUE(s.RawIsAsExpected());
}

TEST(Insert, WorksPastFourGibibytes) {
    TempDir dir;
    const std::uint64_t offset = (std::uint64_t{5} << 30) + 7;
    std::string rawPath = dir.File("big.bin");
    ASSERT_TRUE(testing::WriteSparse(rawPath, offset + 100, Bytes(4, 0xAA)));
    dir.Write("1.tim", Bytes(16, 0x77));
    std::string list = "big.bin\r\n\r\n" + FormatListRecord({1, offset, 16});
    RecordingHost host;
    InsertJob job(host, dir.Write("timextracts.txt", Bytes(list.begin(), list.end())));
    EXPECT_EQ(RunJob(job), kJobFinished);
    EXPECT_EQ(testing::ReadAt(rawPath, offset - 1, 18),
              (Bytes{0, 0x77, 0x77, 0x77, 0x77, 0x77, 0x77, 0x77, 0x77, 0x77, 0x77, 0x77, 0x77,
                     0x77, 0x77, 0x77, 0x77, 0}));
    EXPECT_EQ(std::filesystem::file_size(rawPath), offset + 104);
}

// Every way the job can stop before it writes: the RAW file stays as it was
// and is never created.
TEST(Insert, StopsBeforeWritingOnABadListOrRawFile) {
    struct Case {
        const char* what;
        std::string list;
        bool removeRaw;
        std::string message;  // "{dir}" stands for the folder
    };
    const std::string record = FormatListRecord({1, 0, 4});
    const Case cases[] = {
        {"no line end in the first 512 bytes", std::string(512, 'x') + "\r\n\r\n" + record, false,
         "No TIM records found in the extraction list."},
        {"no record", "DISC.BIN\r\n\r\n", false, "No TIM records found in the extraction list."},
        {"record without line feed", "DISC.BIN\rFile #1\r\nPosition:\t0\r\nSize:\t4", false,
         "No TIM records found in the extraction list."},
        {"raw file missing", "DISC.BIN\r\n\r\n" + record, true,
         "Couldn't open {dir}DISC.BIN for insertion."},
        {"head with a folder", "../DISC.BIN\r\n\r\n" + record, false,
         "Couldn't open {dir}../DISC.BIN for insertion."},
        {"empty head", "\r\n\r\n" + record, false, "Couldn't open {dir} for insertion."},
        {"record without size", "DISC.BIN\r\n\r\nFile #1\r\nPosition:\t0\r\nSize:\tx\r\n", false,
         "Record 1 of the extraction list can't be read."},
    };
    for (const Case& c : cases) {
        InsertSetup s;
        s.Tim(1, 4, 0x11);
        s.list = c.list;
        if (c.removeRaw) {
            std::filesystem::remove(s.rawPath);
        }
        EXPECT_EQ(s.Insert(), kJobStopped) << c.what;
        std::string message = c.message;
        if (auto at = message.find("{dir}"); at != std::string::npos) {
            message.replace(at, 5, s.dir.Path().string() + "/");
        }
        EXPECT_EQ(s.host.messages, (std::vector<Shown>{{message, "Insertion Error"}})) << c.what;
        if (c.removeRaw) {
            EXPECT_FALSE(std::filesystem::exists(s.rawPath)) << c.what;
        } else {
            EXPECT_TRUE(s.RawIsAsExpected()) << c.what;
        }
    }
}

// A RAW file that fills the disk's limit at byte 100 takes the first record
// and refuses the second; a RAW file that is a device is never opened.
TEST(Insert, AFailedWriteStopsTheJob) {
    InsertSetup s;
    s.Tim(1, 4, 0x11);
    s.Tim(2, 4, 0x22);
    s.Record(1, 10, 4);
    s.Record(2, 100, 4);
    const std::string shown = testing::WithFileSizeLimit(100, [&] {
        std::string out = std::to_string(static_cast<int>(s.Insert()));
        for (const Shown& message : s.host.messages) {
            out += "|" + message.text + "|" + message.title;
        }
        return out;
    });
    EXPECT_EQ(shown, std::to_string(static_cast<int>(kJobStopped)) +
                         "|Couldn't insert TIM #2.|Insertion Error");
    s.Expect(10, 4, 0x11);
    EXPECT_TRUE(s.RawIsAsExpected());

    InsertSetup device;
    std::filesystem::remove(device.rawPath);
    std::filesystem::create_symlink("/dev/full", device.rawPath);
    device.Tim(1, 4, 0x11);
    device.Record(1, 0, 4);
    EXPECT_EQ(device.Insert(), kJobStopped);
    EXPECT_EQ(device.host.messages,
              (std::vector<Shown>{
                  {"Couldn't open " + device.rawPath + " for insertion.", "Insertion Error"}}));
}

TEST(ExtractionList, FindsRecordsOnlyWhollyInsideTheWindow) {
    std::string atEdge = std::string(143, ' ') + "\nFile #";  // ends at byte 150
    EXPECT_EQ(FindListRecord(atEdge), 143u);
    EXPECT_FALSE(FindListRecord(" " + atEdge));
    EXPECT_FALSE(FindListRecord("File #1"));
    // The head ends at the first line end of either kind, within 512 bytes.
    std::size_t end = 0;
    EXPECT_EQ(ReadListHead(std::string(511, 'a') + "\r", &end), std::string(511, 'a'));
    EXPECT_EQ(end, 511u);
    EXPECT_FALSE(ReadListHead(std::string(512, 'a') + "\r"));
    EXPECT_EQ(ReadListHead("DISC.BIN\n\nFile #1", &end), "DISC.BIN");
    EXPECT_EQ(end, 8u);
    EXPECT_EQ(ReadListHead("A.BIN\r\n"), "A.BIN");
}

TEST(ExtractionList, RecordsReadBackWhatWasWritten) {
    ListRecord record{12, 5'000'000'000ull, 4116};
    std::string text = FormatListRecord(record);
    EXPECT_EQ(text, "File #12\r\nPosition:\t5000000000\r\nSize:\t4116\r\n\r\n");
    auto back = ReadListRecord(text);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->fileNumber, 12);
    EXPECT_EQ(back->position, record.position);
    EXPECT_EQ(back->size, record.size);
}

}  // namespace
}  // namespace pixalto::raw
