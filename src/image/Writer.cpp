#include "image/Writer.h"

#include <algorithm>
#include <cerrno>
#include <span>
#include <vector>

#include "image/Sidecar.h"
#include "platform/FileFailure.h"
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

bool WriteTim(const ImageState& state, File& file) {
    std::uint8_t head[TimHeader::kSize];
    std::uint8_t clutHeader[BlockHeader::kSize];
    std::uint8_t imageHeader[BlockHeader::kSize];
    Pieces pieces;
    state.Header().Store(head);
    pieces.Add(head, sizeof head);
    // The CLUT block follows the depth, not the CLUT bit of the mode.
    if (HasClut(state.bpp)) {
        state.ClutBlock().Store(clutHeader);
        pieces.Add(clutHeader, sizeof clutHeader);
        pieces.AddBuffer(state.clutData, state.clutDataSize);
    }
    state.ImageBlock().Store(imageHeader);
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
bool Fill(PendingFile& pending, Write write) {
    return write(pending.file()) && pending.Finish();
}

// Both files are complete and on the disk before either takes its place; the
// sidecar goes first, and comes back as it was should the BMP then fail.
bool WriteBmpWithSidecar(const ImageState& state, const std::string& path) {
    PendingFile bmp(path);
    const auto writeBmp = [&](File& file) { return WriteBmp(state, file); };
    if (state.sidecarSize == 0) {
        return bmp.Create() && Fill(bmp, writeBmp) && bmp.Commit();
    }
    // A BMP named like its own sidecar (x.tmext) would be replaced by it.
    if (SidecarPathFor(path) == path) {
        NoteFileFailure(path, EINVAL, "a BMP can't be named like its sidecar file (.tmext)");
        return false;
    }
    PendingFile sidecar(SidecarPathFor(path));
    // Both targets are checked before a byte is written, the BMP first: a
    // refused target (or a folder that isn't there) is reported by the name
    // the user gave, and leaves no new sidecar behind.
    return bmp.Create() && sidecar.Create() &&
           Fill(sidecar, [&](File& file) { return WriteSidecar(state, file); }) &&
           Fill(bmp, writeBmp) && CommitBoth(sidecar, bmp);
}

}  // namespace

bool WriteImageFile(const ImageState& state, const std::string& path, bool asTim) {
    if (!asTim) {
        return WriteBmpWithSidecar(state, path);
    }
    PendingFile tim(path);
    return tim.Create() && Fill(tim, [&](File& file) { return WriteTim(state, file); }) &&
           tim.Commit();
}

}  // namespace pixalto
