#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "cli/CliRun.h"
#include "cli/ScanFormat.h"
#include "support/DiscBuilder.h"
#include "support/IsoBuilder.h"
#include "support/TempDir.h"

namespace pixalto {
namespace {

using Bytes = std::vector<std::uint8_t>;
using testing::RunCli;

std::string Text(std::uint64_t value) {
    return std::to_string(value);
}

// Every format lists every hit of a MODE2/2352 image made from an ISO 9660
// image: the TIM's own fields, then its sector, file and offset in the file.
TEST(ScanFormatCli, ListsEachHitWithItsFileOnTheDisc) {
    const auto sample = testing::MakeSampleIso();
    if (!sample) {
        GTEST_SKIP() << "genisoimage and xorriso are not installed";
    }
    const testing::BuiltDisc disc = testing::WrapMode2(sample->iso);
    testing::TempDir dir;
    const std::string image = dir.Write("GAME.BIN", disc.image);

    std::vector<std::vector<std::string>> rows;
    for (std::size_t i = 0; i < sample->tims.size(); ++i) {
        const testing::IsoTim& tim = sample->tims[i];
        const testing::TimSpec& shape = tim.shape;
        const std::size_t at = sample->IsoOffsetOf(i);
        const bool clut = shape.mode == 8 || shape.mode == 9;
        const std::uint32_t bpp = shape.mode == 8 ? 4 : shape.mode == 9 ? 8 : 16;
        const std::uint32_t perUnit = bpp == 4 ? 4 : bpp == 8 ? 2 : 1;
        rows.push_back({"", Text(disc.FileOffsetOf(at)), Text(shape.imageWidth * perUnit),
                        Text(shape.imageHeight), Text(bpp), Text(clut ? shape.clutHeight : 0),
                        Text(shape.imageX), Text(shape.imageY), clut ? Text(shape.clutX) : "",
                        clut ? Text(shape.clutY) : "", Text(at / 2048), tim.path,
                        Text(tim.offsetInFile)});
    }
    // Numbered in the order the scan meets them.
    std::sort(rows.begin(), rows.end(),
              [](const auto& a, const auto& b) { return std::stoull(a[1]) < std::stoull(b[1]); });
    for (std::size_t i = 0; i < rows.size(); ++i) {
        rows[i][0] = Text(i + 1);
    }
    const std::vector<std::string> all = {
        "number",  "position", "width",  "height", "bpp",  "clut_sets",     "image_x",
        "image_y", "clut_x",   "clut_y", "lba",    "path", "offset_in_file"};
    struct Case {
        std::string format;
        std::string separator;
        std::string open, close;  // around a row
        bool json;
    };
    for (const Case& c : {Case{"tsv", "\t", "", "", false}, Case{"csv", ",", "", "", false},
                          Case{"json", ",", "{", "}", true}}) {
        std::string expected;
        auto line = [&](const std::vector<std::string>& fields) {
            expected += c.open;
            for (std::size_t f = 0; f < fields.size(); ++f) {
                expected += f > 0 ? c.separator : "";
                if (!c.json) {
                    expected += fields[f];
                    continue;
                }
                const bool text = all[f] == "path";
                expected += "\"" + all[f] + "\":" + (fields[f].empty() ? "null" : "") +
                            (text ? "\"" : "") + fields[f] + (text ? "\"" : "");
            }
            expected += c.close + "\n";
        };
        if (!c.json) {
            line(all);
        }
        for (const auto& row : rows) {
            line(row);
        }
        auto scan = RunCli({"scan", image, "--format", c.format});
        EXPECT_EQ(scan.exitCode, 0) << scan.err;
        EXPECT_EQ(scan.out, expected) << c.format;
        EXPECT_EQ(scan.err, "");
    }
}

// A plain file has no disc fields; a raw image whose file system can't be
// read lists its hits by sector, and says so once.
TEST(ScanFormatCli, DiscFieldsOnlyWhereThereIsADisc) {
    testing::TempDir dir;
    testing::DiscContents desc;
    desc.data = Bytes(40 * 2048, 0xA5);
    const Bytes tim = testing::MakeTim(testing::PatternTim(16, 4, 2));
    testing::PlaceBytes(desc.data, 3 * 2048 + 10, tim);
    testing::PlaceBytes(desc.data, 30 * 2048 + 10, tim);
    const testing::BuiltDisc disc = testing::MakeDisc(desc);
    const std::string raw = dir.Write("NOFS.BIN", disc.image);
    const std::string plain = dir.Write("PLAIN.DAT", desc.data);

    const std::string p1 = Text(disc.FileOffsetOf(3 * 2048 + 10));
    const std::string p2 = Text(disc.FileOffsetOf(30 * 2048 + 10));
    auto scan = RunCli({"scan", raw, "--format", "csv"});
    EXPECT_EQ(scan.exitCode, 0);
    EXPECT_EQ(scan.out,
              "number,position,width,height,bpp,clut_sets,image_x,image_y,clut_x,clut_y,lba\n"
              "1," +
                  p1 + ",4,2,16,0,0,0,,,3\n2," + p2 + ",4,2,16,0,0,0,,,30\n");
    EXPECT_EQ(scan.err, "No ISO 9660 file system could be read in " + raw +
                            ": hits show their sector (LBA) only.\n");

    scan = RunCli({"scan", plain, "--format", "json"});
    EXPECT_EQ(scan.exitCode, 0);
    EXPECT_EQ(scan.out,
              "{\"number\":1,\"position\":6154,\"width\":4,\"height\":2,\"bpp\":16,"
              "\"clut_sets\":0,\"image_x\":0,\"image_y\":0,\"clut_x\":null,\"clut_y\":null}\n"
              "{\"number\":2,\"position\":61450,\"width\":4,\"height\":2,\"bpp\":16,"
              "\"clut_sets\":0,\"image_x\":0,\"image_y\":0,\"clut_x\":null,\"clut_y\":null}\n");
    EXPECT_EQ(scan.err, "");

    scan = RunCli({"scan", plain, "--format", "xml"});
    EXPECT_EQ(scan.exitCode, 2);
    EXPECT_NE(scan.err.find("must be text, tsv, csv or json, not 'xml'"), std::string::npos);
}

TEST(ScanFormat, QuotesPathsAsEachFormatNeeds) {
    struct Case {
        std::string text, tsv, csv, json;
    };
    for (const Case& c : {
             Case{"/DATA/A.BIN", "/DATA/A.BIN", "/DATA/A.BIN", "\"/DATA/A.BIN\""},
             Case{"/A,B", "/A,B", "\"/A,B\"", "\"/A,B\""},
             Case{"/A\"B", "/A\"B", "\"/A\"\"B\"", "\"/A\\\"B\""},
             Case{"/A\tB\\C", "/A\\tB\\\\C", "/A\tB\\C", "\"/A\\tB\\\\C\""},
             Case{"/A\nB\r", "/A\\nB\\r", "\"/A\nB\r\"", "\"/A\\nB\\r\""},
             Case{"/\x01\xE9", "/\x01\xE9", "/\x01\xE9", "\"/\\u0001\\u00e9\""},
         }) {
        EXPECT_EQ(cli::TsvField(c.text), c.tsv) << c.text;
        EXPECT_EQ(cli::CsvField(c.text), c.csv) << c.text;
        EXPECT_EQ(cli::JsonString(c.text), c.json) << c.text;
    }
}

}  // namespace
}  // namespace pixalto
