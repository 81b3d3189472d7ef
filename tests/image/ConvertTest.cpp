#include <gtest/gtest.h>

#include <array>

#include "image/Image.h"
#include "support/BmpBuilder.h"
#include "support/ImageFiles.h"
#include "support/TempDir.h"
#include "support/TimBuilder.h"

namespace pixalto::testing {
namespace {

ImageState ToBmp(const TimSpec& desc, std::uint32_t set = 0) {
    ImageState state = LoadedTim(MakeTim(desc));
    EXPECT_EQ(ConvertTimToBmp(state, set), ErrorCode::None);
    return state;
}

// Loads face.bmp (with face.tmext when given) and converts it to TIM.
Error BmpToTim(const std::vector<std::uint8_t>& bmp,
               const std::optional<std::vector<std::uint8_t>>& sidecar, ImageState& state,
               OriginsRequest& request) {
    if (Error error = LoadImageBytes(bmp, state, false, sidecar)) {
        return error;
    }
    return ConvertBmpToTim(state, request);
}

// The TIM that a round trip through BMP gives back: the palette set loses
// its STP bits, nothing else changes.
std::vector<std::uint8_t> WithoutPaletteStp(TimSpec desc, std::uint32_t set) {
    const std::size_t entries = desc.mode == 8 ? 16 : 256;
    for (std::size_t i = set * entries; i < (set + 1) * entries && i < desc.clut.size(); ++i) {
        desc.clut[i] &= 0x7FFF;
    }
    return MakeTim(desc);
}

struct RoundTrip {
    std::uint32_t bpp, width;
    std::uint16_t height;
    std::uint32_t sets, set;
};

// Widths whose BMP rows need padding and widths whose rows don't; 24-bit
// rows of odd width end in a spare byte.
const RoundTrip kRoundTrips[] = {
    {4, 4, 3, 1, 0},  {4, 8, 2, 3, 1},  {4, 20, 5, 3, 2}, {4, 64, 32, 2, 0}, {8, 6, 3, 1, 0},
    {8, 8, 2, 3, 0},  {8, 2, 4, 3, 2},  {8, 10, 1, 2, 1}, {16, 3, 3, 0, 0},  {16, 4, 2, 0, 0},
    {16, 1, 5, 0, 0}, {24, 2, 3, 0, 0}, {24, 4, 2, 0, 0}, {24, 6, 3, 0, 0},  {24, 1, 2, 0, 0},
    {24, 3, 3, 0, 0}, {24, 5, 2, 0, 0},
};

// A pattern TIM for a round trip. The spare byte that ends each row of an
// odd 24-bit width is zero, as a BMP has no place for it.
TimSpec RoundTripTim(const RoundTrip& c, std::uint32_t seed) {
    TimSpec desc = PatternTim(c.bpp, c.width, c.height, c.sets, seed);
    const std::size_t row = std::size_t{desc.imageWidth} * 2;
    if (c.bpp == 24 && row > 3 * std::size_t{c.width}) {
        for (std::size_t end = row; end <= desc.pixels.size(); end += row) {
            desc.pixels[end - 1] = 0;
        }
    }
    return desc;
}

TEST(Convert, RoundTripsEveryDepthThroughFilesLosingOnlyThePaletteSetStp) {
    for (const auto& c : kRoundTrips) {
        TimSpec desc = RoundTripTim(c, c.width + c.bpp);
        desc.imageX = 320;
        desc.imageY = 256;
        desc.clutX = 16;
        desc.clutY = 480;
        for (std::size_t i = 0; i < desc.clut.size(); i += 3) {
            desc.clut[i] |= 0x8000;  // STP bits in every set
        }
        TempDir dir;
        ImageState tim = LoadedTim(MakeTim(desc));
        ASSERT_EQ(ConvertTimToBmp(tim, c.set), ErrorCode::None);
        ASSERT_EQ(WriteImageFile(tim, dir.File("face.bmp"), false), ErrorCode::None);

        ImageState back;
        File file;
        ASSERT_TRUE(file.Open(dir.File("face.bmp"), File::Mode::Read));
        ASSERT_EQ(LoadImage(back, file, false), ErrorCode::None);
        ScriptedOrigins never;
        ASSERT_EQ(ConvertBmpToTim(back, never), ErrorCode::None);
        EXPECT_TRUE(never.hasClutSeen.empty()) << "the sidecar answers for the origins";
        ASSERT_EQ(WriteImageFile(back, dir.File("face.tim"), true), ErrorCode::None);
        EXPECT_EQ(ReadAll(dir.File("face.tim")), WithoutPaletteStp(desc, c.set))
            << c.bpp << "-bit, " << c.width << " x " << c.height << ", set " << c.set << " of "
            << c.sets;
        EXPECT_EQ(back.pixelWidth, tim.pixelWidth);
    }
}

// A bitmap decoder written from the file format's rules alone, independent of
// the program's code: what any other program sees in a BMP we wrote.
struct StandardBmp {
    int width = 0, height = 0;
    std::vector<std::array<std::uint8_t, 3>> rgb;  // top row first
};

StandardBmp DecodeStandardBmp(const std::vector<std::uint8_t>& f) {
    auto u16 = [&](std::size_t at) {
        return static_cast<std::uint32_t>(f.at(at) | (f.at(at + 1) << 8));
    };
    auto u32 = [&](std::size_t at) { return u16(at) | (u16(at + 2) << 16); };
    EXPECT_EQ(u16(0), 0x4D42u);
    EXPECT_EQ(u32(2), f.size()) << "bfSize is the file's size";
    const std::uint32_t offBits = u32(10), infoSize = u32(14), bits = u16(28);
    EXPECT_EQ(u16(26), 1u) << "one plane";
    EXPECT_EQ(u32(30), 0u) << "BI_RGB";
    StandardBmp out;
    out.width = static_cast<int>(u32(18));
    out.height = static_cast<int>(u32(22));
    const std::uint32_t colours = u32(46) != 0 ? u32(46) : (bits <= 8 ? 1u << bits : 0u);
    EXPECT_EQ(offBits, 14 + infoSize + 4 * colours) << "pixels follow the palette";
    const std::size_t stride = (static_cast<std::size_t>(out.width) * bits + 31) / 32 * 4;
    EXPECT_EQ(f.size(), offBits + stride * out.height);
    if (f.size() < offBits + stride * out.height) {
        return {};
    }
    for (int y = 0; y < out.height; ++y) {
        const std::size_t row = offBits + stride * (out.height - 1 - y);
        for (int x = 0; x < out.width; ++x) {
            std::uint32_t index = 0;
            switch (bits) {
                case 4:
                    index = (f[row + x / 2] >> (x % 2 == 0 ? 4 : 0)) & 15;
                    break;
                case 8:
                    index = f[row + x];
                    break;
                case 16: {
                    const std::uint32_t w = u16(row + 2 * x);
                    out.rgb.push_back({static_cast<std::uint8_t>(((w >> 10) & 31) << 3),
                                       static_cast<std::uint8_t>(((w >> 5) & 31) << 3),
                                       static_cast<std::uint8_t>((w & 31) << 3)});
                    continue;
                }
                default:
                    out.rgb.push_back({f[row + 3 * x + 2], f[row + 3 * x + 1], f[row + 3 * x]});
                    continue;
            }
            const std::size_t entry = 14 + infoSize + 4 * index;
            out.rgb.push_back({f[entry + 2], f[entry + 1], f[entry]});
        }
    }
    return out;
}

// The colour of a TIM pixel at 5 bits a channel shifted up (8 bits for 24-bit).
std::array<std::uint8_t, 3> TimColour(const TimSpec& desc, std::uint32_t bpp, std::uint32_t set,
                                      int x, int y) {
    const std::size_t row = static_cast<std::size_t>(y) * desc.imageWidth * 2;
    auto word = [](std::uint16_t v) {
        return std::array<std::uint8_t, 3>{static_cast<std::uint8_t>((v & 31) << 3),
                                           static_cast<std::uint8_t>(((v >> 5) & 31) << 3),
                                           static_cast<std::uint8_t>(((v >> 10) & 31) << 3)};
    };
    switch (bpp) {
        case 4:
            return word(
                desc.clut[set * 16 + ((desc.pixels[row + x / 2] >> (x % 2 == 0 ? 0 : 4)) & 15)]);
        case 8:
            return word(desc.clut[set * 256 + desc.pixels[row + x]]);
        case 16:
            return word(static_cast<std::uint16_t>(desc.pixels[row + 2 * x] |
                                                   (desc.pixels[row + 2 * x + 1] << 8)));
        default:
            return {desc.pixels[row + 3 * x], desc.pixels[row + 3 * x + 1],
                    desc.pixels[row + 3 * x + 2]};
    }
}

TEST(Convert, WrittenBmpsFollowTheStandardLayoutWithPaddedRows) {
    for (const auto& c : kRoundTrips) {
        TimSpec desc = RoundTripTim(c, c.width * 7 + c.bpp);
        ImageState state = ToBmp(desc, c.set);
        const StandardBmp bmp = DecodeStandardBmp(WrittenImage(state, false));
        ASSERT_EQ(bmp.width, static_cast<int>(c.width));
        ASSERT_EQ(bmp.height, c.height);
        ASSERT_EQ(bmp.rgb.size(), std::size_t{c.width} * c.height);
        for (int y = 0; y < bmp.height; ++y) {
            for (int x = 0; x < bmp.width; ++x) {
                EXPECT_EQ(bmp.rgb[y * bmp.width + x], TimColour(desc, c.bpp, c.set, x, y))
                    << c.bpp << "-bit " << c.width << " wide, pixel " << x << "," << y;
            }
        }
    }
}

TEST(Convert, SpecificBmpHeaderValues) {
    // 64 x 32 4-bit, one set: 16 palette entries, 32-byte rows.
    ImageState state = ToBmp(PatternTim(4, 64, 32));
    EXPECT_EQ(state.bmpFileHeader.bfOffBits, 118u);
    EXPECT_EQ(state.bmpFileHeader.bfSize, 1142u);
    EXPECT_EQ(state.bmpRowSize, 32u);
    EXPECT_EQ(state.sidecarSize, 12u);
    EXPECT_EQ(state.bmpInfoHeader.biSize, 40u);
    EXPECT_EQ(state.bmpInfoHeader.biPlanes, 1);
    EXPECT_EQ(state.bmpInfoHeader.biBitCount, 4);

    // 20 pixels at 4 bits: 10 bytes of pixels padded to 12, the rest zero.
    state = ToBmp(PatternTim(4, 20, 2));
    EXPECT_EQ(state.bmpRowSize, 12u);
    EXPECT_EQ(state.bmpPixelSize, 24u);
    for (int row = 0; row < 2; ++row) {
        EXPECT_EQ(state.bmpPixels[row * 12 + 10], 0);
        EXPECT_EQ(state.bmpPixels[row * 12 + 11], 0);
    }
    // 6 pixels at 8 bits: rows padded from 6 to 8 bytes.
    state = ToBmp(PatternTim(8, 6, 3));
    EXPECT_EQ(state.bmpPixelSize, 24u);
    EXPECT_EQ(state.bmpFileHeader.bfSize, 54u + 1024 + 24);
}

TEST(Convert, PixelTransformsAndRowMirroring) {
    struct Case {
        const char* name;
        std::uint32_t bpp;
        std::uint16_t imageWidth;
        std::vector<std::uint8_t> tim;  // two rows, top first
        std::vector<std::uint8_t> bmp;  // two padded rows, bottom first
    };
    const Case cases[] = {
        Case("4-bit nibbles swap", 4, 1, {0x21, 0x43, 0xA5, 0xCB},
             {0x5A, 0xBC, 0, 0, 0x12, 0x34, 0, 0}),
        Case("8-bit bytes copy", 8, 1, {1, 2, 3, 4}, {3, 4, 0, 0, 1, 2, 0, 0}),
        Case("16-bit red and blue swap, STP kept", 16, 1, {0x1F, 0x80, 0xE0, 0x03},
             {0xE0, 0x03, 0, 0, 0x00, 0xFC, 0, 0}),
        Case("16-bit blue and green", 16, 1, {0x00, 0x7C, 0xFF, 0x7F},
             {0xFF, 0x7F, 0, 0, 0x1F, 0x00, 0, 0}),
        Case("24-bit RGB to BGR", 24, 3, {0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 1, 2, 3, 4, 5, 6},
             {3, 2, 1, 6, 5, 4, 0, 0, 0x30, 0x20, 0x10, 0x60, 0x50, 0x40, 0, 0}),
    };
    for (const auto& c : cases) {
        TimSpec desc = PatternTim(c.bpp, 1, 2);
        desc.imageWidth = c.imageWidth;
        desc.pixels = c.tim;
        ImageState state = ToBmp(desc);
        EXPECT_EQ(state.bmpPixels, c.bmp) << c.name;
        // A record reused from an image before, as a folder conversion
        // reuses it: the old bytes in its buffers' memory show nowhere.
        state.bmpPixels.assign(64, 0xEE);
        ASSERT_EQ(ConvertTimToBmp(state, 0), ErrorCode::None) << c.name;
        EXPECT_EQ(state.bmpPixels, c.bmp) << c.name << " in a reused record";

        ScriptedOrigins origins;
        state.imageData.assign(64, 0xEE);
        state.EmptyTimSide();
        ASSERT_EQ(ConvertBmpToTim(state, origins), ErrorCode::None) << c.name;
        EXPECT_EQ(std::vector<std::uint8_t>(state.imageData.begin(),
                                            state.imageData.begin() + state.imageDataSize),
                  c.tim)
            << c.name << " comes back";
    }
}

TEST(Convert, PaletteTakesFiveBitChannelsTimesEightAndComesBackWithoutStp) {
    TimSpec desc = PatternTim(4, 4, 1, 2);
    const std::uint16_t colours[] = {0x8000, 0x7FFF, 0x001F, 0x03E0, 0x7C00, 0x8421};
    const std::array<std::uint8_t, 4> palette[] = {{0, 0, 0, 0},   {248, 248, 248, 0},
                                                   {0, 0, 248, 0}, {0, 248, 0, 0},
                                                   {248, 0, 0, 0}, {8, 8, 8, 0}};
    const std::uint16_t back[] = {0x0000, 0x7FFF, 0x001F, 0x03E0, 0x7C00, 0x0421};
    for (std::size_t i = 0; i < std::size(colours); ++i) {
        desc.clut[16 + i] = colours[i];  // set 1 becomes the palette
        desc.clut[i] = colours[i];       // set 0 keeps its STP bits
    }
    ImageState state = ToBmp(desc, 1);
    ScriptedOrigins origins;
    ASSERT_EQ(ConvertBmpToTim(state, origins), ErrorCode::None);
    for (std::size_t i = 0; i < std::size(colours); ++i) {
        EXPECT_TRUE(
            std::equal(palette[i].begin(), palette[i].end(), state.bmpPalette.begin() + 4 * i))
            << i;
        EXPECT_EQ(ReadU16LE(&state.clutData[2 * (16 + i)]), back[i]) << i;
        EXPECT_EQ(ReadU16LE(&state.clutData[2 * i]), colours[i])
            << "other sets keep STP, entry " << i;
    }
}

TEST(Convert, SidecarCarriesOriginsAndEveryOtherSetInOrder) {
    const struct {
        std::uint32_t bpp, sets, set;
    } cases[] = {{4, 1, 0}, {8, 1, 0}, {4, 3, 0}, {4, 3, 1}, {4, 3, 2}, {8, 3, 1}, {8, 4, 3}};
    for (const auto& c : cases) {
        TimSpec desc = PatternTim(c.bpp, 8, 2, c.sets, c.sets * 10 + c.set);
        desc.imageX = 0x1234;
        desc.imageY = 0x0056;
        desc.clutX = 0x0700;
        desc.clutY = 0x0089;
        ImageState state = ToBmp(desc, c.set);
        SidecarSpec expected{0x1234, 0x56, true, 0x700, 0x89, 1, 0, {}};
        expected.sets = static_cast<std::uint16_t>(c.sets);
        expected.paletteSet = static_cast<std::uint16_t>(c.set);
        const std::size_t entries = c.bpp == 4 ? 16 : 256;
        for (std::size_t i = 0; i < desc.clut.size(); ++i) {
            if (i / entries != c.set) {
                expected.storedEntries.push_back(desc.clut[i]);
            }
        }
        EXPECT_EQ(state.sidecarData, MakeSidecar(expected))
            << c.bpp << "-bit set " << c.set << " of " << c.sets;
        EXPECT_EQ(state.sidecarSize, c.sets == 1 ? 12u : 14u + (c.sets - 1) * entries * 2);
    }
    for (std::uint32_t bpp : {16u, 24u}) {
        TimSpec desc = PatternTim(bpp, 2, 2);
        desc.imageX = 3;
        desc.imageY = 0x102;
        EXPECT_EQ(ToBmp(desc).sidecarData, (std::vector<std::uint8_t>{'P', 'X', 3, 0, 2, 1}));
    }
}

TEST(Convert, ClutsWithoutTheSetsTheyClaimReadNothingOutside) {
    // One real set, palette set 2: sets 1 and 2 don't exist and are colour 0.
    TimSpec desc = PatternTim(4, 4, 1, 1);
    desc.clut[0] = 0x7FFF;
    ImageState state = ToBmp(desc, 2);
    EXPECT_EQ(ReadU16LE(&state.sidecarData[10]), 3) << "enough sets to reach the palette set";
    EXPECT_EQ(ReadU16LE(&state.sidecarData[12]), 2);
    EXPECT_EQ(ReadU16LE(&state.sidecarData[14]), 0x7FFF) << "set 0 stored first";
    EXPECT_TRUE(std::all_of(state.sidecarData.begin() + 14 + 32, state.sidecarData.end(),
                            [](auto b) { return b == 0; }));
    EXPECT_TRUE(std::all_of(state.bmpPalette.begin(), state.bmpPalette.end(),
                            [](auto b) { return b == 0; }));

    // clutHeight 0 and a CLUT of three entries: one set is carried, and the
    // entries beyond the third are colour 0.
    desc = PatternTim(8, 2, 1, 1);
    desc.clutHeight = 0;
    desc.clut.resize(3);
    desc.clut[2] = 0x7FFF;
    state = ToBmp(desc, 0);
    EXPECT_EQ(state.sidecarSize, 12u);
    EXPECT_EQ(ReadU16LE(&state.sidecarData[10]), 1);
    EXPECT_EQ(state.bmpPalette[4 * 2], 248);
    EXPECT_TRUE(std::all_of(state.bmpPalette.begin() + 4 * 3, state.bmpPalette.end(),
                            [](auto b) { return b == 0; }));

    // A 4-bit CLUT 256 entries wide and one row high holds 16 sets: all are kept.
    desc = PatternTim(4, 4, 1, 16);
    desc.clutWidth = 256;
    desc.clutHeight = 1;
    state = ToBmp(desc, 5);
    EXPECT_EQ(ReadU16LE(&state.sidecarData[10]), 16);
    ScriptedOrigins origins;
    ASSERT_EQ(ConvertBmpToTim(state, origins), ErrorCode::None);
    EXPECT_EQ(state.clutDataSize, 512u);
    for (std::size_t i = 0; i < 256; ++i) {
        const std::uint16_t want = i / 16 == 5 ? desc.clut[i] & 0x7FFF : desc.clut[i];
        ASSERT_EQ(ReadU16LE(&state.clutData[2 * i]), want) << i;
    }
}

TEST(Convert, SidecarsThatAreNotUsableAskForTheOrigins) {
    auto eightBit = [](std::uint16_t sets, std::uint16_t paletteSet, std::size_t storedSets) {
        return MakeSidecar({5, 6, true, 7, 8, sets, paletteSet,
                            std::vector<std::uint16_t>(storedSets * 256, 0x1111)});
    };
    auto cut = [](std::vector<std::uint8_t> bytes, std::size_t drop) {
        bytes.resize(bytes.size() - drop);
        return bytes;
    };
    const struct {
        const char* name;
        std::uint16_t bits;
        std::optional<std::vector<std::uint8_t>> sidecar;
        bool usable;
    } cases[] = {
        {"8-bit, one set", 8, eightBit(1, 0, 0), true},
        {"8-bit, three sets", 8, eightBit(3, 2, 2), true},
        {"extra bytes are ignored", 8, std::vector<std::uint8_t>(eightBit(1, 0, 1)), true},
        {"no sidecar", 8, std::nullopt, false},
        {"empty sidecar", 8, std::vector<std::uint8_t>{}, false},
        {"other magic", 8, std::vector<std::uint8_t>{'P', 'Y', 5, 0, 6, 0, 7, 0, 8, 0, 1, 0},
         false},
        {"no room for N", 8, cut(eightBit(1, 0, 0), 1), false},
        {"N of 0", 8, eightBit(0, 0, 0), false},
        {"palette set index is N", 8, eightBit(3, 3, 2), false},
        {"last stored byte missing", 8, cut(eightBit(3, 0, 2), 1), false},
        {"4-bit sets are shorter", 4,
         MakeSidecar({5, 6, true, 7, 8, 2, 1, std::vector<std::uint16_t>(16, 1)}), true},
        {"16-bit, six bytes", 16, MakeSidecar({5, 6, false, 0, 0, 1, 0, {}}), true},
        {"16-bit, five bytes", 16, cut(MakeSidecar({5, 6, false, 0, 0, 1, 0, {}}), 1), false},
        {"24-bit with a CLUT part", 24, eightBit(1, 0, 0), true},
    };
    for (const auto& c : cases) {
        ImageState state;
        ScriptedOrigins origins({Origins{70000, 9, 10, 11}});
        ASSERT_EQ(BmpToTim(MakeBmp(PatternBmp(c.bits, 4, 2)), c.sidecar, state, origins),
                  ErrorCode::None)
            << c.name;
        const bool hasClut = c.bits <= 8;
        if (c.usable) {
            EXPECT_TRUE(origins.hasClutSeen.empty()) << c.name;
            EXPECT_EQ(state.imageOrgX, 5) << c.name;
            EXPECT_EQ(state.imageOrgY, 6) << c.name;
            EXPECT_EQ(state.clutOrgX, hasClut ? 7 : 0) << c.name;
        } else {
            EXPECT_EQ(origins.hasClutSeen, std::vector<bool>{hasClut}) << c.name;
            EXPECT_EQ(state.imageOrgX, 4464) << c.name << ": the low 16 bits of 70000";
            EXPECT_EQ(state.imageOrgY, 9) << c.name;
            EXPECT_EQ(state.clutOrgX, hasClut ? 10 : 0) << c.name;
            EXPECT_EQ(state.clutOrgY, hasClut ? 11 : 0) << c.name;
            EXPECT_EQ(state.clutHeight, hasClut ? 1 : 0) << c.name;
            EXPECT_EQ(state.clutDataSize, hasClut ? (c.bits == 4 ? 32u : 512u) : 0u) << c.name;
        }
    }
}

TEST(Convert, ClosingTheOriginsRequestWithoutAnAnswerAsksAgain) {
    ImageState state;
    ScriptedOrigins origins({std::nullopt, std::nullopt, Origins{3, 4, 5, 6}});
    ASSERT_EQ(BmpToTim(MakeBmp(PatternBmp(8, 2, 2)), std::nullopt, state, origins),
              ErrorCode::None);
    EXPECT_EQ(origins.hasClutSeen.size(), 3u);
    EXPECT_EQ(state.imageOrgX, 3);
    EXPECT_EQ(state.clutOrgY, 6);
}

// The info header's bytes after its first 40 as image editors write them:
// the red, green and blue masks (52 bytes), the alpha mask (56), the colour
// space type, its endpoints and gammas (108), then the rendering intent, the
// profile's offset from the header's start and its size, and a reserved word
// (124).
std::vector<std::uint8_t> EditorInfoTail(std::uint32_t biSize, std::uint32_t profileOffset,
                                         std::uint32_t profileSize) {
    std::vector<std::uint8_t> tail(biSize - 40, 0);
    const std::uint32_t words[] = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000,
                                   profileSize != 0 ? 0x4D424544u : 0x73524742u};  // MBED, sRGB
    for (std::size_t i = 0; i < std::size(words) && 4 * i < tail.size(); ++i) {
        WriteU32LE(tail.data() + 4 * i, words[i]);
    }
    if (biSize == 124) {
        WriteU32LE(tail.data() + 68, 4);  // LCS_GM_IMAGES
        WriteU32LE(tail.data() + 72, profileOffset);
        WriteU32LE(tail.data() + 76, profileSize);
    }
    return tail;
}

// A BMP written by this program, saved again by an image editor with a
// longer info header (and, for one, an ICC profile after the pixels), comes
// back as the TIM it came from.
TEST(Convert, BmpsWithTheLongerInfoHeadersOfImageEditorsConvertBack) {
    const RoundTrip images[] = {{4, 12, 3, 2, 1}, {8, 6, 2, 1, 0}, {24, 5, 2, 0, 0}};
    const struct {
        std::uint32_t biSize;
        std::uint32_t profileSize;
    } headers[] = {{52, 0}, {56, 0}, {108, 0}, {124, 0}, {124, 48}};
    for (const auto& image : images) {
        const TimSpec desc = RoundTripTim(image, image.bpp);
        const ImageState ours = ToBmp(desc, image.set);
        for (const auto& header : headers) {
            BmpSpec edited;
            edited.biSize = header.biSize;
            edited.width = ours.bmpInfoHeader.biWidth;
            edited.height = ours.bmpInfoHeader.biHeight;
            edited.bitCount = static_cast<std::uint16_t>(image.bpp);
            edited.palette = ours.bmpPalette;
            edited.pixels.assign(ours.bmpPixels.begin(), ours.bmpPixels.end());
            edited.trailer.assign(header.profileSize, 0x5A);
            const auto profileOffset = static_cast<std::uint32_t>(
                header.biSize + edited.palette.size() + edited.pixels.size());
            edited.infoTail = EditorInfoTail(header.biSize, profileOffset, header.profileSize);
            std::vector<std::uint8_t> file = MakeBmp(edited);
            WriteU32LE(file.data() + 34, static_cast<std::uint32_t>(edited.pixels.size()));
            WriteU32LE(file.data() + 38, 2835);  // 72 dpi
            WriteU32LE(file.data() + 42, 2835);
            WriteU32LE(file.data() + 46, ours.bmpPaletteCount);  // colours used

            ImageState back;
            ScriptedOrigins never;
            ASSERT_EQ(BmpToTim(file, ours.sidecarData, back, never), ErrorCode::None)
                << image.bpp << "-bit, " << header.biSize;
            EXPECT_EQ(WrittenImage(back, true), WithoutPaletteStp(desc, image.set))
                << image.bpp << "-bit, info header of " << header.biSize << " bytes"
                << (header.profileSize != 0 ? " and a profile" : "");
        }
    }
}

TEST(Convert, BmpToTimFailuresInOrder) {
    using enum ErrorCode;
    const struct {
        const char* name;
        std::uint32_t biSize;
        std::uint16_t bits;
        std::int32_t width, height;
        ErrorCode message;
        std::vector<bool> asked;
    } cases[] = {
        {"biSize 12", 12, 8, 2, 2, BadBiSize, {}},
        {"biSize 64", 64, 8, 2, 2, BadBiSize, {}},
        {"biSize 125 on a 1-bit image", 125, 1, 8, 2, BadBiSize, {}},
        {"1-bit asks with CLUT fields first", 40, 1, 8, 2, BppNotSupported, {true}},
        {"32-bit asks without them", 40, 32, 2, 2, BppNotSupported, {false}},
        {"width beyond 16-bit units", 40, 16, 70000, 1, TooLargeForTim, {false}},
        {"height beyond 16 bits", 40, 8, 0, 70000, TooLargeForTim, {true}},
    };
    for (const auto& c : cases) {
        BmpSpec desc = PatternBmp(c.bits, c.width, c.height);
        desc.biSize = c.biSize;
        // The size test takes W bytes a row for depths it doesn't know.
        desc.pixels.resize(
            std::max<std::size_t>(desc.pixels.size(), std::size_t(c.width) * c.height));
        ImageState state;
        state.imageOrgX = 99;  // a failed conversion leaves the TIM side alone
        ScriptedOrigins origins;
        EXPECT_EQ(BmpToTim(MakeBmp(desc), std::nullopt, state, origins), c.message) << c.name;
        EXPECT_EQ(origins.hasClutSeen, c.asked) << c.name;
        EXPECT_EQ(state.imageOrgX, 99) << c.name;
        EXPECT_FALSE(state.IsLoaded()) << c.name;
    }
}

TEST(Convert, RefusesImagesOfAGigabyteOrMoreWithoutAllocating) {
    ImageState bmp;
    bmp.bmpInfoHeader.biSize = 40;
    bmp.bmpInfoHeader.biWidth = 65535;
    bmp.bmpInfoHeader.biHeight = 65535;
    bmp.bpp = 16;
    bmp.sidecarData = MakeSidecar({0, 0, false, 0, 0, 1, 0, {}});
    bmp.sidecarSize = 6;
    ScriptedOrigins origins;
    EXPECT_EQ(ConvertBmpToTim(bmp, origins), ErrorCode::ImageBeyond1Gig);

    // A TIM whose header promises far more rows than its block holds.
    TimSpec desc = PatternTim(16, 4, 1);
    desc.imageWidth = 65535;
    desc.imageHeight = 65535;
    ImageState tim = LoadedTim(MakeTim(desc));
    EXPECT_EQ(ConvertTimToBmp(tim, 0), ErrorCode::ImageBeyond1Gig);
    EXPECT_TRUE(tim.bmpPixels.empty());
}

TEST(Convert, WidthsThatDontFillWholeTimUnitsGiveConsistentTims) {
    const struct {
        std::uint16_t bits;
        std::int32_t width;
        std::uint16_t imageWidth;
        std::uint32_t pixelWidth;
    } cases[] = {{4, 6, 1, 4},  {4, 9, 2, 8},  // 9 px: 4.5 bytes, rows padded to 8
                 {8, 5, 2, 4},  {16, 3, 3, 3}, {24, 5, 8, 5},
                 {24, 1, 2, 1}, {24, 3, 5, 3}};  // 3 px: 9 bytes in 10
    for (const auto& c : cases) {
        BmpSpec desc = PatternBmp(c.bits, c.width, 3);
        ImageState state;
        ScriptedOrigins origins;
        ASSERT_EQ(BmpToTim(MakeBmp(desc), std::nullopt, state, origins), ErrorCode::None);
        EXPECT_EQ(state.imageWidth, c.imageWidth) << c.bits << "-bit " << c.width;
        EXPECT_EQ(state.pixelWidth, c.pixelWidth) << c.bits << "-bit " << c.width;
        EXPECT_EQ(state.imageDataSize, c.imageWidth * 2u * 3u) << c.bits << "-bit " << c.width;
        EXPECT_EQ(state.imageBlockLength, state.imageDataSize + 12);
        // TIM row r holds BMP row r from the top (stored bottom row first),
        // byte for byte converted; a 24-bit row of odd width ends in a zero.
        const std::size_t stride = (static_cast<std::size_t>(c.width) * c.bits + 31) / 32 * 4;
        const std::size_t row = c.imageWidth * 2u;
        for (std::size_t r = 0; r < 3 && c.bits != 16; ++r) {
            const auto* tim = state.imageData.data() + r * row;
            const auto* bmp = desc.pixels.data() + (2 - r) * stride;
            for (std::size_t i = 0; i < row; ++i) {
                const std::uint8_t want = c.bits == 4
                                              ? static_cast<std::uint8_t>(bmp[i] << 4 | bmp[i] >> 4)
                                          : c.bits == 8      ? bmp[i]
                                          : i < 3u * c.width ? bmp[i - i % 3 + 2 - i % 3]
                                                             : 0;
                ASSERT_EQ(tim[i], want) << c.bits << "-bit " << c.width << " row " << r;
            }
        }
    }
}

// A 24-bit TIM row that ends in part of a pixel (2 x units not a multiple of
// 3, and more than the one spare byte of an odd width) has no place in a BMP:
// the part is lost, and the TIM comes back with the units its pixels need.
TEST(Convert, TwentyFourBitRowsEndingInPartOfAPixelLoseThatPart) {
    const struct {
        std::uint16_t imageWidth, imageWidthBack;
        std::uint32_t pixelWidth;
    } cases[] = {{1, 0, 0}, {4, 3, 2}, {7, 6, 4}};
    for (const auto& c : cases) {
        TimSpec desc = PatternTim(24, 2, 2, 0, c.imageWidth);
        desc.imageWidth = c.imageWidth;
        desc.pixels.resize(c.imageWidth * 2u * 2u, 0xA5);
        ImageState state = ToBmp(desc);
        EXPECT_EQ(state.bmpInfoHeader.biWidth, static_cast<std::int32_t>(c.pixelWidth));
        ScriptedOrigins origins;
        ASSERT_EQ(ConvertBmpToTim(state, origins), ErrorCode::None) << c.imageWidth;
        EXPECT_EQ(state.imageWidth, c.imageWidthBack) << c.imageWidth;
        EXPECT_EQ(state.pixelWidth, c.pixelWidth) << c.imageWidth;
        for (std::size_t r = 0; r < 2; ++r) {
            EXPECT_TRUE(std::equal(state.imageData.begin() + r * c.imageWidthBack * 2,
                                   state.imageData.begin() + (r + 1) * c.imageWidthBack * 2,
                                   desc.pixels.begin() + r * c.imageWidth * 2))
                << c.imageWidth << " row " << r;
        }
    }
}

TEST(Convert, OlderBmpsWithUnpaddedRowsConvertBack) {
    for (const auto& c : kRoundTrips) {
        TimSpec desc = RoundTripTim(c, c.bpp * 3 + c.width);
        ImageState state = ToBmp(desc, c.set);
        // Re-store the rows as the older layout did: no padding.
        const std::size_t data = (std::size_t{c.width} * c.bpp + 7) / 8;
        const std::size_t legacyRow = c.bpp == 4 ? (c.width + c.width % 8) / 2 : data;
        BmpSpec legacy;
        legacy.bitCount = static_cast<std::uint16_t>(c.bpp);
        legacy.width = static_cast<std::int32_t>(c.width);
        legacy.height = c.height;
        legacy.palette = state.bmpPalette;
        for (std::uint32_t row = 0; row < c.height; ++row) {
            auto from = state.bmpPixels.begin() + row * state.bmpRowSize;
            legacy.pixels.insert(legacy.pixels.end(), from, from + data);
            legacy.pixels.resize(legacy.pixels.size() + legacyRow - data, 0);
        }
        ImageState back;
        ScriptedOrigins never;
        ASSERT_EQ(BmpToTim(MakeBmp(legacy), state.sidecarData, back, never), ErrorCode::None);
        EXPECT_EQ(back.bmpRowSize, legacyRow);
        EXPECT_EQ(WrittenImage(back, true), WithoutPaletteStp(desc, c.set))
            << c.bpp << "-bit " << c.width << " x " << c.height;
    }
}

}  // namespace
}  // namespace pixalto::testing
