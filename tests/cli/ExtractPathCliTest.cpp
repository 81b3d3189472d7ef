#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "cli/CliRun.h"
#include "raw/ExtractionList.h"
#include "support/DiscBuilder.h"
#include "support/IsoBuilder.h"
#include "support/TempDir.h"

namespace pixalto::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;

// extract --path chooses the TIMs of the disc's files a pattern matches,
// with the numbers given as well; the list records each TIM's sector and
// file, and inserts as the list without them does.
TEST(ExtractPathCli, ChoosesTheTimsOfTheFilesNamed) {
    const auto sample = MakeSampleIso();
    if (!sample) {
        GTEST_SKIP() << "genisoimage and xorriso are not installed";
    }
    const BuiltDisc disc = WrapMode2(sample->iso);
    // The sample's TIMs in the order a scan numbers them.
    std::vector<std::size_t> order(sample->tims.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        order[i] = i;
    }
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return sample->IsoOffsetOf(a) < sample->IsoOffsetOf(b);
    });
    auto numberOf = [&](const std::string& path, std::size_t offset) {
        for (std::size_t n = 0; n < order.size(); ++n) {
            const auto& tim = sample->tims[order[n]];
            if (tim.path == path && tim.offsetInFile == offset) {
                return n + 1;
            }
        }
        return std::size_t{0};
    };
    const std::size_t chara1 = numberOf("/DATA/CHARA.BIN", 100);
    const std::size_t chara2 = numberOf("/DATA/CHARA.BIN", 2040);
    const std::size_t face = numberOf("/DATA/SUB/FACE.TIM", 0);
    const std::size_t top = numberOf("/TOP.BIN", 4106);
    struct Case {
        std::vector<std::string> args;
        std::vector<std::size_t> numbers;
    };
    for (const Case& c : {
             Case{{"--path", "/DATA/CHARA.BIN"}, {chara1, chara2}},
             Case{{"--path", "/DATA/*"}, {chara1, chara2}},  // not into SUB
             Case{{"--path", "/TOP.BIN", "--path", "/DATA/SUB/*.TIM"}, {face, top}},
             Case{{std::to_string(top), "--path", "/DATA/*/FACE.TIM"}, {face, top}},
         }) {
        TempDir dir;
        const std::string image = dir.Write("GAME.BIN", disc.image);
        std::vector<std::string> args = {"extract", image};
        args.insert(args.end(), c.args.begin(), c.args.end());
        auto run = RunCli(args);
        ASSERT_EQ(run.exitCode, 0) << run.err;
        for (std::size_t n = 1; n <= order.size(); ++n) {
            const bool chosen = std::count(c.numbers.begin(), c.numbers.end(), n) > 0;
            EXPECT_EQ(std::filesystem::exists(dir.File(std::to_string(n) + ".tim")), chosen)
                << c.args[1] << " #" << n;
        }
        const auto list = ReadAll(dir.File("timextracts.txt"));
        const std::string text(list.begin(), list.end());
        for (std::size_t n : c.numbers) {
            const auto& tim = sample->tims[order[n - 1]];
            const std::size_t at = sample->IsoOffsetOf(order[n - 1]);
            EXPECT_NE(text.find("File #" + std::to_string(n) + "\r\nPosition:\t" +
                                std::to_string(disc.FileOffsetOf(at)) + "\r\nSize:\t" +
                                std::to_string(tim.tim.size()) + "\r\nLBA:\t" +
                                std::to_string(at / 2048) + "\r\nPath:\t" + tim.path + "\r\n\r\n"),
                      std::string::npos)
                << text;
        }
    }

    // The new list inserts, and so does the same list without the new
    // fields, as an older program wrote it.
    for (bool older : {false, true}) {
        TempDir dir;
        const std::string image = dir.Write("GAME.BIN", disc.image);
        ASSERT_EQ(RunCli({"extract", image, "--path", "/DATA/CHARA.BIN"}).exitCode, 0);
        if (older) {
            const auto list = ReadAll(dir.File("timextracts.txt"));
            // Every line but the new fields, as an older program wrote it.
            std::string text;
            const std::string whole(list.begin(), list.end());
            for (std::size_t at = 0; at < whole.size();) {
                const std::size_t end = whole.find('\n', at) + 1;
                const std::string line = whole.substr(at, end - at);
                if (line.rfind("LBA:", 0) != 0 && line.rfind("Path:", 0) != 0) {
                    text += line;
                }
                at = end;
            }
            ASSERT_EQ(text.find("LBA"), std::string::npos);
            dir.Write("timextracts.txt", Bytes(text.begin(), text.end()));
        }
        Bytes edited = sample->tims[order[chara2 - 1]].tim;
        edited.back() ^= 0xFF;
        dir.Write(std::to_string(chara2) + ".tim", edited);
        auto run = RunCli({"insert", dir.File("timextracts.txt")});
        EXPECT_EQ(run.exitCode, 0) << run.err;
        Bytes data = sample->iso;
        PlaceBytes(data, sample->IsoOffsetOf(order[chara2 - 1]), edited);
        EXPECT_EQ(ReadAll(image), WrapMode2(data).image) << older;
    }
}

// The new fields never hide the next record from a reader that looks for it
// within a window of the one before: a path that would push it out is left
// out, and a line break in a path can't start a record of its own.
TEST(ExtractionListPlace, FieldsKeepTheNextRecordInTheReadersWindow) {
    struct Case {
        std::string path;
        std::string written;  // the Path line as written, or "" when left out
    };
    // With these numbers a path of 68 bytes is the longest that fits.
    const std::string longest(68, 'A');
    for (const Case& c :
         {Case{"/DATA/CHARA.BIN", "Path:\t/DATA/CHARA.BIN\r\n"},
          Case{"/" + longest.substr(1), "Path:\t/" + longest.substr(1) + "\r\n"},
          Case{"/" + longest, ""}, Case{"", ""}, Case{"/A\nFile #9\r", "Path:\t/A?File #9?\r\n"}}) {
        const raw::ListRecord record{12345, 1234567890123, 1234567};
        const std::string first =
            raw::FormatListRecord(record, raw::ListRecordPlace{123456, c.path});
        EXPECT_EQ(first,
                  "File #12345\r\nPosition:\t1234567890123\r\nSize:\t1234567\r\n"
                  "LBA:\t123456\r\n" +
                      c.written + "\r\n")
            << c.path;
        const std::string list = first + raw::FormatListRecord({12346, 5, 6});
        const auto next = raw::FindListRecord(list);
        ASSERT_TRUE(next.has_value()) << c.path;
        EXPECT_EQ(*next, first.size() - 1);
        const auto read = raw::ReadListRecord(list);
        ASSERT_TRUE(read.has_value());
        EXPECT_EQ(read->position, record.position);
        EXPECT_EQ(read->size, record.size);
    }
}

}  // namespace
}  // namespace pixalto::testing
