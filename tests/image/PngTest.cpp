#include <gtest/gtest.h>

#include <array>

#include "image/Image.h"
#include "messages/Catalogue.h"
#include "support/ImageFiles.h"
#include "support/PngBuilder.h"
#include "support/TimBuilder.h"

namespace pixalto::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Answers with origins 1,2 (image) and 3,4 (CLUT).
struct Origins1234 : ScriptedOrigins {
    Origins1234() : ScriptedOrigins({Origins{1, 2, 3, 4}}) {}
    std::size_t Asked() const { return hasClutSeen.size(); }
};

PngFile Export(const Bytes& tim, std::uint32_t set) {
    Result<PngFile> png = ConvertTimToPng(LoadedTim(tim), set);
    EXPECT_TRUE(png.ok()) << msg::Text(png.error());
    return png.ok() ? *png : PngFile{};
}

// The TIM file a PNG (and sidecar) becomes, or the failure's text.
std::string Import(const Bytes& png, const Bytes& sidecar, Bytes& tim,
                   std::uint32_t depth = kPngDepthAuto, OriginsRequest* request = nullptr) {
    Origins1234 origins;
    ImageState state;
    if (Error error = ConvertPngToTim(state, png, sidecar, depth, request ? *request : origins)) {
        return msg::Text(error);
    }
    tim = WrittenImage(state, true);
    return {};
}

TimSpec CaseTim(std::uint32_t bpp, std::uint32_t width, std::uint16_t height, std::uint32_t sets) {
    TimSpec desc = PatternTim(bpp, width, height, sets, width * 7 + bpp + sets);
    desc.imageX = 320;
    desc.imageY = 256;
    desc.clutX = 16;
    desc.clutY = 480;
    // Transparent, opaque black and STP colours in every set and 16-bit image.
    for (std::size_t i = 0; i + 2 < desc.clut.size(); i += 16) {
        desc.clut[i] = 0x0000;
        desc.clut[i + 1] = 0x8000;
        desc.clut[i + 2] |= 0x8000;
    }
    if (bpp == 16) {
        for (std::size_t i = 0; i + 3 < desc.pixels.size(); i += 10) {
            desc.pixels[i] = desc.pixels[i + 1] = 0;
            desc.pixels[i + 2] = 0;
            desc.pixels[i + 3] = 0x80;
        }
    }
    return desc;
}

TEST(Png, RoundTripsEveryTimByteForByteThroughChunkOrSidecar) {
    struct Case {
        std::uint32_t bpp, width;
        std::uint16_t height;
        std::uint32_t sets, set;
    };
    const Case cases[] = {
        {4, 4, 3, 1, 0},  {4, 12, 5, 4, 3},   {4, 20, 2, 16, 9}, {8, 2, 3, 1, 0},
        {8, 6, 4, 3, 1},  {8, 10, 1, 16, 15}, {16, 1, 3, 0, 0},  {16, 5, 4, 0, 0},
        {24, 1, 2, 0, 0}, {24, 2, 3, 0, 0},   {24, 3, 2, 0, 0},  {24, 5, 3, 0, 0},
    };
    for (const Case& c : cases) {
        const Bytes tim = MakeTim(CaseTim(c.bpp, c.width, c.height, c.sets));
        const PngFile png = Export(tim, c.set);
        const Bytes stripped = WithoutChunk(png.png, kPngRecordChunk);
        ASSERT_NE(stripped, png.png);
        for (const auto& [pngBytes, sidecar] :
             {std::pair{png.png, Bytes()}, std::pair{stripped, png.sidecar},
              std::pair{png.png, png.sidecar}}) {
            Bytes back;
            Origins1234 never;
            EXPECT_EQ(Import(pngBytes, sidecar, back, kPngDepthAuto, &never), "");
            EXPECT_EQ(back, tim) << c.bpp << "-bit " << c.width << "x" << c.height << ", set "
                                 << c.set << " of " << c.sets
                                 << (sidecar.empty() ? "" : ", sidecar")
                                 << (pngBytes == stripped ? " alone" : "");
            EXPECT_EQ(never.Asked(), 0u);
        }
    }
}

