#include <gtest/gtest.h>

#include "image/Image.h"
#include "support/ImageFiles.h"
#include "support/TempDir.h"
#include "support/TimBuilder.h"

namespace pixalto::testing {
namespace {

// Loads bytes as a file, with the TIM starting at offset.
Error LoadBytes(const std::vector<std::uint8_t>& bytes, ImageState& state,
                std::int64_t offset = 0) {
    return LoadImageBytes(bytes, state, true, std::nullopt, offset);
}

TimSpec Small16Bit() {
    return {
        .mode = 2, .imageWidth = 2, .imageHeight = 2, .pixels = std::vector<std::uint8_t>(8, 0x11)};
}

TimSpec Small4Bit() {
    return PatternTim(4, 8, 2);
}

struct MessageCase {
    const char* name;
    std::vector<std::uint8_t> bytes;
    ErrorCode message;
};

std::vector<std::uint8_t> With(TimSpec desc, void (*change)(TimSpec&)) {
    change(desc);
    return MakeTim(desc);
}

std::vector<std::uint8_t> Truncated(std::vector<std::uint8_t> bytes, std::size_t drop) {
    bytes.resize(bytes.size() - drop);
    return bytes;
}

TEST(TimReader, ReturnsTheFirstFailureInOrder) {
    using enum ErrorCode;
    const std::vector<MessageCase> cases = {
        {"valid 16-bit control", MakeTim(Small16Bit()), None},
        {"valid 4-bit control", MakeTim(Small4Bit()), None},
        {"BMP magic", {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, TimHeaderNotFound},
        {"four zero bytes", {0, 0, 0, 0, 2, 0, 0, 0}, TimHeaderNotFound},
        {"empty file", {}, TimHeaderNotFound},
        {"identifier cut short", {0x10, 0, 0}, TimHeaderNotFound},
        {"identifier byte 1 set", {0x10, 1, 0, 0, 2, 0, 0, 0}, TimHeaderNotFound},
        {"mode 0", With(Small16Bit(), [](TimSpec& s) { s.mode = 0; }), InvalidTimHeader},
        {"mode 1", With(Small16Bit(), [](TimSpec& s) { s.mode = 1; }), InvalidTimHeader},
        {"mode 10", With(Small16Bit(), [](TimSpec& s) { s.mode = 10; }), InvalidTimHeader},
        {"mode 11", With(Small16Bit(), [](TimSpec& s) { s.mode = 11; }), InvalidTimHeader},
        {"mode with another bit", With(Small16Bit(), [](TimSpec& s) { s.mode = 0x12; }),
         InvalidTimHeader},
        {"flag byte 5", With(Small16Bit(), [](TimSpec& s) { s.flagByte5 = 1; }), InvalidTimHeader},
        {"flag byte 6", With(Small16Bit(), [](TimSpec& s) { s.flagByte6 = 0x80; }),
         InvalidTimHeader},
        {"flag byte 7", With(Small16Bit(), [](TimSpec& s) { s.flagByte7 = 1; }), InvalidTimHeader},
        {"flags cut short", {0x10, 0, 0, 0}, InvalidTimHeader},
        {"mode 2 with flag bytes cut short", {0x10, 0, 0, 0, 2, 0, 0}, InvalidTimHeader},
        {"image block length 11", With(Small16Bit(), [](TimSpec& s) { s.imageBlockLength = 11; }),
         ImageBeyond1Gig},
        {"image block length 0", With(Small16Bit(), [](TimSpec& s) { s.imageBlockLength = 0; }),
         ImageBeyond1Gig},
        {"data size exactly 1e9",
         With(Small16Bit(), [](TimSpec& s) { s.imageBlockLength = 1'000'000'012; }),
         ImageBeyond1Gig},
        {"data size just under 1e9 but past the end",
         With(Small16Bit(), [](TimSpec& s) { s.imageBlockLength = 1'000'000'011; }), FileTooSmall},
        {"bytes after the TIM are ignored",
         [] {
             auto bytes = MakeTim(Small16Bit());
             bytes.push_back(0xAB);
             return bytes;
         }(),
         None},
        {"pixel data one byte short", Truncated(MakeTim(Small16Bit()), 1), FileTooSmall},
        {"4-bit pixel data one byte short", Truncated(MakeTim(Small4Bit()), 1), FileTooSmall},
        {"image header cut short", Truncated(MakeTim(Small16Bit()), 9), FileTooSmall},
        {"CLUT header cut short", {0x10, 0, 0, 0, 8, 0, 0, 0, 44, 0}, FileTooSmall},
        {"CLUT block length 11", With(Small4Bit(), [](TimSpec& s) { s.clutBlockLength = 11; }),
         NotEnoughMemory},
        {"CLUT block length 0", With(Small4Bit(), [](TimSpec& s) { s.clutBlockLength = 0; }),
         NotEnoughMemory},
        {"CLUT past the end of the file",
         With(Small4Bit(), [](TimSpec& s) { s.clutBlockLength = 0xFFFFFFF0; }), FileTooSmall},
        {"CLUT block length 12 is an empty CLUT",
         With(Small4Bit(), [](TimSpec& s) { s.clut.clear(); }), None},
        {"image block length 12 is an empty image",
         With(Small16Bit(), [](TimSpec& s) { s.pixels.clear(); }), None},
    };
    for (const auto& c : cases) {
        ImageState state;
        EXPECT_EQ(LoadBytes(c.bytes, state), c.message) << c.name;
        if (c.message != ErrorCode::None) {
            EXPECT_FALSE(state.IsLoaded()) << c.name << ": a failed load leaves no image";
        }
    }
}

struct SizeCase {
    std::uint8_t mode;
    std::uint16_t imageWidth;
    std::uint32_t clutEntries;
    std::uint32_t bpp, pixelWidth, sets;
};

TEST(TimReader, DerivesSizesFromTheHeader) {
    const std::vector<SizeCase> cases = {
        {8, 16, 16, 4, 64, 1},  {8, 16, 32, 4, 64, 2},  {8, 16, 15, 4, 64, 0},
        {9, 16, 256, 8, 32, 1}, {9, 16, 511, 8, 32, 1}, {9, 16, 512, 8, 32, 2},
        {2, 64, 0, 16, 64, 0},  {3, 16, 0, 24, 10, 0},  {3, 1, 0, 24, 0, 0},
        {3, 3, 0, 24, 2, 0},
    };
    for (const auto& c : cases) {
        const TimSpec desc{.mode = c.mode,
                           .clut = std::vector<std::uint16_t>(c.clutEntries, 0x1234),
                           .imageWidth = c.imageWidth,
                           .imageHeight = 3,
                           .pixels = std::vector<std::uint8_t>(std::size_t{c.imageWidth} * 2 * 3)};
        ImageState state;
        ASSERT_EQ(LoadBytes(MakeTim(desc), state), ErrorCode::None) << int(c.mode);
        EXPECT_EQ(state.bpp, c.bpp);
        EXPECT_EQ(state.pixelWidth, c.pixelWidth) << int(c.mode) << " width " << c.imageWidth;
        EXPECT_EQ(state.ClutSetCount(), c.sets) << int(c.mode) << " entries " << c.clutEntries;
        EXPECT_EQ(state.clutDataSize, HasClut(c.bpp) ? c.clutEntries * 2 : 0u);
        EXPECT_EQ(state.imageDataSize, desc.pixels.size());
        EXPECT_EQ(state.imageData.size(), desc.pixels.size() + 1);
        EXPECT_EQ(state.clutData.size(), state.clutDataSize);
    }
}

TEST(TimReader, KnownSixteenBitHeader) {
    const TimSpec desc{.mode = 2,
                       .imageX = 640,
                       .imageY = 256,
                       .imageWidth = 64,
                       .imageHeight = 32,
                       .pixels = std::vector<std::uint8_t>(4096, 0x5A)};
    ImageState state;
    ASSERT_EQ(LoadBytes(MakeTim(desc), state), ErrorCode::None);
    EXPECT_EQ(state.imageBlockLength, 4108u);
    EXPECT_EQ(state.pixelWidth, 64u);
    EXPECT_EQ(state.imageDataSize, 4096u);
    EXPECT_EQ(state.imageOrgX, 640);
    EXPECT_EQ(state.imageOrgY, 256);
    EXPECT_TRUE(state.clutData.empty());
    EXPECT_EQ(state.clutBlockLength, 0u);
    EXPECT_EQ(state.imageData[0], 0x5A);
    EXPECT_EQ(state.imageData[4095], 0x5A);
}

TEST(TimReader, ReadsClutFieldsAndData) {
    TimSpec desc = PatternTim(8, 4, 2, 2, 7);
    desc.clutX = 0x140;
    desc.clutY = 0x1E0;
    ImageState state;
    ASSERT_EQ(LoadBytes(MakeTim(desc), state), ErrorCode::None);
    EXPECT_EQ(state.clutBlockLength, 12u + 1024u);
    EXPECT_EQ(state.clutOrgX, 0x140);
    EXPECT_EQ(state.clutOrgY, 0x1E0);
    EXPECT_EQ(state.clutWidth, 256);
    EXPECT_EQ(state.clutHeight, 2);
    ASSERT_EQ(state.clutData.size(), 1024u);
    EXPECT_EQ(state.clutData[0], desc.clut[0] & 0xFF);
    EXPECT_EQ(state.clutData[1023], desc.clut[511] >> 8);
}

TEST(TimReader, OddClutSizeKeepsEveryByte) {
    TimSpec desc = Small4Bit();
    desc.clutBlockLength = 12 + 33;
    auto bytes = MakeTim(desc);
    // MakeTim wrote 32 CLUT bytes; add the odd one right after them.
    bytes.insert(bytes.begin() + 20 + 32, 0x77);
    ImageState state;
    ASSERT_EQ(LoadBytes(bytes, state), ErrorCode::None);
    ASSERT_EQ(state.clutData.size(), 33u);
    EXPECT_EQ(state.clutData[32], 0x77);
    EXPECT_EQ(state.ClutSetCount(), 1u);
}

TEST(TimReader, LoadsAtAnOffsetOfALargerFile) {
    auto tim = MakeTim(PatternTim(8, 6, 5, 1, 3));
    std::vector<std::uint8_t> raw(1000, 0x10);
    raw.insert(raw.begin() + 517, tim.begin(), tim.end());
    ImageState atOffset, alone;
    ASSERT_EQ(LoadBytes(raw, atOffset, 517), ErrorCode::None);
    ASSERT_EQ(LoadBytes(tim, alone), ErrorCode::None);
    EXPECT_EQ(atOffset.imageData, alone.imageData);
    EXPECT_EQ(atOffset.clutData, alone.clutData);
    // The size test is against the whole file, not the TIM's own bytes.
    raw.resize(517 + tim.size() - 1);
    EXPECT_EQ(LoadBytes(raw, atOffset, 517), ErrorCode::FileTooSmall);
}

TEST(TimReader, LoadsATimPastFourGigabytesOfASparseFile) {
    TempDir dir;
    std::string path = dir.File("big.raw");
    const std::int64_t offset = (std::int64_t{1} << 32) + 12345;
    auto tim = MakeTim(PatternTim(16, 4, 4));
    {
        File file;
        ASSERT_TRUE(file.Open(path, File::Mode::CreateWrite));
        ASSERT_EQ(file.Seek(offset), offset);
        ASSERT_TRUE(file.Write(tim.data(), tim.size()));
    }
    File file;
    ASSERT_TRUE(file.Open(path, File::Mode::Read));
    ASSERT_EQ(file.GetLength(), offset + static_cast<std::int64_t>(tim.size()));
    file.Seek(offset);
    ImageState state;
    ASSERT_EQ(LoadImage(state, file, true), ErrorCode::None);
    EXPECT_EQ(state.pixelWidth, 4u);
    EXPECT_EQ(state.imageData[0], tim[20]);
}

TEST(TimReader, ReloadReplacesEveryFieldOfTheLastImage) {
    ImageState state;
    ASSERT_EQ(LoadBytes(MakeTim(PatternTim(8, 4, 2, 3)), state), ErrorCode::None);
    state.ReleaseBuffers();
    ASSERT_EQ(LoadBytes(MakeTim(Small16Bit()), state), ErrorCode::None);
    EXPECT_EQ(state.bpp, 16u);
    EXPECT_EQ(state.clutDataSize, 0u);
    EXPECT_EQ(state.clutBlockLength, 0u);
    EXPECT_EQ(state.clutWidth, 0);
    EXPECT_TRUE(state.clutData.empty());
    EXPECT_EQ(state.ClutSetCount(), 0u);
}

}  // namespace
}  // namespace pixalto::testing
