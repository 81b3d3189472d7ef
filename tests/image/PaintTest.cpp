#include <gtest/gtest.h>

#include "image/Image.h"
#include "platform/ByteOrder.h"
#include "support/TimBuilder.h"

namespace pixalto::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Where the window draws the image; painting takes it from its caller.
constexpr SurfacePoint kOrigin{330, 5};
constexpr int kImageAreaX = kOrigin.x;
constexpr int kImageAreaY = kOrigin.y;

constexpr Pixel kBefore = MakePixel(1, 2, 3);  // what the surface held before the paint

// Builds the ImageState that loading the desc would give, without a file.
ImageState StateFrom(const TimSpec& desc) {
    ImageState s;
    s.flags[0] = desc.mode;
    s.bpp = BppForMode(desc.mode);
    for (std::uint16_t entry : desc.clut) {
        s.clutData.push_back(static_cast<std::uint8_t>(entry));
        s.clutData.push_back(static_cast<std::uint8_t>(entry >> 8));
    }
    s.clutDataSize = static_cast<std::uint32_t>(s.clutData.size());
    s.imageWidth = desc.imageWidth;
    s.imageHeight = desc.imageHeight;
    s.pixelWidth = PixelWidthFor(s.bpp, desc.imageWidth);
    s.imageDataSize = static_cast<std::uint32_t>(desc.pixels.size());
    s.imageData.assign(desc.pixels.begin(), desc.pixels.end());
    s.imageData.push_back(0xEE);  // the spare byte is never pixel data
    return s;
}

MemorySurface SurfaceFor(const ImageState& s) {
    return MemorySurface(kImageAreaX + static_cast<int>(s.pixelWidth) + 4,
                         kImageAreaY + s.imageHeight + 4, kBefore);
}

// The image of desc painted with view onto a surface that held kBefore.
struct Painted {
    ImageState s;
    MemorySurface surface;
    explicit Painted(const TimSpec& desc, const ViewOptions& view = {})
        : s(StateFrom(desc)), surface(SurfaceFor(s)) {
        Paint(view);
    }
    void Paint(const ViewOptions& view) { PaintImage(s, view, surface, kOrigin); }
    Pixel At(int x, int y) const { return surface.At(kImageAreaX + x, kImageAreaY + y); }
};

// A 4-bit image of w x h pixels, pixel n holding index n % 16 unless given.
TimSpec FourBit(std::uint16_t units, std::uint16_t h, std::uint32_t sets) {
    TimSpec desc{.mode = 8,
                 .imageWidth = units,
                 .imageHeight = h,
                 .pixels = Bytes(std::size_t{units} * 2 * h, 0)};
    for (std::uint32_t i = 0; i < 16 * sets; ++i) {
        desc.clut.push_back(static_cast<std::uint16_t>(i + 1));  // entry i is word i+1
    }
    return desc;
}

TEST(Paint, SixteenBitWordsAndTransparency) {
    struct Case {
        std::uint16_t word;
        bool transparency;
        Pixel expected;
    };
    const Case cases[] = {
        {0x001F, false, MakePixel(255, 7, 7)}, {0x7C00, false, MakePixel(7, 7, 255)},
        {0x8000, false, MakePixel(7, 7, 7)},   {0x8000, true, MakePixel(7, 7, 7)},
        {0x0000, false, MakePixel(7, 7, 7)},   {0x0000, true, MemorySurface::kDefaultButtonFace},
    };
    for (const auto& c : cases) {
        const ViewOptions view{.transparency = c.transparency};
        const Bytes word = {static_cast<std::uint8_t>(c.word),
                            static_cast<std::uint8_t>(c.word >> 8)};
        Painted p({.mode = 2, .imageWidth = 1, .imageHeight = 1, .pixels = word}, view);
        // With transparency, a 0 is left undrawn ...
        EXPECT_EQ(p.At(0, 0), c.transparency && c.word == 0 ? kBefore : c.expected);
        p.Paint(view);  // ... and the second paint erases the first
        EXPECT_EQ(p.At(0, 0), c.expected) << std::hex << c.word << ' ' << c.transparency;
    }
}

TEST(Paint, FourBitLowNibbleFirst) {
    TimSpec desc = FourBit(1, 1, 1);
    desc.pixels[0] = 0x21;
    const Painted p(desc);
    EXPECT_EQ(p.At(0, 0), PsxToPixel(2));  // entry 1
    EXPECT_EQ(p.At(1, 0), PsxToPixel(3));  // entry 2
    EXPECT_EQ(p.At(4, 0), kBefore);        // right of the image: untouched
}

