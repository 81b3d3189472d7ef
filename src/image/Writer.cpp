#include "image/Writer.h"

#include <algorithm>
#include <cerrno>
#include <span>
#include <vector>

#include "image/Sidecar.h"
#include "platform/ByteOrder.h"
#include "platform/FileReplace.h"

namespace pixalto {
namespace {

using Piece = std::span<const std::uint8_t>;

// A file's bytes as the pieces they come in (headers and buffers), written
// with one call.
class Pieces {
  public:
    void Add(const std::uint8_t* bytes, std::size_t count) { list_.emplace_back(bytes, count); }

    // count bytes of buffer; bytes a header promises but the buffer lacks are
    // written as zeros, so the file agrees with its own header.
    void AddBuffer(const std::vector<std::uint8_t>& buffer, std::uint64_t count) {
        const std::uint64_t present = std::min<std::uint64_t>(count, buffer.size());
        Add(buffer.data(), static_cast<std::size_t>(present));
        static const std::vector<std::uint8_t> zeros(64 * 1024, 0);
        for (std::uint64_t left = count - present; left != 0;) {
            const auto chunk =
                static_cast<std::size_t>(std::min<std::uint64_t>(left, zeros.size()));
            Add(zeros.data(), chunk);
            left -= chunk;
        }
    }

    bool WriteTo(File& file) const { return file.WritePieces(list_); }

  private:
    std::vector<Piece> list_;
};

void StoreTimBlockHeader(std::uint8_t* header, std::uint32_t length, std::uint16_t x,
                         std::uint16_t y, std::uint16_t width, std::uint16_t height) {
    WriteU32LE(header, length);
    WriteU16LE(header + 4, x);
    WriteU16LE(header + 6, y);
    WriteU16LE(header + 8, width);
    WriteU16LE(header + 10, height);
}

bool WriteTim(const ImageState& state, File& file) {
    std::uint8_t clutHeader[kTimBlockHeaderSize];
    std::uint8_t imageHeader[kTimBlockHeaderSize];
    Pieces pieces;
    pieces.Add(state.fileId.data(), state.fileId.size());
    pieces.Add(state.flags.data(), state.flags.size());
    // The CLUT block follows the depth, not the CLUT bit of the mode.
    if (HasClut(state.bpp)) {
        StoreTimBlockHeader(clutHeader, state.clutBlockLength, state.clutOrgX, state.clutOrgY,
                            state.clutWidth, state.clutHeight);
        pieces.Add(clutHeader, sizeof clutHeader);
        pieces.AddBuffer(state.clutData, state.clutDataSize);
    }
    StoreTimBlockHeader(imageHeader, state.imageBlockLength, state.imageOrgX, state.imageOrgY,
                        state.imageWidth, state.imageHeight);
    pieces.Add(imageHeader, sizeof imageHeader);
    pieces.AddBuffer(state.imageData, state.imageDataSize);
    return pieces.WriteTo(file);
}

bool WriteBmp(const ImageState& state, File& file) {
    std::uint8_t headers[kBmpHeadersSize];
    StoreBmpFileHeader(state.bmpFileHeader, headers);
    StoreBmpInfoHeader(state.bmpInfoHeader, headers + kBmpFileHeaderSize);
    Pieces pieces;
    pieces.Add(headers, sizeof headers);
    if (!state.bmpPalette.empty()) {
        pieces.AddBuffer(state.bmpPalette,
                         std::uint64_t{state.bmpPaletteCount} * kBmpPaletteEntrySize);
    }
    pieces.AddBuffer(state.bmpPixels, state.bmpPixelSize);
    return pieces.WriteTo(file);
}

bool WriteSidecar(const ImageState& state, File& file) {
    Pieces pieces;
    pieces.AddBuffer(state.sidecarData, state.sidecarSize);
    return pieces.WriteTo(file);
}

// Writes a created pending file in full and flushes it.
template <typename Write>
Error Fill(PendingFile& pending, Write write) {
    if (!write(pending.file()) || !pending.Finish()) {
        return pending.LastError();
    }
    return {};
}

// Creates, fills and commits one file.
template <typename Write>
Error WriteAlone(PendingFile& pending, Write write) {
    if (!pending.Create()) {
        return pending.LastError();
    }
    if (Error error = Fill(pending, write)) {
        return error;
    }
    return pending.Commit() ? Error() : pending.LastError();
}

// Both files are complete and on the disk before either takes its place; the
// sidecar goes first, and comes back as it was should the BMP then fail.
Error WriteBmpWithSidecar(const ImageState& state, const std::string& path) {
    PendingFile bmp(path);
    const auto writeBmp = [&](File& file) { return WriteBmp(state, file); };
    if (state.sidecarSize == 0) {
        return WriteAlone(bmp, writeBmp);
    }
    // A BMP named like its own sidecar (x.tmext) would be replaced by it.
    if (SidecarPathFor(path) == path) {
        return Error(ErrorCode::FailedSavingBmp, path, EINVAL,
                     "a BMP can't be named like its sidecar file (.tmext)");
    }
    PendingFile sidecar(SidecarPathFor(path));
    // Both targets are checked before a byte is written, the BMP first: a
    // refused target (or a folder that isn't there) is reported by the name
    // the user gave, and leaves no new sidecar behind.
    if (!bmp.Create()) {
        return bmp.LastError();
    }
    if (!sidecar.Create()) {
        return sidecar.LastError();
    }
    if (Error error = Fill(sidecar, [&](File& file) { return WriteSidecar(state, file); })) {
        return error;
    }
    if (Error error = Fill(bmp, writeBmp)) {
        return error;
    }
    return CommitBoth(sidecar, bmp);
}

}  // namespace

Error WriteImageFile(const ImageState& state, const std::string& path, bool asTim) {
    Error error;
    if (asTim) {
        PendingFile tim(path);
        error = WriteAlone(tim, [&](File& file) { return WriteTim(state, file); });
    } else {
        error = WriteBmpWithSidecar(state, path);
    }
    return error ? error.As(asTim ? ErrorCode::FailedSavingTim : ErrorCode::FailedSavingBmp)
                 : Error();
}

}  // namespace pixalto
