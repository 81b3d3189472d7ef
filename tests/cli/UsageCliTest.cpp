#include <gtest/gtest.h>

#include "cli/CliRun.h"
#include "support/BmpBuilder.h"
#include "support/TempDir.h"
#include "support/TimBuilder.h"

namespace pixalto::testing {
namespace {

const char* const kCommands[] = {"info",   "render", "to-bmp",  "to-tim",
                                 "repair", "scan",   "extract", "insert"};

// Every bad command line exits 2, names the problem and shows the command's
// usage, and does no work: nothing is written.
TEST(CliUsage, BadCommandLinesExitTwoWithTheUsage) {
    TempDir dir;
    const std::string tim = dir.Write("t.tim", MakeTim(PatternTim(4, 4, 2, 2)));
    const std::string png = dir.File("o.png");
    const std::string bmp = dir.Write("a.bmp", MakeBmp(PatternBmp(16, 2, 2)));
    const struct {
        std::vector<std::string> args;
        std::string said;  // part of the first line
    } cases[] = {
        {{"info"}, "FILE is required"},
        {{"info", tim, "extra"}, "extra"},
        {{"info", tim, "--offset"}, "--offset"},
        {{"info", tim, "--offset", "-1"}, "--offset"},
        {{"info", tim, "--offset", "12x"}, "must be a whole number, not '12x'"},
        {{"info", tim, "--set", "1"}, "--set"},
        {{"info", tim, "--origin", "1;2"}, "must be two whole numbers X,Y"},
        {{"render", tim}, "OUT is required"},
        {{"render", tim, png, "--set", "2"}, "--set 2 is out of range"},
        {{"render", tim, png, "--transparency=1"}, "transparency"},
        {{"to-bmp"}, "FILE is required"},
        {{"to-bmp", tim, "a", "b"}, "not expected: b"},
        {{"to-bmp", tim, "--set", "2"}, "--set 2 is out of range"},
        {{"to-bmp", tim, "--set", "x"}, "must be a whole number, not 'x'"},
        {{"to-tim"}, "FILE is required"},
        {{"to-tim", bmp, "--origin", "5"}, "must be two whole numbers X,Y, not '5'"},
        {{"to-tim", bmp, "--origin", "5,"}, "not '5,'"},
        {{"to-tim", bmp, "--origin", "-1,2"}, "not '-1,2'"},
        {{"to-tim", bmp, "--set", "1"}, "--set"},
        {{"info", bmp, "--origin", "1;2"}, "not '1;2'"},
        // Repeated options: never silently the last one.
        {{"info", tim, "--offset", "0", "--offset", "0"}, "--offset"},
        {{"info", tim, "--offset=0", "--offset=0"}, "--offset"},
        {{"render", tim, png, "--set", "0", "--set=1"}, "--set"},
        {{"render", tim, png, "--split", "--split"}, "--split"},
        {{"to-tim", tim, "--origin", "1,1", "--origin", "1,1"}, "--origin"},
        {{"insert", tim, "--no", "--no"}, "--no"},
        {{"insert", tim, "--yes", "--no"}, "--yes excludes --no"},
        // Unknown options, on every command.
        {{"info", tim, "--frobnicate"}, "--frobnicate"},
        {{"render", tim, png, "--scale", "2"}, "--scale"},
        {{"to-bmp", tim, "--origin", "1,1"}, "--origin"},
        {{"to-tim", tim, "--set", "1"}, "--set"},
        {{"repair", tim, "--offset", "0"}, "--offset"},
        {{"scan", tim, "--yes"}, "--yes"},
        {{"extract", tim, "1", "--no"}, "--no"},
        {{"insert", tim, "--force"}, "--force"},
    };
    for (const auto& c : cases) {
        auto result = RunCli(c.args);
        const std::string& command = c.args[0];
        EXPECT_EQ(result.exitCode, 2) << command << ": " << result.err;
        EXPECT_TRUE(Contains(result.err, "pixalto-cli " + command + ": ")) << result.err;
        EXPECT_TRUE(Contains(result.err, c.said)) << c.said << " in " << result.err;
        EXPECT_TRUE(Contains(result.err, "Usage: pixalto-cli " + command + " ")) << result.err;
        EXPECT_EQ(result.out, "");
    }
    EXPECT_FALSE(std::filesystem::exists(png));
    EXPECT_EQ(RunCli({"to-bmp", tim, "--set", "1"}).exitCode, 0);
}

TEST(CliUsage, NoOrAnUnknownCommandExitsTwo) {
    auto none = RunCli({});
    EXPECT_EQ(none.exitCode, 2);
    EXPECT_TRUE(Contains(none.err, "Usage: pixalto-cli")) << none.err;
    auto unknown = RunCli({"frobnicate"});
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_TRUE(Contains(unknown.err, "unknown command 'frobnicate'")) << unknown.err;
    auto option = RunCli({"--frobnicate"});
    EXPECT_EQ(option.exitCode, 2);
}

// "--" ends the options: what follows is a file name even when it looks like
// an option.
TEST(CliUsage, DoubleDashEndsTheOptions) {
    TempDir dir;
    dir.Write("--help", MakeTim(PatternTim(16, 3, 2)));
    dir.Write("--offset", MakeTim(PatternTim(16, 5, 1)));
    CliSetup inDir;
    inDir.workDir = dir.Path().string();

    auto help = RunCli({"info", "--", "--help"}, inDir);
    EXPECT_EQ(help.exitCode, 0) << help.err;
    EXPECT_TRUE(Contains(help.out, "width: 3\nheight: 2\n")) << help.out;

    auto offset = RunCli({"info", "--offset", "0", "--", "--offset"}, inDir);
    EXPECT_EQ(offset.exitCode, 0) << offset.err;
    EXPECT_TRUE(Contains(offset.out, "width: 5\nheight: 1\n")) << offset.out;

    auto render = RunCli({"render", "--", "--help", "--split"}, inDir);
    EXPECT_EQ(render.exitCode, 0) << render.err;
    EXPECT_TRUE(std::filesystem::exists(dir.File("--split")));

    // Without "--" the same word is the option.
    auto asOption = RunCli({"info", "--help"}, inDir);
    EXPECT_EQ(asOption.exitCode, 0);
    EXPECT_TRUE(Contains(asOption.out, "Usage: pixalto-cli info")) << asOption.out;
}

// Every command's help comes from one generator: the usage line first, then
// what it does, its arguments and its options, on stdout with exit 0.
TEST(CliUsage, EveryCommandHasGeneratedHelp) {
    auto overview = RunCli({"--help"});
    EXPECT_EQ(overview.exitCode, 0);
    EXPECT_EQ(overview.out.rfind("Usage: pixalto-cli ", 0), 0u) << overview.out;
    for (const char* command : kCommands) {
        EXPECT_TRUE(Contains(overview.out, std::string("\n  ") + command + " ")) << command;
        for (const char* flag : {"--help", "-h"}) {
            auto help = RunCli({command, flag});
            EXPECT_EQ(help.exitCode, 0) << command;
            EXPECT_EQ(help.err, "") << command;
            EXPECT_EQ(
                help.out.rfind(std::string("Usage: pixalto-cli ") + command + " [OPTIONS] ", 0), 0u)
                << help.out;
            EXPECT_TRUE(Contains(help.out, "\nPositionals:\n")) << help.out;
            EXPECT_TRUE(Contains(help.out, "\nOptions:\n  -h,--help ")) << help.out;
        }
    }
}

}  // namespace
}  // namespace pixalto::testing