TEST(Png, WritesIndexedPalettesWithTheAlphaRuleAndTheOtherDepthsAsColour) {
    struct Case {
        std::uint32_t bpp;
        std::uint8_t bitDepth, colourType;
    };
    for (const Case& c : {Case{4, 4, 3}, Case{8, 8, 3}, Case{16, 8, 6}, Case{24, 8, 2}}) {
        TimSpec desc = PatternTim(c.bpp, 8, 2, 2);
        if (c.bpp <= 8) {
            // Set 1: transparent, opaque black, STP red, plain white, then opaque.
            const std::size_t first = c.bpp == 4 ? 16 : 256;
            for (std::size_t i = first; i < desc.clut.size(); ++i) {
                desc.clut[i] = 0x0421;
            }
            desc.clut[first] = 0x0000;
            desc.clut[first + 1] = 0x8000;
            desc.clut[first + 2] = 0x801F;
            desc.clut[first + 3] = 0x7FFF;
        }
        const PngFile png = Export(MakeTim(desc), 1);
        EXPECT_EQ(png.png[24], c.bitDepth) << c.bpp;
        EXPECT_EQ(png.png[25], c.colourType) << c.bpp;
        if (c.bpp <= 8) {
            const Bytes plte = ChunkData(png.png, "PLTE");
            EXPECT_EQ(plte.size(), (c.bpp == 4 ? 16u : 256u) * 3);
            EXPECT_EQ(Bytes(plte.begin(), plte.begin() + 15),
                      (Bytes{0, 0, 0, 0, 0, 0, 248, 0, 0, 248, 248, 248, 8, 8, 8}));
            EXPECT_EQ(ChunkData(png.png, "tRNS"), (Bytes{0, 128, 128}));
        }
    }
}

std::vector<std::uint16_t> Samples(std::initializer_list<std::uint16_t> values) {
    return values;
}

// A PNG without a palette.
PngSpec Direct(int width, int height, int colourType, int bitDepth,
               std::vector<std::uint16_t> samples, bool interlaced = false) {
    return {width, height, colourType, bitDepth, interlaced, {}, {}, std::move(samples), {}};
}

// The TIM an imported PNG becomes: the image at 1,2 and a CLUT (if any) of
// one row at 3,4.
TimSpec Imported(std::uint8_t mode, std::uint16_t imageWidth, std::uint16_t height, Bytes pixels,
                 std::vector<std::uint16_t> clut = {}, std::uint16_t clutWidth = 16) {
    const bool hasClut = !clut.empty();
    return {.mode = mode,
            .clutX = static_cast<std::uint16_t>(hasClut ? 3 : 0),
            .clutY = static_cast<std::uint16_t>(hasClut ? 4 : 0),
            .clutWidth = static_cast<std::uint16_t>(hasClut ? clutWidth : 0),
            .clutHeight = static_cast<std::uint16_t>(hasClut ? 1 : 0),
            .clut = std::move(clut),
            .imageX = 1,
            .imageY = 2,
            .imageWidth = imageWidth,
            .imageHeight = height,
            .pixels = std::move(pixels)};
}

TEST(Png, ReadsPngsAsEditorsWriteThem) {
    Bytes gimpPalette(256 * 3, 0);
    for (std::size_t i = 0; i < gimpPalette.size(); ++i) {
        gimpPalette[i] = static_cast<std::uint8_t>(i * 5);
    }
    struct Case {
        const char* what;
        PngSpec png;
        TimSpec tim;
        std::uint32_t depth = kPngDepthAuto;
    };
    auto clut4 = [](std::vector<std::uint16_t> first) {
        first.resize(16, 0);
        return first;
    };
    std::vector<std::uint16_t> gimpClut(256);
    for (std::size_t i = 0; i < 256; ++i) {
        gimpClut[i] = RgbToPsx(gimpPalette[i * 3], gimpPalette[i * 3 + 1], gimpPalette[i * 3 + 2],
                               i == 1 || i == 2);
    }
    gimpClut[0] = 0;
    const Case cases[] = {
        {"GIMP: 256-entry palette for 16 colours, tRNS shorter than PLTE",
         {4, 2, 3, 8, false, gimpPalette, {0, 128, 1}, Samples({0, 1, 2, 15, 3, 4, 5, 6}), {}},
         Imported(9, 2, 2, {0, 1, 2, 15, 3, 4, 5, 6}, gimpClut, 256)},
        {"Aseprite: as many palette entries as colours, no tRNS",
         {4, 1, 3, 8, false, {0, 0, 0, 255, 0, 0, 0, 255, 0}, {}, Samples({2, 1, 0, 1}), {}},
         Imported(8, 1, 1, {0x12, 0x10}, clut4({0x0000, 0x001F, 0x03E0}))},
        {"4-bit indexed, interlaced",
         {4, 2, 3, 4, true, {8, 16, 24, 255, 255, 255}, {}, Samples({1, 0, 0, 1, 1, 1, 0, 0}), {}},
         Imported(8, 1, 2, {0x01, 0x10, 0x11, 0x00}, clut4({0x0C41, 0x7FFF}))},
        {"RGBA: alpha 0, 1, 128, 254, 255",
         Direct(5, 1, 6, 8,
                {9, 9, 9, 0, 8, 0, 0, 1, 0, 8, 0, 128, 0, 0, 8, 254, 248, 248, 248, 255}),
         Imported(2, 5, 1, {0, 0, 0x01, 0x80, 0x20, 0x80, 0x00, 0x84, 0xFF, 0x7F})},
        {"RGBA at 16 bits a channel",
         Direct(2, 1, 6, 16, {0x0800, 0x1000, 0x1800, 0xFFFF, 0, 0, 0, 0x8000}),
         Imported(2, 2, 1, {0x41, 0x0C, 0x00, 0x80})},
        {"grey, interlaced", Direct(3, 2, 0, 8, {0, 8, 255, 16, 24, 32}, true),
         Imported(2, 3, 2, {0, 0, 0x21, 0x04, 0xFF, 0x7F, 0x42, 0x08, 0x63, 0x0C, 0x84, 0x10})},
        {"RGB taken as 24-bit", Direct(1, 1, 2, 8, {1, 2, 3}), Imported(3, 2, 1, {1, 2, 3, 0}), 24},
    };
    for (const Case& c : cases) {
        Bytes back;
        EXPECT_EQ(Import(MakePng(c.png), {}, back, c.depth), "") << c.what;
        EXPECT_EQ(back, MakeTim(c.tim)) << c.what;
    }
}