TEST(Paint, ClutSetSelectsEntriesOfThatSet) {
    struct Case {
        std::uint32_t bpp, set;
        std::uint8_t index;
        std::uint32_t entry;
    };
    const Case cases[] = {{4, 1, 3, 19}, {8, 1, 3, 259}, {4, 0, 15, 15}, {8, 2, 255, 767}};
    for (const auto& c : cases) {
        TimSpec desc{
            .mode = ModeForBpp(c.bpp), .imageWidth = 1, .imageHeight = 1, .pixels = {c.index, 0}};
        for (std::uint32_t i = 0; i < ClutSetEntries(c.bpp) * 3; ++i) {
            desc.clut.push_back(static_cast<std::uint16_t>(i * 37 + 1));
        }
        const Painted p(desc, {.currentSet = c.set});
        EXPECT_EQ(p.At(0, 0), PsxToPixel(static_cast<PsxColor>(c.entry * 37 + 1)))
            << c.bpp << " set " << c.set;
    }
}

TEST(Paint, TwentyFourBitBytesAreRedGreenBlue) {
    // Two pixels; transparency never applies to 24-bit.
    const Painted p({.mode = 3,
                     .imageWidth = 3,
                     .imageHeight = 1,
                     .pixels = {0x10, 0x20, 0x30, 0xFF, 0x00, 0x80}},
                    {.transparency = true});
    EXPECT_EQ(p.At(0, 0), MakePixel(0x10, 0x20, 0x30));
    EXPECT_EQ(p.At(1, 0), MakePixel(0xFF, 0x00, 0x80));

    // Rows follow one another without padding: imageWidth 2 units = 4 bytes
    // a row, but 1 pixel (3 bytes) wide, so row 1 starts at byte 3, not 4.
    const Painted rows(
        {.mode = 3, .imageWidth = 2, .imageHeight = 2, .pixels = {1, 2, 3, 4, 5, 6, 7, 8}});
    EXPECT_EQ(rows.s.pixelWidth, 1u);
    EXPECT_EQ(rows.At(0, 1), MakePixel(4, 5, 6));
}

TEST(Paint, SplitOrsTheLowerHalfOntoTheUpper) {
    struct Case {
        std::uint16_t height;
        std::uint32_t rows, pairedOffset;
    };
    for (const Case c : {Case{8, 4, 4}, Case{7, 3, 3}, Case{1, 0, 0}}) {
        TimSpec desc = FourBit(1, c.height, 1);  // 4 pixels a row
        for (std::size_t i = 0; i < desc.pixels.size(); ++i) {
            desc.pixels[i] = static_cast<std::uint8_t>((i * 5 + 1) & 0xFF);
        }
        const Painted p(desc, {.splitImage = true});
        EXPECT_EQ(p.s.paintedHeight, c.rows);
        for (std::uint32_t y = 0; y < c.rows; ++y) {
            for (std::uint32_t x = 0; x < 4; ++x) {
                auto index = [&](std::uint32_t row) {
                    std::uint32_t n = row * 4 + x;
                    std::uint8_t byte = desc.pixels[n / 2];
                    return (n & 1) ? byte >> 4 : byte & 15;
                };
                std::uint32_t v = index(y) | index(y + c.pairedOffset);
                EXPECT_EQ(p.At(static_cast<int>(x), static_cast<int>(y)),
                          PsxToPixel(static_cast<PsxColor>(v + 1)))
                    << "height " << c.height << " at " << x << ',' << y;
            }
        }
        EXPECT_EQ(p.At(0, static_cast<int>(c.rows)), kBefore) << "lower half painted";
    }
}

TEST(Paint, SplitOrsWordsAndTwentyFourBitValues) {
    const Painted words(
        {.mode = 2, .imageWidth = 1, .imageHeight = 2, .pixels = {0x1F, 0x00, 0x00, 0x7C}},
        {.splitImage = true});
    EXPECT_EQ(words.At(0, 0), PsxToPixel(0x7C1F));
    // 1 pixel wide, rows 3 bytes apart.
    const Painted rgb({.mode = 3,
                       .imageWidth = 2,
                       .imageHeight = 2,
                       .pixels = {0x01, 0x10, 0x00, 0x02, 0x20, 0x80, 0, 0}},
                      {.splitImage = true});
    EXPECT_EQ(rgb.At(0, 0), MakePixel(0x03, 0x30, 0x80));
}

