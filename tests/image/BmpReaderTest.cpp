#include <gtest/gtest.h>
#include <sys/stat.h>

#include "image/Image.h"
#include "support/BmpBuilder.h"
#include "support/ImageFiles.h"
#include "support/TempDir.h"
#include "support/TimBuilder.h"

namespace pixalto::testing {
namespace {

// Writes bytes as face.bmp (and sidecar bytes as face.tmext when given) and
// loads the BMP starting at offset.
Error LoadBmpBytes(const std::vector<std::uint8_t>& bytes, ImageState& state,
                   const std::optional<std::vector<std::uint8_t>>& sidecar = std::nullopt,
                   std::int64_t offset = 0) {
    return LoadImageBytes(bytes, state, false, sidecar, offset);
}

BmpSpec With(BmpSpec desc, void (*change)(BmpSpec&)) {
    change(desc);
    return desc;
}

TEST(BmpReader, ReturnsTheFirstFailureInOrder) {
    using enum ErrorCode;
    auto cut = [](std::vector<std::uint8_t> bytes, std::size_t drop) {
        bytes.resize(bytes.size() - drop);
        return bytes;
    };
    // bfOffBits changed in place, the file's bytes left as they are.
    auto offBits = [](std::vector<std::uint8_t> bytes, std::uint32_t value) {
        for (int i = 0; i < 4; ++i) {
            bytes[10 + i] = static_cast<std::uint8_t>(value >> (8 * i));
        }
        return bytes;
    };
    const BmpSpec valid = PatternBmp(8, 6, 2, /*padded=*/false);
    const struct {
        const char* name;
        std::vector<std::uint8_t> bytes;
        ErrorCode message;
    } cases[] = {
        {"valid control", MakeBmp(valid), None},
        {"a TIM file", MakeTim(PatternTim(16, 2, 2)), BmpHeaderNotFound},
        {"empty file", {}, BmpHeaderNotFound},
        {"only B", {'B'}, BmpHeaderNotFound},
        {"MB swapped", MakeBmp(With(valid, [](BmpSpec& s) { s.type = 0x424D; })),
         BmpHeaderNotFound},
        {"run-length compression", MakeBmp(With(valid, [](BmpSpec& s) { s.compression = 1; })),
         CompressionNotSupported},
        {"bad magic wins over compression",
         MakeBmp(With(valid, [](BmpSpec& s) { s.type = 0, s.compression = 1; })),
         BmpHeaderNotFound},
        {"compression wins over size",
         MakeBmp(With(valid, [](BmpSpec& s) { s.compression = 3, s.height = 1000; })),
         CompressionNotSupported},
        {"info header cut short", cut(MakeBmp(valid), MakeBmp(valid).size() - 20), FileTooSmall},
        {"one pixel byte missing", cut(MakeBmp(valid), 1), FileTooSmall},
        {"palette cut short, pixels' worth of bytes there", cut(MakeBmp(valid), 1024),
         FileTooSmall},
        {"bfOffBits past the end", offBits(MakeBmp(valid), 5000), FileTooSmall},
        {"bfOffBits one byte too far for the rows", offBits(MakeBmp(valid), 54 + 1024 + 1),
         FileTooSmall},
        {"bfOffBits inside the palette", offBits(MakeBmp(valid), 54), None},
        // The rows lie in the file; the palette after a 124-byte header doesn't.
        {"palette after a long header cut short",
         cut(MakeBmp(With(valid,
                          [](BmpSpec& s) {
                              s.biSize = 124, s.offBits = 54;
                              s.infoTail.resize(84);
                          })),
             50),
         FileTooSmall},
        // Standard 4-bit rows of width 6 (4 bytes) are shorter than the
        // older layout's (6 bytes): a file that holds them is read.
        {"padded 4-bit rows shorter than the older layout", MakeBmp(PatternBmp(4, 6, 3, true)),
         None},
        {"top-down rows", MakeBmp(With(valid, [](BmpSpec& s) { s.height = -2; })), FileTooSmall},
        {"negative width", MakeBmp(With(valid, [](BmpSpec& s) { s.width = -6; })), FileTooSmall},
        {"both negative", MakeBmp(With(valid, [](BmpSpec& s) { s.width = -6, s.height = -2; })),
         FileTooSmall},
        {"rows beyond the file", MakeBmp(With(valid, [](BmpSpec& s) { s.height = 2000; })),
         FileTooSmall},
        {"size that wraps 32 bits",
         MakeBmp(
             With(valid, [](BmpSpec& s) { s.bitCount = 24, s.width = 0x7FFFFFFF, s.height = 3; })),
         FileTooSmall},
        {"zero-sized image",
         MakeBmp(With(valid, [](BmpSpec& s) { s.width = 0, s.pixels.clear(); })), None},
    };
    for (const auto& c : cases) {
        ImageState state;  // holding the BMP side of an earlier image
        state.bmpPixels = {1};
        state.bmpPalette = state.sidecarData = {1};
        state.sidecarSize = 1;
        EXPECT_EQ(LoadBmpBytes(c.bytes, state), c.message) << c.name;
        if (c.message != ErrorCode::None) {
            EXPECT_TRUE(state.bmpPixels.empty() && state.bmpPalette.empty() &&
                        state.sidecarData.empty())
                << c.name << ": no buffer is held after a failure";
        }
    }
}

TEST(BmpReader, PicksPaddedRowsWhenTheFileHoldsThemElseTheOlderLayout) {
    const struct {
        std::uint16_t bits;
        std::int32_t width, height;
        bool padded;
        std::uint32_t rowSize, pixelSize;
    } cases[] = {
        // 12 4-bit pixels make the same rows either way. The older layout
        // never wrote 4-bit widths that are not a multiple of 4: such a file
        // gets a row of (W + W mod 8) / 2 bytes.
        {4, 12, 2, true, 8, 16},  {4, 12, 2, false, 8, 16},  {4, 6, 2, true, 4, 8},
        {4, 2, 2, false, 2, 4},   {8, 6, 2, true, 8, 16},    {8, 6, 2, false, 6, 12},
        {8, 8, 3, false, 8, 24},  {16, 3, 2, true, 8, 16},   {16, 3, 2, false, 6, 12},
        {24, 5, 3, true, 16, 48}, {24, 5, 3, false, 15, 45}, {24, 4, 2, false, 12, 24},
        {24, 2, 2, true, 8, 16},  {32, 3, 2, true, 12, 24},
    };
    for (const auto& c : cases) {
        ImageState state;  // its TIM side is left alone
        state.imageOrgX = 77;
        state.imageData = {1, 2, 3};
        BmpSpec desc = PatternBmp(c.bits, c.width, c.height, c.padded);
        ASSERT_EQ(LoadBmpBytes(MakeBmp(desc), state), ErrorCode::None) << c.bits << "x" << c.width;
        EXPECT_EQ(state.bpp, c.bits);
        EXPECT_EQ(state.bmpRowSize, c.rowSize)
            << c.bits << "-bit " << c.width << " padded " << c.padded;
        EXPECT_EQ(state.bmpPixelSize, c.pixelSize)
            << c.bits << "-bit " << c.width << " padded " << c.padded;
        ASSERT_EQ(state.bmpPixels.size(), c.pixelSize);
        EXPECT_EQ(state.bmpPixels, desc.pixels);
        EXPECT_EQ(state.bmpPaletteCount, c.bits == 4 ? 16u : c.bits == 8 ? 256u : 0u);
        EXPECT_EQ(state.bmpPalette, desc.palette);
        EXPECT_EQ(state.imageOrgX, 77);
        EXPECT_EQ(state.imageData, (std::vector<std::uint8_t>{1, 2, 3}));
    }
}

// The palette follows the info header, whatever its size; the pixels are at
// bfOffBits, here after a gap. A header of a size the conversion refuses is
// still read, with the palette after its first 40 bytes.
TEST(BmpReader, TakesThePaletteAfterTheInfoHeaderAndPixelsFromOffBits) {
    for (std::uint32_t biSize : {40u, 52u, 56u, 108u, 124u, 12u, 64u}) {
        BmpSpec desc = PatternBmp(4, 8, 2);
        desc.biSize = biSize;
        desc.infoTail.assign(biSize > 40 && biSize != 64 ? biSize - 40 : 0, 0x77);
        desc.offBits = 54 + desc.infoTail.size() + 64 + 10;
        auto bmp = MakeBmp(desc);
        std::vector<std::uint8_t> file(100, 0xEE);
        file.insert(file.end(), bmp.begin(), bmp.end());
        ImageState state;
        ASSERT_EQ(LoadBmpBytes(file, state, std::nullopt, 100), ErrorCode::None) << biSize;
        EXPECT_EQ(state.bmpStart, 100u);
        EXPECT_EQ(state.bmpInfoHeader.biSize, biSize);
        EXPECT_EQ(state.bmpPalette, desc.palette) << biSize;
        EXPECT_EQ(state.bmpPixels, desc.pixels) << biSize;
    }
}

TEST(BmpReader, ReadsTheSidecarBesideItWholeAndAnyMissingOneIsNoFailure) {
    const auto bmp = MakeBmp(PatternBmp(16, 2, 2));
    std::vector<std::uint8_t> sidecar = {'P', 'X', 1, 2, 3, 4, 9, 9, 9};
    ImageState state;
    ASSERT_EQ(LoadBmpBytes(bmp, state, sidecar), ErrorCode::None);
    EXPECT_EQ(state.sidecarSize, sidecar.size());
    EXPECT_EQ(state.sidecarData, sidecar);

    ASSERT_EQ(LoadBmpBytes(bmp, state), ErrorCode::None);
    EXPECT_EQ(state.sidecarSize, 0u) << "the previous sidecar must not linger";
    EXPECT_TRUE(state.sidecarData.empty());

    ASSERT_EQ(LoadBmpBytes(bmp, state, std::vector<std::uint8_t>{}), ErrorCode::None);
    EXPECT_EQ(state.sidecarSize, 0u);

    // A FIFO in the sidecar's place is not read (reading it would wait for a
    // writer for ever), and is no failure either.
    TempDir dir;
    const std::string path = dir.Write("face.bmp", bmp);
    ASSERT_EQ(::mkfifo(dir.File("face.tmext").c_str(), 0644), 0);
    File file;
    ASSERT_TRUE(file.Open(path, File::Mode::Read));
    EXPECT_EQ(LoadImage(state, file, false), ErrorCode::None);
    EXPECT_EQ(state.sidecarSize, 0u);
}

TEST(SidecarPath, SitsBesideTheBmpWithItsTitle) {
    EXPECT_EQ(SidecarPathFor("/a/b/face.bmp"), "/a/b/face.tmext");
    EXPECT_EQ(SidecarPathFor("face.BMP"), "face.tmext");
    EXPECT_EQ(SidecarPathFor("/a/x.y.bmp"), "/a/x.y.tmext");
    EXPECT_EQ(SidecarPathFor("/a/noext"), "/a/noext.tmext");
}

}  // namespace
}  // namespace pixalto::testing
