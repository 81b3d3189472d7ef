#include <gtest/gtest.h>

#include <filesystem>

#include "cli/CliRun.h"
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

// Two TIMs in filler without 0x10 bytes: a 16-bit one at 100 and a 4-bit one
// at 300.
struct RawFolder {
    TempDir dir;
    Bytes first = MakeTim(PatternTim(16, 5, 3));
    Bytes second = MakeTim(PatternTim(4, 16, 2));
    std::string rawPath;

    RawFolder() {
        Bytes raw(400, 0xA5);
        std::copy(first.begin(), first.end(), raw.begin() + 100);
        std::copy(second.begin(), second.end(), raw.begin() + 300);
        rawPath = dir.Write("DISC.BIN", raw);
    }
};

TEST(CliScan, PrintsTheEntryTable) {
    RawFolder f;
    auto result = RunCli({"scan", f.rawPath});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "File #\tPosition\tWidth\tHeight\n1\t100\t5\t3\n2\t300\t4\t2\n");
    EXPECT_EQ(result.err, "") << "no progress bar when stderr is not a terminal";
}

TEST(CliScan, AFileThatCantBeOpenedFails) {
    TempDir dir;
    auto result = RunCli({"scan", dir.File("missing.bin")});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "Couldn't open file!\n");
}

TEST(CliExtract, WritesTheChosenTimsBesideTheRawFile) {
    RawFolder f;
    auto result = RunCli({"extract", f.rawPath, "2"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "TIM Files have been saved!\n");
    EXPECT_EQ(ReadAll(f.dir.File("2.tim")), f.second);
    EXPECT_FALSE(std::filesystem::exists(f.dir.File("1.tim")));
    auto list = ReadAll(f.dir.File("timextracts.txt"));
    EXPECT_EQ(std::string(list.begin(), list.end()),
              "DISC.BIN\r\n\r\nFile #2\r\nPosition:\t300\r\nSize:\t" +
                  std::to_string(f.second.size()) + "\r\n\r\n");
}

TEST(CliExtract, RefusesInvalidSelections) {
    for (const char* selection : {"3", "", "0", "1,", "2-1"}) {
        RawFolder f;
        auto result = RunCli({"extract", f.rawPath, selection});
        EXPECT_EQ(result.exitCode, 1) << selection;
        EXPECT_EQ(result.out, "") << selection;
        EXPECT_EQ(result.err, "Invalid Text entered into Input Stream\n") << selection;
        EXPECT_FALSE(std::filesystem::exists(f.dir.File("timextracts.txt"))) << selection;
    }
}

// The 16-bit TIM is extracted, grown by 4 bytes, and inserted with each way
// of answering the size question.
TEST(CliInsert, AnswersTheSizeQuestionByFlagOrTerminal) {
    struct Case {
        std::vector<std::string> flags;
        bool written;
    };
    const Case cases[] = {{{"--yes"}, true}, {{"--no"}, false}, {{}, false}};
    for (const Case& c : cases) {
        RawFolder f;
        ASSERT_EQ(RunCli({"extract", f.rawPath, "1"}).exitCode, 0);
        Bytes edited = f.first;
        edited.insert(edited.end(), {1, 2, 3, 4});
        f.dir.Write("1.tim", edited);
        Bytes before = ReadAll(f.rawPath);
        std::vector<std::string> args = {"insert", f.dir.File("timextracts.txt")};
        args.insert(args.end(), c.flags.begin(), c.flags.end());
        auto result = RunCli(args, "y\n");  // stdin is a file, not a terminal: never read
        EXPECT_EQ(result.exitCode, 0) << result.err;
        EXPECT_EQ(result.out, "TIM File(s) have been inserted!\n");
        EXPECT_EQ(result.err.rfind(
                      "TIM #1 is 4 bytes larger than it originally was. Continue inserting?", 0),
                  0u)
            << result.err;
        Bytes expected = before;
        if (c.written) {
            std::copy(edited.begin(), edited.end(), expected.begin() + 100);
        }
        EXPECT_EQ(ReadAll(f.rawPath), expected) << result.err;
    }
}

TEST(CliInsert, ReportsAJobThatStopped) {
    RawFolder f;
    ASSERT_EQ(RunCli({"extract", f.rawPath, "1-"}).exitCode, 0);
    std::filesystem::remove(f.dir.File("2.tim"));
    auto result = RunCli({"insert", f.dir.File("timextracts.txt")});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "Couldn't open TIM #2 for insertion.\n");
}

TEST(CliInsert, YesAndNoTogetherAreAUsageError) {
    RawFolder f;
    auto result = RunCli({"insert", f.dir.File("timextracts.txt"), "--yes", "--no"});
    EXPECT_EQ(result.exitCode, 2);
}

}  // namespace
}  // namespace pixalto