TEST(Paint, TransparencyLeavesOnlyWordZeroUndrawnAndErasesThePreviousPicture) {
    TimSpec desc = FourBit(1, 1, 2);
    desc.clut[0] = 0x0000;       // set 0, index 0: transparent
    desc.clut[1] = 0x8000;       // STP only: visible black
    desc.clut[16] = 0x7FFF;      // set 1, index 0: white
    desc.pixels = {0x10, 0x00};  // indices 0, 1, 0, 0
    Painted p(desc, {.currentSet = 1});
    EXPECT_EQ(p.At(0, 0), PsxToPixel(0x7FFF));
    // Switching to set 0 with Transparency on must not leave set 1's white.
    p.Paint({.currentSet = 0, .transparency = true});
    EXPECT_EQ(p.At(0, 0), MemorySurface::kDefaultButtonFace);
    EXPECT_EQ(p.At(1, 0), MakePixel(7, 7, 7));
}

// A 16-bit image 16 x 9 of word 0 but a red pixel at (9, 0): the squares
// alternate every 8 pixels both ways, under undrawn pixels only.
TEST(Paint, TheCheckerboardShowsUnderUndrawnPixelsOnly) {
    TimSpec desc{.mode = 2, .imageWidth = 16, .imageHeight = 9, .pixels = Bytes(16 * 9 * 2, 0)};
    desc.pixels[2 * 9] = 0x1F;
    const Pixel red = MakePixel(255, 7, 7);
    struct Case {
        bool transparency, checkerboard;
        int x, y;
        Pixel expected;
    };
    for (const Case& c :
         {Case{true, true, 0, 0, kCheckerLight}, Case{true, true, 7, 7, kCheckerLight},
          Case{true, true, 8, 0, kCheckerDark}, Case{true, true, 0, 8, kCheckerDark},
          Case{true, true, 15, 8, kCheckerLight}, Case{true, true, 9, 0, red},
          Case{true, false, 0, 0, MemorySurface::kDefaultButtonFace},
          Case{false, true, 0, 0, MakePixel(7, 7, 7)}}) {
        const ViewOptions view{.transparency = c.transparency, .checkerboard = c.checkerboard};
        Painted p(desc, view);
        p.Paint(view);  // the second paint erases the first
        EXPECT_EQ(p.At(c.x, c.y), c.expected)
            << c.transparency << c.checkerboard << " " << c.x << "," << c.y;
    }
}

TEST(Paint, MissingDataAndMissingClutEntriesStayUndrawn) {
    // Pixel data for 1.5 rows of a 4-pixel 16-bit image of 3 rows.
    // 6.5 pixels: the half pixel is not drawn.
    const TimSpec desc{.mode = 2, .imageWidth = 4, .imageHeight = 3, .pixels = Bytes(12 + 1, 0x21)};
    const Painted p(desc);
    EXPECT_EQ(p.At(3, 0), PsxToPixel(0x2121));
    EXPECT_EQ(p.At(1, 1), PsxToPixel(0x2121));
    EXPECT_EQ(p.At(2, 1), kBefore);
    EXPECT_EQ(p.At(0, 2), kBefore);
    EXPECT_EQ(p.s.paintedHeight, 3u);

    // A CLUT of 8 entries: indices 8 and up, and any set past it, draw nothing.
    TimSpec clutShort = FourBit(1, 1, 0);
    for (std::uint16_t i = 0; i < 8; ++i) {
        clutShort.clut.push_back(static_cast<std::uint16_t>(0x100 + i));
    }
    clutShort.pixels = {0x87, 0x00};  // indices 7, 8, 0, 0
    Painted c(clutShort);
    EXPECT_EQ(c.At(0, 0), PsxToPixel(0x107));
    EXPECT_EQ(c.At(1, 0), kBefore);
    c.surface.Clear(kBefore);
    c.Paint({.currentSet = 5});
    EXPECT_EQ(c.At(0, 0), kBefore);
    EXPECT_EQ(c.At(2, 0), kBefore);

    // Split needs both halves: with the lower half missing nothing is drawn.
    TimSpec split = desc;
    split.imageHeight = 4;
    EXPECT_EQ(Painted(split, {.splitImage = true}).At(0, 0), kBefore);
}

TEST(Paint, LyingHeadersNeverReadOutsideTheBuffers) {
    // Sanitizer builds turn any stray read here into a failure.
    for (std::uint32_t bpp : {4u, 8u, 16u, 24u}) {
        for (std::uint32_t size : {0u, 1u, 2u, 3u, 31u}) {
            TimSpec desc = PatternTim(bpp, 40, 30, 1, size);
            desc.pixels.resize(size);
            desc.clut.resize(desc.clut.size() / 3);
            ImageState s = StateFrom(desc);
            s.imageData.resize(size + 1);
            MemorySurface surface = SurfaceFor(s);
            PaintImage(s, {7, true, true}, surface, kOrigin);
            PaintImage(s, {0, false, false}, surface, kOrigin);
            EXPECT_EQ(s.paintedWidth, s.pixelWidth);
        }
    }
}

