#include <gtest/gtest.h>

#include <filesystem>

#include "cli/CliRun.h"
#include "support/TempDir.h"
#include "support/TimBuilder.h"

namespace pixalto::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        lines.push_back(text.substr(start, end - start));
    }
    if (start < text.size()) {
        lines.push_back(text.substr(start));
    }
    return lines;
}

// A 16-bit TIM whose pixels don't compress: its PNG, BMP and TIM are each
// well over the size limit the failing cases set.
Bytes NoisyTim() {
    return MakeTim(PatternTim(16, 64, 64, 1, 7));
}

// Under a failure about a file, a line says which file and why; the first
// line is the program's own text. Each case writes into a folder that doesn't
// exist, or past a file-size limit set on the program (as on a full disk),
// and the files that were there stay as they were. The file named is always
// the one the user asked for, never the temporary file written first.
TEST(CliFailure, FileFailuresAddThePathAndTheSystemsReason) {
    TempDir dir;
    const std::string tim = dir.Write("face.tim", NoisyTim());
    const std::string bmp = dir.File("face.bmp");
    ASSERT_EQ(RunCli({"to-bmp", tim}).exitCode, 0);
    const std::string missing = dir.File("no/such");
    const Bytes old = {'o', 'l', 'd'};
    const std::string oldPng = dir.Write("old.png", old);
    const std::string oldBmp = dir.Write("old.bmp", old);
    const std::string oldSidecar = dir.Write("old.tmext", old);
    const std::string oldTim = dir.Write("old.tim", old);
    const Bytes brokenBytes = [] {
        TimSpec desc = PatternTim(16, 64, 64, 1, 7);
        desc.imageBlockLength = 16;
        return MakeTim(desc);
    }();
    const std::string broken = dir.Write("broken.tim", brokenBytes);
    std::filesystem::create_directory(dir.Path() / "batch");
    const std::string batchTim = dir.Write("batch/face.tim", NoisyTim());
    constexpr long long kLimit = 2000;
    const std::string tooLarge = ": File too large";
    const std::string noSuchFile = ": No such file or directory";

    struct Case {
        std::vector<std::string> args;
        long long fileSizeLimit;
        std::vector<std::string> lines;  // what stderr says
    };
    const Case cases[] = {
        Case({"render", tim, missing + "/x.png"}, -1,
             {"Couldn't create file " + missing + "/x.png!", missing + "/x.png" + noSuchFile}),
        {{"render", tim, oldPng}, kLimit, {"Couldn't write " + oldPng, oldPng + tooLarge}},
        Case({"to-bmp", tim, missing + "/x.bmp"}, -1,
             {"Failed on saving BMP File!", missing + "/x.bmp" + noSuchFile}),
        {{"to-bmp", tim, oldBmp}, kLimit, {"Failed on saving BMP File!", oldBmp + tooLarge}},
        Case({"to-tim", bmp, missing + "/x.tim"}, -1,
             {"Failed on saving TIM File!", missing + "/x.tim" + noSuchFile}),
        {{"to-tim", bmp, oldTim}, kLimit, {"Failed on saving TIM File!", oldTim + tooLarge}},
        {{"repair", broken, oldTim}, kLimit, {"Failed on saving TIM File!", oldTim + tooLarge}},
        {{"repair", broken}, kLimit, {"Failed on saving TIM File!", broken + tooLarge}},
        Case({"repair", broken, missing + "/x.tim"}, -1,
             {"Failed on saving TIM File!", missing + "/x.tim" + noSuchFile}),
        Case({"convert-folder", dir.File("batch"), "--to", "bmp"}, kLimit,
             {"Failed on saving BMP File!", batchTim, dir.File("batch/face.bmp") + tooLarge}),
        {{"info", missing + ".tim"}, -1, {"Couldn't open file!", missing + ".tim" + noSuchFile}},
        {{"repair", missing + ".tim"}, -1, {"Couldn't open file!", missing + ".tim" + noSuchFile}},
    };
    for (const auto& c : cases) {
        CliSetup setup;
        setup.fileSizeLimit = c.fileSizeLimit;
        auto result = RunCli(c.args, setup);
        const std::string what = c.args[0] + " " + c.args.back();
        EXPECT_EQ(result.exitCode, 1) << what << ": " << result.err;
        EXPECT_EQ(Lines(result.err), c.lines) << what;
    }
    for (const std::string& path : {oldPng, oldBmp, oldSidecar, oldTim}) {
        EXPECT_EQ(ReadAll(path), old) << path;
    }
    EXPECT_EQ(ReadAll(broken), brokenBytes);
    EXPECT_FALSE(std::filesystem::exists(dir.File("no")));
}

// The RAW jobs' messages get the same second line, printed by the console
// host under the message.
TEST(CliFailure, ExtractionThatCantWriteNamesTheFileAndTheReason) {
    TempDir dir;
    Bytes raw(10'000, 0xA5);
    const Bytes tim = NoisyTim();
    std::copy(tim.begin(), tim.end(), raw.begin() + 100);
    const std::string rawPath = dir.Write("DISC.BIN", raw);
    CliSetup setup;
    setup.fileSizeLimit = 2000;  // the list fits, the TIM doesn't
    auto result = RunCli({"extract", rawPath, "1"}, setup);
    EXPECT_EQ(result.exitCode, 1) << result.err;
    EXPECT_EQ(result.out, "");
    const auto lines = Lines(result.err);
    ASSERT_EQ(lines.size(), 2u) << result.err;
    const std::string start = "Couldn't create file ";
    ASSERT_EQ(lines[0].rfind(start, 0), 0u) << lines[0];
    ASSERT_TRUE(lines[0].ends_with("!")) << lines[0];
    const std::string file = lines[0].substr(start.size(), lines[0].size() - start.size() - 1);
    EXPECT_EQ(lines[1], file + ": File too large");
}

}  // namespace
}  // namespace pixalto::testing
