#include <gtest/gtest.h>

#include "raw/NumberText.h"
#include "raw/RangeParser.h"
#include "raw/SelectedEntries.h"

namespace pixalto::raw {
namespace {

TEST(NumberText, ReadsAsPercentIDoes) {
    struct Case {
        const char* text;
        std::uint64_t value32, value64;
        std::size_t end;
    };
    const Case cases[] = {
        {"42", 42, 42, 2},
        {" \t\r\n42x", 42, 42, 6},
        {"+7", 7, 7, 2},
        {"-1", 0xFFFF'FFFFu, ~std::uint64_t{0}, 2},
        {"-5", 0xFFFF'FFFBu, ~std::uint64_t{0} - 4, 2},
        {"010", 8, 8, 3},
        {"09", 0, 0, 1},
        {"0x1F", 31, 31, 4},
        {"0X1fG", 31, 31, 4},
        {"0x", 0, 0, 1},
        {"0xg", 0, 0, 1},
        {"0", 0, 0, 1},
        {"4294967295", 0xFFFF'FFFFu, 4294967295u, 10},
        // Too long for 32 bits: saturates rather than wrapping to 1.
        {"4294967297", 0xFFFF'FFFFu, 4294967297u, 10},
        {"-4294967295", 0x8000'0000u, ~std::uint64_t{0} - 4294967294u, 11},
        {"18446744073709551615", 0xFFFF'FFFFu, ~std::uint64_t{0}, 20},
        {"99999999999999999999999", 0xFFFF'FFFFu, ~std::uint64_t{0}, 23},
    };
    for (const Case& c : cases) {
        auto r32 = ReadInt32(c.text);
        auto r64 = ReadInt64(c.text);
        ASSERT_TRUE(r32.has_value()) << c.text;
        ASSERT_TRUE(r64.has_value()) << c.text;
        EXPECT_EQ(r32->value, c.value32) << c.text;
        EXPECT_EQ(r64->value, c.value64) << c.text;
        EXPECT_EQ(r32->end, c.end) << c.text;
        EXPECT_EQ(r64->end, c.end) << c.text;
    }
    for (const char* text : {"", "  ", "-", "+-1", "abc"}) {
        EXPECT_FALSE(ReadInt32(text).has_value()) << '"' << text << '"';
        EXPECT_FALSE(ReadInt64(text).has_value()) << '"' << text << '"';
    }
}

TEST(RangeParser, ChecksSelectionsAgainstTenEntries) {
    // The selections taken, and how many entries each chooses.
    const std::pair<const char*, std::uint64_t> taken[] = {
        {"1,2-3,5-", 9}, {"3-3", 1},  {"10", 1},   {"1-10,1-10", 20}, {"010", 1},     {"0X0A", 1},
        {"5 -7", 1},     {"5- 7", 3}, {"5abc", 1}, {"5-7x", 3},       {"1-0x0A", 10}, {"10-", 1},
    };
    for (const auto& [text, total] : taken) {
        EXPECT_EQ(CheckSelection(text, 10), total) << '"' << text << '"';
    }
    // "2-1", descending by one, would count 0 and never end; 4294967297
    // must not wrap to 1.
    for (const char* text : {"11", "0", "5-3", "2-1", "1,", ",1", "1,,2", " 1", "-1", "+1", "A",
                             "09", "5--3", "4294967297", "1-4294967297", "11-", ""}) {
        EXPECT_EQ(CheckSelection(text, 10), std::nullopt) << '"' << text << '"';
    }
}

TEST(RangeParser, NothingIsValidWithoutEntries) {
    for (const char* text : {"1", "0", "1-", "1-1", ""}) {
        EXPECT_FALSE(CheckSelection(text, 0)) << text;
    }
}

TEST(RangeParser, ReadsEachFormsBounds) {
    struct Case {
        const char* piece;
        std::uint32_t first, last, count;
    };
    const Case cases[] = {
        {"5-", 5, 10, 6},  {"010", 8, 8, 1},    {"5 -7", 5, 5, 1},
        {"5- 7", 5, 7, 3}, {"0X0A", 10, 10, 1}, {"2-x-", 2, 10, 9},
    };
    for (const Case& c : cases) {
        auto piece = ReadPiece(c.piece, 10);
        ASSERT_TRUE(piece) << c.piece;
        EXPECT_EQ(piece->first, c.first) << c.piece;
        EXPECT_EQ(piece->last, c.last) << c.piece;
        EXPECT_EQ(piece->count, c.count) << c.piece;
    }
    EXPECT_FALSE(ReadPiece("x", 10));
}

TEST(RangeParser, PiecesAreTakenUpToTheNextComma) {
    EXPECT_EQ(PieceAt("1,2-3,5-", 0), "1");
    EXPECT_EQ(PieceAt("1,2-3,5-", 2), "2-3");
    EXPECT_EQ(PieceAt("1,2-3,5-", 6), "5-");
    EXPECT_EQ(PieceAt("1,2-3,5-", 9), "");
}

// The numbers chosen, merged into ranges: what extraction checks before it
// writes, and what a scan without a window keeps.
TEST(RangeParser, MergesTheChosenNumbersIntoRanges) {
    using Ranges = std::vector<std::pair<std::uint32_t, std::uint32_t>>;
    struct Case {
        const char* text;
        std::uint32_t entryCount;
        Ranges ranges;
    };
    const std::uint32_t kMax = 0xFFFF'FFFFu;
    const Case cases[] = {
        {"1,2-3,5-", 10, {{1, 3}, {5, 10}}},
        {"7,3,3", 10, {{3, 3}, {7, 7}}},
        {"2-4,3-6,8,7", 10, {{2, 8}}},
        {"5-,1", kMax, {{1, 1}, {5, kMax}}},
        {"4294967295,1-", kMax, {{1, kMax}}},
        {"2-1,0,x,3", 10, {{3, 3}}},
        {"", 10, {}},
    };
    for (const Case& c : cases) {
        Ranges ranges;
        for (const SelectionPiece& range : SelectedRanges(c.text, c.entryCount)) {
            EXPECT_EQ(range.count, range.last - range.first + 1) << c.text;
            ranges.emplace_back(range.first, range.last);
        }
        EXPECT_EQ(ranges, c.ranges) << c.text;
    }
}

TEST(SelectedEntries, CountsEveryEntryAndKeepsOnlyTheChosenOnes) {
    SelectedEntries entries("2,5-");
    for (int number = 1; number <= 7; ++number) {
        entries.Add({std::uint64_t(number) * 1000, number, 4, 3});
    }
    EXPECT_EQ(entries.Count(), 7u);
    for (std::size_t row = 0; row < 8; ++row) {
        const bool kept = row == 1 || (row >= 4 && row < 7);
        const auto number = static_cast<std::int32_t>(row + 1);
        EXPECT_EQ(entries.At(row),
                  kept ? std::optional(ScanEntry{row * 1000 + 1000, number, 4, 3}) : std::nullopt)
            << row;
    }
    entries.Clear();
    EXPECT_EQ(entries.Count(), 0u);
    EXPECT_EQ(entries.At(1), std::nullopt);
}

}  // namespace
}  // namespace pixalto::raw
