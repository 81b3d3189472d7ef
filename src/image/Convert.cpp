#include "image/Convert.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <span>
#include <utility>
#include <vector>

#include "image/BmpFormat.h"
#include "image/PixelBuffer.h"
#include "image/PsxColor.h"
#include "image/Sidecar.h"
#include "platform/ByteOrder.h"

namespace pixalto {
namespace {

using Bytes = std::span<const std::uint8_t>;

// Takes buffer's memory, emptied, for a new image; buffer is left empty.
template <class Buffer>
Buffer Reuse(Buffer& buffer) {
    Buffer taken = std::move(buffer);
    buffer = {};
    taken.clear();
    return taken;
}

// TIM words hold red in the low bits, BMP words blue; the swap is its own inverse.
constexpr void Swap16BitPixel(const std::uint8_t* in, std::uint8_t* out) {
    const std::uint8_t low = in[0];
    const std::uint8_t high = in[1];
    out[0] = static_cast<std::uint8_t>((low & 0xE0) | ((high & 0x7C) >> 2));
    out[1] = static_cast<std::uint8_t>((high & 0x80) | (high & 0x03) | ((low & 0x1F) << 2));
}

// Converts count bytes of one row in place with the transform of the depth.
// A trailing part of a pixel (24-bit rows of a width TIM units can't fill)
// stays as it is.
void ConvertRowPixels(std::uint32_t bpp, std::uint8_t* row, std::size_t count) {
    switch (bpp) {
        case 4:  // the left pixel is the low nibble in a TIM, the high one in a BMP
            for (std::size_t i = 0; i < count; ++i) {
                row[i] = static_cast<std::uint8_t>((row[i] << 4) | (row[i] >> 4));
            }
            break;
        case 16:
            for (std::size_t i = 0; i + 2 <= count; i += 2) {
                Swap16BitPixel(row + i, row + i);
            }
            break;
        case 24:  // red, green, blue in a TIM; blue, green, red in a BMP
            for (std::size_t i = 0; i + 3 <= count; i += 3) {
                std::swap(row[i], row[i + 2]);
            }
            break;
        default:
            break;
    }
}

// Appends rows to out, mirroring their order (TIM rows run top to bottom,
// BMP rows bottom to top), each converted and padded with zeros to the
// destination's row length. Rows the source doesn't hold are zeros. Every
// byte is written once: out grows without being cleared first.
struct RowCopy {
    Bytes source;
    std::uint64_t sourceRow = 0;
    std::uint64_t destinationRow = 0;
    std::uint64_t rows = 0;
    std::uint64_t bytesPerRow = 0;  // at most both row lengths
};

void AppendRowsMirrored(std::uint32_t bpp, const RowCopy& copy, PixelBytes& out) {
    const std::size_t begin = out.size();
    out.resize(begin + static_cast<std::size_t>(copy.rows * copy.destinationRow));
    std::uint8_t* to = out.data() + begin;
    for (std::uint64_t row = copy.rows; row-- != 0; to += copy.destinationRow) {
        const std::uint64_t from = row * copy.sourceRow;
        const auto count = static_cast<std::size_t>(
            from < copy.source.size()
                ? std::min<std::uint64_t>(copy.bytesPerRow, copy.source.size() - from)
                : 0);
        if (count != 0) {
            std::memcpy(to, copy.source.data() + from, count);
        }
        ConvertRowPixels(bpp, to, count);
        // Rows of no bytes (an image of width 0) may leave out without memory.
        if (copy.destinationRow > count) {
            std::memset(to + count, 0, static_cast<std::size_t>(copy.destinationRow) - count);
        }
    }
}

constexpr bool IsConvertibleDepth(std::uint32_t bpp) {
    return ModeForBpp(bpp) != 0;
}

// TIM width in 16-bit units for a BMP width. 4- and 8-bit widths that don't
// fill a whole unit are rounded down. A 24-bit row of odd width takes one unit
// more than its bytes fill, with a spare zero byte at its end: rounding down
// would cut off its last pixel, as 2 x units / 3 pixels are read back.
constexpr std::uint64_t TimUnitsForWidth(std::uint32_t bpp, std::uint64_t width) {
    switch (bpp) {
        case 4:
            return width / 4;
        case 8:
            return width / 2;
        case 16:
            return width;
        default:
            return (width * 3 + 1) / 2;
    }
}

// CLUT sets carried: every set the CLUT holds, and at least enough to reach
// the palette set, up to what the sidecar's count can say.
std::uint32_t CarriedSetCount(const ImageState& state, std::uint32_t currentSet) {
    const std::uint64_t wanted =
        std::max<std::uint64_t>(state.ClutSetCount(), std::uint64_t{currentSet} + 1);
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(wanted, kMaxSidecarSets));
}

void FillPaletteFromClut(Bytes clut, std::uint32_t bpp, std::uint32_t paletteSet,
                         std::vector<std::uint8_t>& palette) {
    const std::uint64_t first = std::uint64_t{paletteSet} * ClutSetEntries(bpp);
    for (std::size_t i = 0; i * kBmpPaletteEntrySize < palette.size(); ++i) {
        const std::uint64_t at = (first + i) * 2;
        // Entries the CLUT doesn't have are colour 0.
        const PsxColor v = at + 2 <= clut.size() ? ReadU16LE(clut.data() + at) : 0;
        std::uint8_t* entry = palette.data() + i * kBmpPaletteEntrySize;
        entry[0] = static_cast<std::uint8_t>(PsxBlue(v) * 8);
        entry[1] = static_cast<std::uint8_t>(PsxGreen(v) * 8);
        entry[2] = static_cast<std::uint8_t>(PsxRed(v) * 8);
        entry[3] = 0;
    }
}

void FillClutFromPalette(Bytes palette, std::uint32_t bpp, std::uint32_t paletteSet,
                         std::vector<std::uint8_t>& clut) {
    const std::uint64_t first = std::uint64_t{paletteSet} * ClutSetEntries(bpp);
    for (std::size_t i = 0; (i + 1) * kBmpPaletteEntrySize <= palette.size(); ++i) {
        const std::uint64_t at = (first + i) * 2;
        if (at + 2 > clut.size()) {
            break;
        }
        const std::uint8_t* entry = palette.data() + i * kBmpPaletteEntrySize;
        WriteU16LE(clut.data() + at, RgbToPsx(entry[2], entry[1], entry[0], /*stp=*/false));
    }
}

// Asks until there is an answer: the dialog can't be left without one.
Origins AskUntilAnswered(OriginsRequest& request, bool hasClut) {
    std::optional<Origins> answer;
    while (!(answer = request.AskOrigins(hasClut))) {
    }
    return *answer;
}

SidecarContent OriginsFromSidecarOrUser(const ImageState& state, OriginsRequest& request,
                                        Error& unanswered) {
    const Bytes sidecar = Present(state.sidecarData, state.sidecarSize);
    if (auto content = ParseSidecar(sidecar, state.bpp)) {
        return *content;
    }
    return AskForOrigins(request, SidecarHasClut(state.bpp), unanswered);
}

}  // namespace

