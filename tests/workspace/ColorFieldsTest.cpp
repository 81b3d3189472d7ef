// The colour editor's fields: decimal ones read with no octal, the
// "#RRGGBB" one, and the colour word they make.

#include <gtest/gtest.h>

#include "workspace/ColorFields.h"

namespace pixalto::workspace {
namespace {

TEST(ColorFields, ReadDecimalAndHexIntoTheStoredWord) {
    struct Case {
        const char* typed;
        bool hex;  // typed into the "#RRGGBB" field, else into each decimal one
        std::optional<Rgb> read;
        const char* hexShown;
        PsxColor word;  // visible
    };
    const Case cases[] = {
        {"255", false, Rgb{255, 255, 255}, "#FFFFFF", 0xFFFF},
        {"0", false, Rgb{0, 0, 0}, "#000000", 0x8000},
        {"010", false, Rgb{10, 10, 10}, "#0A0A0A", 0x8421},
        {"077", false, Rgb{77, 77, 77}, "#4D4D4D", 0xA529},
        {"0x1", false, Rgb{0, 0, 0}, "#000000", 0x8000},
        {" 12", false, Rgb{12, 12, 12}, "#0C0C0C", 0x8421},
        {"1234", false, Rgb{123, 123, 123}, "#7B7B7B", 0xBDEF},
        {"300", false, Rgb{300, 300, 300}, "#2C2C2C", 0x94A5},
        {"", false, {}, "", 0},
        {"x1", false, {}, "", 0},
        {"#0A7BFF", true, Rgb{10, 123, 255}, "#0A7BFF", 0xFDE1},
        {"00ff7f", true, Rgb{0, 255, 127}, "#00FF7F", 0xBFE0},
        {"#FF00", true, {}, "", 0},
        {"#GG0000", true, {}, "", 0},
        {"#FF000000", true, {}, "", 0},
        {"##FF0000", true, {}, "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        std::optional<Rgb> read = ReadHexColor(c.typed);
        if (!c.hex) {
            const auto value = ReadColorField(c.typed);
            read = value ? std::optional<Rgb>(Rgb{*value, *value, *value}) : std::nullopt;
        }
        ASSERT_EQ(read, c.read);
        if (read) {
            EXPECT_EQ(HexColorText(*read), c.hexShown);
            EXPECT_EQ(ComposeColor(*read, false), c.word);
            EXPECT_EQ(ComposeColor(*read, true), c.word & ~kStpBit);
        }
    }
}

}  // namespace
}  // namespace pixalto::workspace
