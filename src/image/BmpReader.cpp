#include "image/BmpReader.h"

#include <algorithm>
#include <limits>
#include <new>
#include <vector>

#include "image/FileRead.h"
#include "image/PixelBuffer.h"
#include "image/Sidecar.h"

namespace pixalto {
namespace {

constexpr std::uint64_t kMaxU32 = std::numeric_limits<std::uint32_t>::max();

// The layout of the pixel rows: the standard one when the file holds all of
// its padded rows, else the unpadded rows of older files of ours.
struct RowLayout {
    std::uint64_t rowSize = 0;
    std::uint64_t pixelSize = 0;
};

// Checks that the palette and the pixel data lie in the file and picks the
// row layout. Negative sizes (top-down or mirrored BMPs) never fit.
Error ChooseRowLayout(const ImageState& state, const File& file, RowLayout& layout) {
    const BmpInfoHeader& info = state.bmpInfoHeader;
    if (info.biWidth < 0 || info.biHeight < 0) {
        return Error(ErrorCode::FileTooSmall);
    }
    const auto width = static_cast<std::uint64_t>(info.biWidth);
    const auto height = static_cast<std::uint64_t>(info.biHeight);
    const std::uint64_t legacyRow = LegacyBmpRowSize(state.bpp, width);
    const std::uint64_t legacySize = BmpPixelBytes(legacyRow, height);
    const auto start = static_cast<std::int64_t>(state.bmpStart);
    // The headers and the whole palette must be there...
    const std::uint64_t paletteBytes = std::uint64_t{state.bmpPaletteCount} * kBmpPaletteEntrySize;
    if (!FitsInFile(file, start, BmpPaletteOffset(info.biSize) + paletteBytes)) {
        return Error(ErrorCode::FileTooSmall);
    }
    // ...and every row, in the layout that is read: the standard padded rows
    // when the file holds them all, else the unpadded rows of older files.
    const std::uint64_t paddedRow = PaddedBmpRowSize(state.bpp, width);
    const std::uint64_t paddedSize = BmpPixelBytes(paddedRow, height);
    const std::int64_t pixelStart = start + state.bmpFileHeader.bfOffBits;
    if (FitsInFile(file, pixelStart, paddedSize)) {
        layout = {paddedRow, paddedSize};
    } else if (FitsInFile(file, pixelStart, legacySize)) {
        layout = {legacyRow, legacySize};
    } else {
        return Error(ErrorCode::FileTooSmall);
    }
    if (layout.pixelSize > kMaxU32) {
        return Error(ErrorCode::NotEnoughMemory);
    }
    return {};
}

// Reads the sidecar beside the BMP whole (up to the longest layout); nothing
// when there is none.
std::vector<std::uint8_t> ReadSidecar(const File& bmpFile) {
    // Most BMPs have no sidecar: not finding one is no failure.
    File sidecar;
    if (!sidecar.Open(SidecarPathFor(bmpFile.GetFilePath()), File::Mode::Read)) {
        return {};
    }
    const std::int64_t length = std::max<std::int64_t>(sidecar.GetLength(), 0);
    std::vector<std::uint8_t> bytes(
        std::min<std::uint64_t>(static_cast<std::uint64_t>(length), kMaxSidecarSize));
    sidecar.SeekToBegin();
    ReadExactly(sidecar, bytes.data(), bytes.size());
    sidecar.Close();
    return bytes;
}

}  // namespace

std::uint64_t BmpPixelBytes(std::uint64_t rowSize, std::uint64_t height) {
    if (rowSize != 0 && height > std::numeric_limits<std::uint64_t>::max() / rowSize) {
        return std::numeric_limits<std::uint64_t>::max();
    }
    return rowSize * height;
}

Error LoadBmp(ImageState& state, File& file) {
    // The old pixel buffer's memory and bytes serve the new image: every
    // byte of it is read over below, so only the part that grows is cleared.
    PixelBytes pixels = std::move(state.bmpPixels);
    state.EmptyBmpSide();
    state.bmpStart = static_cast<std::uint64_t>(std::max<std::int64_t>(file.GetPosition(), 0));
    std::uint8_t headers[kBmpHeadersSize];
    const bool complete = ReadExactly(file, headers, sizeof headers);
    state.bmpFileHeader = ParseBmpFileHeader(headers);
    if (state.bmpFileHeader.bfType != kBmpType) {
        return Error(ErrorCode::BmpHeaderNotFound);
    }
    state.bmpInfoHeader = ParseBmpInfoHeader(headers + kBmpFileHeaderSize);
    // Zeros from a cut-off header read as no compression; the size test
    // below refuses the file.
    if (complete && state.bmpInfoHeader.biCompression != 0) {
        return Error(ErrorCode::CompressionNotSupported);
    }

    state.bpp = state.bmpInfoHeader.biBitCount;
    state.bmpPaletteCount = BmpPaletteCountFor(state.bpp);
    state.bmpPixelSize = 0;
    state.bmpRowSize = 0;
    RowLayout layout;
    if (Error error = ChooseRowLayout(state, file, layout)) {
        return error;
    }

    // The old buffers' memory is reused (a batch of files reads one after
    // the other into the same record).
    std::vector<std::uint8_t> palette = std::move(state.bmpPalette);
    std::vector<std::uint8_t> sidecar;
    state.bmpPalette.clear();
    palette.clear();
    try {
        palette.resize(std::size_t{state.bmpPaletteCount} * kBmpPaletteEntrySize);
        MakePixelRoom(pixels, layout.pixelSize);
        pixels.resize(layout.pixelSize);
        sidecar = ReadSidecar(file);
    } catch (const std::bad_alloc&) {
        return Error(ErrorCode::NotEnoughMemory);
    }
    // The palette always follows the info header, whatever bfOffBits says.
    const std::uint32_t paletteOffset = BmpPaletteOffset(state.bmpInfoHeader.biSize);
    if (file.Seek(static_cast<std::int64_t>(state.bmpStart + paletteOffset))) {
        ReadExactly(file, palette.data(), palette.size());
    }
    if (file.Seek(static_cast<std::int64_t>(state.bmpStart + state.bmpFileHeader.bfOffBits))) {
        ReadExactly(file, pixels.data(), pixels.size());
    } else {
        std::fill(pixels.begin(), pixels.end(), 0);  // nothing of the image before
    }

    state.bmpPalette = std::move(palette);
    state.bmpPixels = std::move(pixels);
    state.sidecarData = std::move(sidecar);
    state.sidecarSize = static_cast<std::uint32_t>(state.sidecarData.size());
    state.bmpPixelSize = static_cast<std::uint32_t>(layout.pixelSize);
    state.bmpRowSize = static_cast<std::uint32_t>(std::min(layout.rowSize, kMaxU32));
    return {};
}

}  // namespace pixalto
