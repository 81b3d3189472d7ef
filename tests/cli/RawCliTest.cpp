#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "cli/CliRun.h"
#include "support/TempDir.h"
#include "support/TimBuilder.h"

namespace pixalto {
namespace {

using testing::CliSetup;
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
    EXPECT_EQ(result.err,
              "Couldn't open file!\n" + dir.File("missing.bin") + ": No such file or directory\n");
}

// 300,000 TIMs, one every 18 bytes: each 16-bit TIM of 1 x 16 pixels begins
// where the one before has its height, so every offset that could start one
// does. Under an address-space limit of 16 MiB, far below what a row kept for
// each would take, the scan prints every row and an extraction of one TIM
// works; an extraction that must keep all of them runs out of memory, which
// is said plainly, with nothing written. (Sanitizers reserve far more address
// space than any such limit allows.)
TEST(CliScan, MemoryDoesNotGrowWithTheTimsFound) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "runs without a sanitizer only";
#endif
    constexpr std::size_t kTims = 300'000;
    constexpr std::size_t kStep = 18;
    const Bytes tim = {0x10, 0, 0, 0, 2, 0, 0, 0, 44, 0, 0, 0, 0xA5, 0xA5, 0xA5, 0xA5, 1, 0};
    Bytes raw;
    raw.reserve((kTims + 1) * kStep);
    for (std::size_t i = 0; i <= kTims; ++i) {  // the last one's height is missing
        raw.insert(raw.end(), tim.begin(), tim.end());
    }
    std::string table = "File #\tPosition\tWidth\tHeight\n";
    for (std::size_t i = 0; i < kTims; ++i) {
        table += std::to_string(i + 1) + "\t" + std::to_string(i * kStep) + "\t1\t16\n";
    }
    struct Case {
        std::vector<std::string> args;
        int exitCode;
        std::string out;
        std::string err;
        bool written;
    };
    const Case cases[] = {
        {{"scan"}, 0, table, "", false},
        {{"extract", "", "1"}, 0, "TIM Files have been saved!\n", "", true},
        {{"extract", "", "1-"}, 1, "", "Not enough memory to finish the command.\n", false},
    };
    for (const Case& c : cases) {
        TempDir dir;
        std::vector<std::string> args = c.args;
        args.insert(args.begin() + 1, dir.Write("PACKED.BIN", raw));
        args.erase(std::remove(args.begin(), args.end(), ""), args.end());
        CliSetup setup;
        setup.memoryLimit = 16 << 20;
        const auto result = RunCli(args, setup);
        const std::string what = c.args.back();
        EXPECT_EQ(result.exitCode, c.exitCode) << what << ": " << result.err;
        EXPECT_TRUE(result.out == c.out) << what << ": " << result.out.size() << " bytes";
        EXPECT_EQ(result.err, c.err) << what;
        EXPECT_EQ(std::filesystem::exists(dir.File("timextracts.txt")), c.written) << what;
        if (c.written) {
            EXPECT_EQ(ReadAll(dir.File("1.tim")), Bytes(raw.begin(), raw.begin() + 52));
        }
        const auto files = std::distance(std::filesystem::directory_iterator(dir.Path()),
                                         std::filesystem::directory_iterator());
        EXPECT_EQ(files, c.written ? 3 : 1) << what << ": nothing half written";
    }
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

TEST(CliExtract, SaysSoWhenTheRawFileHoldsNoTim) {
    TempDir dir;
    const std::string rawPath = dir.Write("EMPTY.BIN", Bytes(5000, 0xA5));
    auto result = RunCli({"extract", rawPath, "1"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "No TIMs found in " + rawPath + ".\n");
    EXPECT_FALSE(std::filesystem::exists(dir.File("timextracts.txt")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("1.tim")));
}

// Both TIMs are extracted; 1.tim is edited at its size (or grows by 4 bytes
// too), 2.tim grows by 4 bytes, and the list is inserted with each way of
// answering the size question. Each record skipped is named; skipping because
// nobody could be asked is not a success, and when every record was skipped
// nothing is said to have been inserted.
TEST(CliInsert, NamesEachSkippedRecordAndFailsWhenNobodyCouldBeAsked) {
    const std::string question =
        "TIM #2 is 4 bytes larger than it originally was. Continue inserting?";
    const std::string skipped = "Skipped TIM #2: its size changed.\n";
    const struct {
        std::vector<std::string> flags;
        int exitCode;
        std::string answerShown;
        bool written;
        bool firstGrows = false;
    } cases[] = {
        {{"--yes"}, 0, " yes\n", true},
        {{"--no"}, 0, " no\n", false},
        {{}, 1, " no (standard input is not a terminal)\n", false},
        {{"--no"}, 0, " no\n", false, true},
    };
    for (const auto& c : cases) {
        RawFolder f;
        ASSERT_EQ(RunCli({"extract", f.rawPath, "1-"}).exitCode, 0);
        Bytes first = f.first;
        first.back() ^= 0xFF;
        if (c.firstGrows) {
            first.insert(first.end(), {1, 2, 3, 4});
        }
        f.dir.Write("1.tim", first);
        Bytes second = f.second;
        second.insert(second.end(), {1, 2, 3, 4});
        f.dir.Write("2.tim", second);
        Bytes expected = ReadAll(f.rawPath);
        if (!c.firstGrows) {
            std::copy(first.begin(), first.end(), expected.begin() + 100);
        }
        if (c.written) {
            std::copy(second.begin(), second.end(), expected.begin() + 300);
        }

        std::vector<std::string> args = {"insert", f.dir.File("timextracts.txt")};
        args.insert(args.end(), c.flags.begin(), c.flags.end());
        auto result = RunCli(args, "y\n");  // stdin is a file, not a terminal: never read
        const std::string flag =
            (c.flags.empty() ? "none" : c.flags[0]) + (c.firstGrows ? ", both skipped" : "");
        EXPECT_EQ(result.exitCode, c.exitCode) << flag << ": " << result.err;
        const std::string done =
            c.firstGrows ? "No TIM file was inserted.\n" : "TIM File(s) have been inserted!\n";
        EXPECT_EQ(result.out, c.exitCode == 0 ? done : "") << flag;
        const std::string firstAsked =
            c.firstGrows ? "TIM #1 is 4 bytes larger than it originally was. Continue inserting?" +
                               c.answerShown
                         : "";
        EXPECT_EQ(result.err.rfind(firstAsked + question + c.answerShown, 0), 0u) << result.err;
        EXPECT_EQ(result.err.find(skipped) != std::string::npos, !c.written) << result.err;
        if (c.firstGrows) {
            EXPECT_NE(result.err.find("Skipped TIM #1: its size changed.\n"), std::string::npos)
                << result.err;
        } else {
            EXPECT_EQ(result.err.find("TIM #1") == std::string::npos, true) << result.err;
        }
        EXPECT_EQ(ReadAll(f.rawPath), expected) << flag;
    }
}

TEST(CliInsert, ReportsAJobThatStoppedWithTheFileAndTheReason) {
    RawFolder f;
    ASSERT_EQ(RunCli({"extract", f.rawPath, "1-"}).exitCode, 0);
    std::filesystem::remove(f.dir.File("2.tim"));
    auto result = RunCli({"insert", f.dir.File("timextracts.txt")});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "Couldn't open TIM #2 for insertion.\n" + f.dir.File("2.tim") +
                              ": No such file or directory\n");

    std::filesystem::remove(f.rawPath);
    result = RunCli({"insert", f.dir.File("timextracts.txt")});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "Couldn't open " + f.rawPath + " for insertion.\n" + f.rawPath +
                              ": No such file or directory\n");
}

}  // namespace
}  // namespace pixalto
