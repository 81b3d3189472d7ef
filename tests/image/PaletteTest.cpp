#include <gtest/gtest.h>

#include <string>

#include "image/Image.h"
#include "messages/Catalogue.h"
#include "support/TimBuilder.h"

namespace pixalto {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A 4-bit image with two sets: set 1 starts transparent, opaque black, STP
// red, white, then words with and without STP.
ImageState TwoSets() {
    ImageState state;
    state.bpp = 4;
    state.clutOrgX = 16;
    state.clutOrgY = 480;
    state.clutData.resize(64);
    state.clutDataSize = 64;
    const PsxColor set1[] = {0x0000, 0x8000, 0x801F, 0x7FFF, 0x83E0, 0x0421};
    for (std::size_t i = 0; i < 32; ++i) {
        const PsxColor word =
            i < 16 ? static_cast<PsxColor>(i * 0x0421) : set1[std::min<std::size_t>(i - 16, 5)];
        WriteU16LE(&state.clutData[i * 2], word);
    }
    return state;
}

Bytes Text(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

PsxColor Word(const ImageState& state, std::size_t entry) {
    return ReadU16LE(&state.clutData[entry * 2]);
}

TEST(Palette, ExportsEveryFormatInItsLayout) {
    const ImageState state = TwoSets();
    struct Case {
        PaletteFormat format;
        std::size_t at;
        Bytes expected;
    };
    Bytes tim = {0x10, 0, 0, 0, 8, 0, 0, 0, 44, 0, 0, 0, 16, 0, 225, 1, 16, 0, 1, 0, 0, 0, 0, 0x80};
    Bytes act = {0, 0, 0, 0, 0, 0, 248, 0, 0, 248, 248, 248};
    const Case cases[] = {
        {PaletteFormat::Gimp, 0,
         Text("GIMP Palette\nName: face\nColumns: 16\n#\n  0   0   0\tIndex 0\n  0   0   0\tIndex "
              "1\n248   0   0\tIndex 2\n")},
        {PaletteFormat::Jasc, 0, Text("JASC-PAL\r\n0100\r\n16\r\n0 0 0\r\n0 0 0\r\n248 0 0\r\n")},
        {PaletteFormat::Adobe, 0, act},
        {PaletteFormat::Adobe, 768, {0, 16, 0, 0}},  // 16 colours, the first transparent
        {PaletteFormat::Tim, 0, tim},
    };
    for (const Case& c : cases) {
        Result<Bytes> out = ExportPalette(state, 1, c.format, "face");
        ASSERT_TRUE(out.ok());
        ASSERT_GE(out->size(), c.at + c.expected.size());
        EXPECT_EQ(Bytes(out->begin() + c.at, out->begin() + c.at + c.expected.size()), c.expected)
            << static_cast<int>(c.format);
    }
    EXPECT_EQ(ExportPalette(state, 1, PaletteFormat::Adobe, "")->size(), 772u);
    EXPECT_EQ(ExportPalette(state, 1, PaletteFormat::Tim, "")->size(), 8u + 12 + 32);
}

TEST(Palette, ImportKeepsUnchangedWordsAndTakesStpFromAlphaWhereTheFormatHasIt) {
    struct Case {
        PaletteFormat format;
        // Set 1's words imported into set 0: entries 1 (0x8000) and 2 (0x801F).
        PsxColor blackInSet0, redInSet0;
    };
    for (const Case& c :
         {Case{PaletteFormat::Gimp, 0x0000, 0x001F}, Case{PaletteFormat::Jasc, 0x0000, 0x001F},
          Case{PaletteFormat::Adobe, 0x0000, 0x001F}, Case{PaletteFormat::Tim, 0x8000, 0x801F}}) {
        ImageState state = TwoSets();
        const Bytes before = state.clutData;
        const Bytes file = *ExportPalette(state, 1, c.format, "x");
        ASSERT_EQ(ImportPalette(state, 1, file, c.format), ErrorCode::None);
        EXPECT_EQ(state.clutData, before) << "unchanged colours keep STP";
        ASSERT_EQ(ImportPalette(state, 0, file, c.format), ErrorCode::None);
        EXPECT_EQ(Word(state, 0), 0x0000);
        EXPECT_EQ(Word(state, 1), c.blackInSet0) << static_cast<int>(c.format);
        EXPECT_EQ(Word(state, 2), c.redInSet0) << static_cast<int>(c.format);
        EXPECT_EQ(Word(state, 3), 0x7FFF);
    }
    // A shorter palette fills the first entries; the Adobe table's transparent
    // colour is the word 0x0000.
    ImageState state = TwoSets();
    ASSERT_EQ(ImportPalette(state, 1, Text("GIMP Palette\n#\n0 0 0\n8 8 8\n"), PaletteFormat::Gimp),
              ErrorCode::None);
    EXPECT_EQ(Word(state, 16), 0x0000);
    EXPECT_EQ(Word(state, 17), 0x0421);
    EXPECT_EQ(Word(state, 18), 0x801F);
    Bytes act(772, 0);
    act[0] = 248;
    act[769] = 2;
    act[771] = 1;  // the second colour is the transparent one
    ASSERT_EQ(ImportPalette(state, 1, act, PaletteFormat::Adobe), ErrorCode::None);
    EXPECT_EQ(Word(state, 16), 0x001F);
    EXPECT_EQ(Word(state, 17), 0x0000);
    EXPECT_EQ(Word(state, 18), 0x801F);
}

TEST(Palette, RefusesPalettesItCantTakeAndChangesNothing) {
    std::string seventeen = "GIMP Palette\n";
    for (int i = 0; i < 17; ++i) {
        seventeen += "1 2 3\n";
    }
    Bytes act = Bytes(772, 0);
    act[768] = 1;  // 256 + 1 colours
    act[769] = 1;
    struct Case {
        PaletteFormat format;
        Bytes bytes;
        const char* text;
    };
    const Case cases[] = {
        {PaletteFormat::Gimp, Text(seventeen),
         "The palette has 17 colours, more than the 16 of a CLUT set."},
        {PaletteFormat::Gimp, Text("GIMP palette\n"),
         "Couldn't read the palette: it doesn't start with \"GIMP Palette\""},
        {PaletteFormat::Gimp, Text("GIMP Palette\n1 2\n"),
         "Couldn't read the palette: line 2 is not a colour"},
        {PaletteFormat::Jasc, Text("JASC-PAL\n0100\n3\n1 2 3\n4 5 256\n"),
         "Couldn't read the palette: line 5 is not a colour"},
        {PaletteFormat::Jasc, Text("JASC-PAL\n0100\n3\n1 2 3\n"),
         "Couldn't read the palette: it ends before its 3 colours"},
        {PaletteFormat::Adobe, Bytes(769),
         "Couldn't read the palette: an Adobe colour table is 768 or 772 bytes long"},
        {PaletteFormat::Adobe, act, "Couldn't read the palette: it claims 257 colours"},
        {PaletteFormat::Tim, Bytes{0x10, 0, 0, 0, 2, 0, 0, 0},
         "Couldn't read the palette: it is not a TIM with a CLUT"},
        {PaletteFormat::Tim, Bytes{0x10, 0, 0, 0, 8, 0, 0, 0, 44, 0, 0, 0, 0, 0, 0, 0, 16, 0, 1, 0},
         "Couldn't read the palette: its CLUT block is cut short"},
    };
    for (const Case& c : cases) {
        ImageState state = TwoSets();
        const Bytes before = state.clutData;
        EXPECT_EQ(msg::Text(ImportPalette(state, 0, c.bytes, c.format)), c.text);
        EXPECT_EQ(state.clutData, before);
    }
    ImageState direct;
    direct.bpp = 16;
    EXPECT_EQ(msg::Text(ExportPalette(direct, 0, PaletteFormat::Gimp, "").error()),
              "The image has no CLUT: only 4- and 8-bit images have a palette.");
    EXPECT_EQ(PaletteFormatFor("a/b.CLT"), PaletteFormat::Tim);
    EXPECT_EQ(PaletteFormatFor("a/b.png"), std::nullopt);
}

}  // namespace
}  // namespace pixalto