SidecarContent AskForOrigins(OriginsRequest& request, bool hasClut, Error& unanswered) {
    const Origins origins = AskUntilAnswered(request, hasClut);
    unanswered = request.Unanswered();
    SidecarContent content;
    content.imageOrgX = static_cast<std::uint16_t>(origins.imageOrgX);
    content.imageOrgY = static_cast<std::uint16_t>(origins.imageOrgY);
    content.clutOrgX = static_cast<std::uint16_t>(origins.clutOrgX);
    content.clutOrgY = static_cast<std::uint16_t>(origins.clutOrgY);
    content.setCount = hasClut ? 1 : 0;  // just the palette set
    return content;
}

SidecarContent SidecarContentFor(const ImageState& state, std::uint32_t currentSet) {
    SidecarContent content{state.imageOrgX, state.imageOrgY, 0, 0, 0, 0};
    if (HasClut(state.bpp)) {
        content.clutOrgX = state.clutOrgX;
        content.clutOrgY = state.clutOrgY;
        content.setCount = CarriedSetCount(state, currentSet);
        content.paletteSet = std::min(currentSet, content.setCount - 1);
    }
    return content;
}

void AdoptTimParts(ImageState& state, TimParts parts) {
    const std::uint32_t bpp = parts.bpp;
    const std::uint32_t paletteCount = HasClut(bpp) ? ClutSetEntries(bpp) : 0;
    state.fileId = kTimId;
    state.flags = {ModeForBpp(bpp), 0, 0, 0};
    state.bpp = bpp;
    state.clutDataSize = static_cast<std::uint32_t>(parts.clut.size());
    state.clutBlockLength = HasClut(bpp) ? state.clutDataSize + kTimBlockHeaderSize : 0;
    // Images without a CLUT keep the CLUT fields at zero, as a TIM read from a
    // file does, whatever origin the user gave for it.
    state.clutOrgX = HasClut(bpp) ? parts.content.clutOrgX : 0;
    state.clutOrgY = HasClut(bpp) ? parts.content.clutOrgY : 0;
    state.clutWidth = static_cast<std::uint16_t>(paletteCount);
    state.clutHeight = static_cast<std::uint16_t>(parts.content.setCount);
    state.clutData = std::move(parts.clut);
    state.imageDataSize =
        static_cast<std::uint32_t>(std::uint64_t{parts.unitsWide} * 2 * parts.rows);
    state.imageBlockLength = state.imageDataSize + kTimBlockHeaderSize;
    state.imageOrgX = parts.content.imageOrgX;
    state.imageOrgY = parts.content.imageOrgY;
    state.imageWidth = parts.unitsWide;
    state.imageHeight = parts.rows;
    state.pixelWidth = PixelWidthFor(bpp, state.imageWidth);
    state.imageData = std::move(parts.pixels);
}