// The extent that sizes pictures is exactly the box of what a paint draws,
// for whole images, images cut short and lying headers, split or not.
TEST(Paint, DrawableExtentIsTheBoxOfWhatAPaintDraws) {
    struct Case {
        std::uint32_t bpp;
        std::uint32_t width;
        std::uint16_t height;
        std::size_t dataBytes;
        bool split;
    };
    const Case cases[] = {
        {16, 6, 5, 60, false}, {16, 6, 5, 60, true},  {16, 6, 5, 13, false}, {16, 6, 5, 13, true},
        {16, 6, 5, 25, true},  {16, 6, 5, 0, false},  {4, 8, 3, 5, false},   {4, 8, 4, 13, true},
        {8, 10, 7, 35, true},  {24, 4, 4, 10, false}, {24, 4, 4, 2, false},  {8, 2, 1, 2, true},
    };
    for (const Case& c : cases) {
        TimSpec desc = PatternTim(c.bpp, c.width, c.height, 1, 7);
        desc.pixels.resize(c.dataBytes, 0x5A);
        ImageState s = StateFrom(desc);
        MemorySurface surface(64, 64);
        PaintImage(s, {0, c.split, false}, surface, {0, 0});
        int right = 0, bottom = 0;
        for (int y = 0; y < 64; ++y) {
            for (int x = 0; x < 64; ++x) {
                if (IsDrawn(surface.At(x, y))) {
                    right = std::max(right, x + 1);
                    bottom = std::max(bottom, y + 1);
                }
            }
        }
        const DrawableExtent extent = DrawableExtentOf(s, c.split);
        EXPECT_EQ(extent.width, static_cast<std::uint32_t>(right))
            << c.bpp << "-bit " << c.width << "x" << c.height << " " << c.dataBytes << " bytes";
        EXPECT_EQ(extent.rows, static_cast<std::uint32_t>(bottom))
            << c.bpp << "-bit " << c.width << "x" << c.height << " " << c.dataBytes << " bytes";
    }

    // A header that claims 65535 x 65535 pixels over 8 pixels of data.
    ImageState huge = StateFrom(PatternTim(16, 4, 2));
    huge.imageWidth = huge.imageHeight = 65535;
    huge.pixelWidth = 65535;
    EXPECT_EQ(DrawableExtentOf(huge, false).width, 8u);
    EXPECT_EQ(DrawableExtentOf(huge, false).rows, 1u);
    EXPECT_EQ(DrawableExtentOf(huge, true).rows, 0u);
    EXPECT_EQ(DrawableExtentOf(ImageState{}, false).width, 0u);
}

TEST(Paint, RecordsThePaintedExtent) {
    Painted p(PatternTim(8, 10, 9));
    EXPECT_EQ(p.s.paintedWidth, 10u);
    EXPECT_EQ(p.s.paintedHeight, 9u);
    p.Paint({.splitImage = true});
    EXPECT_EQ(p.s.paintedHeight, 4u);
}

TEST(Paint, EraseExtents) {
    MemorySurface surface(400, 100, kBefore);
    EraseImageArea(surface, kOrigin, 3, 2);
    const Pixel face = MemorySurface::kDefaultButtonFace;
    EXPECT_EQ(surface.At(330, 5), face);
    EXPECT_EQ(surface.At(332, 6), face);
    EXPECT_EQ(surface.At(333, 6), kBefore);
    EXPECT_EQ(surface.At(332, 7), kBefore);
    EXPECT_EQ(surface.At(329, 5), kBefore);
    EXPECT_EQ(surface.At(330, 4), kBefore);

    MemorySurface untouched(400, 100, kBefore);
    EraseImageArea(untouched, kOrigin, 0, 50);
    EraseImageArea(untouched, kOrigin, 50, 0);
    EXPECT_EQ(untouched.At(330, 5), kBefore);

    // Closing erases the larger of the last paint and the current view's extent.
    ImageState s = StateFrom(PatternTim(16, 8, 10));
    s.paintedWidth = 20;
    s.paintedHeight = 2;
    MemorySurface closing(400, 100, kBefore);
    EraseForClose(s, /*splitImage=*/true, closing, kOrigin);  // 20 x max(2, 5)
    EXPECT_EQ(closing.At(330 + 19, 5 + 4), face);
    EXPECT_EQ(closing.At(330 + 20, 5), kBefore);
    EXPECT_EQ(closing.At(330, 5 + 5), kBefore);
}

}  // namespace
}  // namespace pixalto::testing