TEST(Png, KeepsWhatAnEditorLeftAndTakesWhatItChanged) {
    for (const std::uint32_t bpp : {4u, 8u}) {
        TimSpec desc = CaseTim(bpp, 8, 3, 2);
        const PngFile png = Export(MakeTim(desc), 1);
        const std::size_t entries = bpp == 4 ? 16 : 256;
        Bytes plte = ChunkData(png.png, "PLTE");
        Bytes trns = ChunkData(png.png, "tRNS");
        trns.resize(entries, 255);
        PngSpec edited{8, 3, 3, static_cast<int>(bpp), false, plte, trns, {}, {}};
        for (std::uint32_t p = 0; p < 24; ++p) {
            const std::uint8_t byte = desc.pixels[p * bpp / 8];
            edited.samples.push_back(bpp == 8 ? byte : (p % 2 ? byte >> 4 : byte & 15));
        }
        // Three pixels get other indices...
        for (const std::uint32_t p : {0u, 9u, 23u}) {
            edited.samples[p] = static_cast<std::uint16_t>((edited.samples[p] + 5) % 16);
            if (bpp == 8) {
                desc.pixels[p] = static_cast<std::uint8_t>(edited.samples[p]);
            } else {
                std::uint8_t& byte = desc.pixels[p / 2];
                byte = static_cast<std::uint8_t>(p % 2 ? (byte & 0x0F) | (edited.samples[p] << 4)
                                                       : (byte & 0xF0) | edited.samples[p]);
            }
        }
        // ...entry 3 a new colour, entry 4 half alpha, entry 5 alpha 0, entry 6 opaque.
        std::uint16_t* set1 = desc.clut.data() + entries;
        edited.palette[9] = 8;
        edited.palette[10] = edited.palette[11] = 0;
        edited.trns[3] = 255;
        set1[3] = 0x0001;
        edited.trns[4] = 100;
        set1[4] |= 0x8000;
        edited.trns[5] = 0;
        set1[5] = 0;
        set1[6] = static_cast<std::uint16_t>(set1[6] | 0x8000);
        edited.trns[6] = 128;
        edited.chunks = {{kPngRecordChunk, ChunkData(png.png, kPngRecordChunk)}};
        Bytes back;
        EXPECT_EQ(Import(MakePng(edited), {}, back), "");
        EXPECT_EQ(back, MakeTim(desc)) << bpp;

        // An editor that drops the palette's alpha keeps every unchanged word.
        edited.trns.clear();
        EXPECT_EQ(Import(MakePng(edited), {}, back), "");
        ImageState got = LoadedTim(back);
        EXPECT_EQ(ReadU16LE(&got.clutData[(entries + 1) * 2]), 0x8000) << bpp;
        EXPECT_EQ(ReadU16LE(&got.clutData[(entries + 2) * 2]), set1[2]) << bpp;
    }
}