Error ConvertTimToBmp(ImageState& state, std::uint32_t currentSet) {
    const std::uint32_t bpp = state.bpp;
    if (!IsConvertibleDepth(bpp)) {
        return Error(ErrorCode::BppNotSupported);
    }
    const std::uint64_t width = state.pixelWidth;
    const std::uint64_t height = state.imageHeight;
    const std::uint64_t timRow = std::uint64_t{state.imageWidth} * 2;
    // As the TIM reader: a block this large is refused, whatever its header
    // length says.
    if (timRow * height >= kMaxImageDataSize) {
        return Error(ErrorCode::ImageBeyond1Gig);
    }
    const std::uint64_t bmpRow = PaddedBmpRowSize(bpp, width);
    const std::uint64_t pixelSize = bmpRow * height;
    const Bytes clut = Present(state.clutData, state.clutDataSize);

    const SidecarContent content = SidecarContentFor(state, currentSet);

    // The BMP side's old buffers are reused: a batch of files then needs no
    // fresh memory for each.
    Result<std::vector<std::uint8_t>> sidecar =
        BuildSidecar(content, bpp, clut, Reuse(state.sidecarData));
    if (!sidecar) {
        return sidecar.error();
    }
    std::vector<std::uint8_t> palette = Reuse(state.bmpPalette);
    PixelBytes pixels = Reuse(state.bmpPixels);
    try {
        palette.resize(std::size_t{BmpPaletteCountFor(bpp)} * kBmpPaletteEntrySize);
        MakePixelRoom(pixels, pixelSize);
        AppendRowsMirrored(bpp,
                           {Present(state.imageData, state.imageDataSize), timRow, bmpRow, height,
                            std::min(timRow, BmpRowDataSize(bpp, width))},
                           pixels);
    } catch (const std::bad_alloc&) {
        return Error(ErrorCode::NotEnoughMemory);
    }
    FillPaletteFromClut(clut, bpp, content.paletteSet, palette);

    const auto paletteBytes = static_cast<std::uint32_t>(palette.size());
    state.bmpFileHeader = {kBmpType,
                           static_cast<std::uint32_t>(kBmpHeadersSize + paletteBytes + pixelSize),
                           0, 0, kBmpHeadersSize + paletteBytes};
    state.bmpInfoHeader = {};
    state.bmpInfoHeader.biSize = kBmpInfoHeaderSize;
    state.bmpInfoHeader.biWidth = static_cast<std::int32_t>(width);
    state.bmpInfoHeader.biHeight = static_cast<std::int32_t>(height);
    state.bmpInfoHeader.biPlanes = 1;
    state.bmpInfoHeader.biBitCount = static_cast<std::uint16_t>(bpp);
    state.bmpPaletteCount = BmpPaletteCountFor(bpp);
    state.bmpPixelSize = static_cast<std::uint32_t>(pixelSize);
    state.bmpRowSize = static_cast<std::uint32_t>(bmpRow);
    state.bmpPalette = std::move(palette);
    state.bmpPixels = std::move(pixels);
    state.sidecarData = std::move(*sidecar);
    state.sidecarSize = static_cast<std::uint32_t>(state.sidecarData.size());
    return {};
}

Error ConvertBmpToTim(ImageState& state, OriginsRequest& request) {
    const BmpInfoHeader& info = state.bmpInfoHeader;
    if (!IsReadableBmpInfoHeaderSize(info.biSize)) {
        return Error(ErrorCode::BadBiSize);
    }
    const std::uint32_t bpp = state.bpp;
    Error unanswered;
    const SidecarContent content = OriginsFromSidecarOrUser(state, request, unanswered);
    if (unanswered) {
        return unanswered;
    }
    if (!IsConvertibleDepth(bpp)) {
        return Error(ErrorCode::BppNotSupported);
    }
    if (info.biWidth < 0 || info.biHeight < 0) {
        return Error(ErrorCode::TooLargeForTim);
    }
    const auto width = static_cast<std::uint64_t>(info.biWidth);
    const auto height = static_cast<std::uint64_t>(info.biHeight);
    const std::uint64_t units = TimUnitsForWidth(bpp, width);
    if (units > 0xFFFF || height > 0xFFFF) {
        return Error(ErrorCode::TooLargeForTim);
    }
    const std::uint64_t timRow = units * 2;
    const std::uint64_t imageDataSize = timRow * height;
    if (imageDataSize >= kMaxImageDataSize) {
        return Error(ErrorCode::ImageBeyond1Gig);
    }
    const std::uint32_t paletteCount = BmpPaletteCountFor(bpp);
    const std::uint64_t clutDataSize = std::uint64_t{content.setCount} * paletteCount * 2;

    std::vector<std::uint8_t> clut = Reuse(state.clutData);
    PixelBytes pixels = Reuse(state.imageData);
    const std::uint64_t bmpRow = state.bmpRowSize;
    try {
        clut.resize(clutDataSize);
        MakePixelRoom(pixels, imageDataSize + 1);
        AppendRowsMirrored(bpp,
                           {Present(state.bmpPixels, state.bmpPixelSize), bmpRow, timRow, height,
                            std::min({timRow, BmpRowDataSize(bpp, width), bmpRow})},
                           pixels);
        // One spare byte as the TIM reader keeps, so that even an empty image
        // counts as loaded.
        pixels.push_back(0);
    } catch (const std::bad_alloc&) {
        return Error(ErrorCode::NotEnoughMemory);
    }
    RestoreClutSets(content, bpp, Present(state.sidecarData, state.sidecarSize), clut);
    FillClutFromPalette(
        Present(state.bmpPalette, std::uint64_t{paletteCount} * kBmpPaletteEntrySize), bpp,
        content.paletteSet, clut);

    AdoptTimParts(state, {bpp, content, std::move(clut), std::move(pixels),
                          static_cast<std::uint16_t>(units), static_cast<std::uint16_t>(height)});
    return {};
}

Error ConvertImage(ImageState& state, bool toBmp, std::uint32_t currentSet,
                   OriginsRequest& request) {
    return toBmp ? ConvertTimToBmp(state, currentSet) : ConvertBmpToTim(state, request);
}

}  // namespace pixalto