TEST(Png, TakesTheChunkOverTheSidecarAndEitherOnlyWhenItFitsThePixels) {
    const TimSpec a = CaseTim(8, 6, 2, 1);
    TimSpec b = a;
    b.imageX = 64;
    TimSpec other = CaseTim(8, 8, 2, 1);
    const PngFile pngA = Export(MakeTim(a), 0);
    const PngFile pngB = Export(MakeTim(b), 0);
    const PngFile pngOther = Export(MakeTim(other), 0);
    const Bytes strippedA = WithoutChunk(pngA.png, kPngRecordChunk);
    const Bytes none;
    struct Case {
        const Bytes& png;
        const Bytes& sidecar;
        std::uint16_t imageX;
        std::size_t asked;
    };
    const Case cases[] = {
        {pngA.png, pngB.sidecar, 320, 0},     // the chunk wins
        {strippedA, pngB.sidecar, 64, 0},     // the sidecar alone
        {strippedA, pngOther.sidecar, 1, 1},  // a sidecar of another size: asked
        {strippedA, none, 1, 1},              // nothing: asked
    };
    for (const Case& c : cases) {
        Origins1234 origins;
        ImageState state;
        ASSERT_EQ(ConvertPngToTim(state, c.png, c.sidecar, kPngDepthAuto, origins),
                  ErrorCode::None);
        EXPECT_EQ(state.imageOrgX, c.imageX);
        EXPECT_EQ(origins.Asked(), c.asked);
    }
}

TEST(Png, QuantisesTruecolourToTheDepthAsked) {
    // Components inside their 5-bit steps, whatever rounding the quantiser does.
    const std::uint16_t colours[3][4] = {{252, 3, 3, 255}, {3, 252, 3, 128}, {0, 0, 0, 0}};
    const std::array<std::uint16_t, 3> words = {0x001F, 0x83E0, 0x0000};
    PngSpec rgba{8, 2, 6, 8, false, {}, {}, {}, {}};
    for (int p = 0; p < 16; ++p) {
        for (const std::uint16_t v : colours[p % 3]) {
            rgba.samples.push_back(v);
        }
    }
    for (const std::uint32_t bpp : {4u, 8u}) {
        Origins1234 origins;
        ImageState state;
        ASSERT_EQ(ConvertPngToTim(state, MakePng(rgba), {}, bpp, origins), ErrorCode::None);
        ASSERT_EQ(state.bpp, bpp);
        for (std::uint32_t p = 0; p < 16; ++p) {
            const std::uint8_t byte = state.imageData[p * bpp / 8];
            const std::uint32_t index = bpp == 8 ? byte : (p % 2 ? byte >> 4 : byte & 15);
            const std::uint16_t word = ReadU16LE(&state.clutData[index * 2]);
            EXPECT_EQ(word, words[p % 3]) << bpp << " " << p;
        }
    }
}

TEST(Png, FailuresSayWhatIsWrong) {
    const PngFile four = Export(MakeTim(CaseTim(4, 4, 2, 1)), 0);
    PngSpec beyond{4, 2, 3, 8, false, Bytes(256 * 3), {}, Samples({1, 2, 3, 4, 5, 6, 17, 200}), {}};
    beyond.chunks = {{kPngRecordChunk, ChunkData(four.png, kPngRecordChunk)}};
    const Bytes valid = MakePng(beyond);
    struct Case {
        Bytes png;
        std::uint32_t depth;
        const char* text;
    };
    const Case cases[] = {
        {Bytes{'n', 'o', 't', ' ', 'a', ' ', 'P', 'N', 'G'}, 0,
         "Couldn't read the PNG: Not a PNG file"},
        {Bytes(valid.begin(), valid.end() - 30), 0,
         "Couldn't read the PNG: the file ends before the image does"},
        {valid, 0, "Pixel (2, 1) has colour index 17, beyond the 16 colours of a 4-bit CLUT."},
        {MakePng({3, 1, 3, 8, false, Bytes(256 * 3), {}, Samples({0, 16, 0}), {}}), 4,
         "Pixel (1, 0) has colour index 16, beyond the 16 colours of a 4-bit CLUT."},
    };
    for (const Case& c : cases) {
        Bytes tim;
        EXPECT_EQ(Import(c.png, {}, tim, c.depth), c.text);
    }
    TimSpec empty = CaseTim(16, 0, 2, 0);
    EXPECT_EQ(msg::Text(ConvertTimToPng(LoadedTim(MakeTim(empty)), 0).error()),
              "An image without pixels can't be written as a PNG.");
}

}  // namespace
}  // namespace pixalto::testing
