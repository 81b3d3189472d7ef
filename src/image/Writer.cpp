#include "image/Writer.h"

#include <algorithm>
#include <cerrno>
#include <vector>

#include "image/Sidecar.h"
#include "platform/ByteOrder.h"
#include "platform/FileFailure.h"
#include "platform/FileReplace.h"

namespace pixalto {
namespace {

// Writes count bytes of buffer; bytes a header promises but the buffer lacks
// are written as zeros, so the file agrees with its own header.
bool WriteBuffer(File& file, const std::vector<std::uint8_t>& buffer, std::uint64_t count) {
    const std::uint64_t present = std::min<std::uint64_t>(count, buffer.size());
    if (!file.Write(buffer.data(), present)) {
        return false;
    }
    static const std::vector<std::uint8_t> zeros(4096, 0);
    for (std::uint64_t left = count - present; left != 0;) {
        const std::uint64_t chunk = std::min<std::uint64_t>(left, zeros.size());
        if (!file.Write(zeros.data(), chunk)) {
            return false;
        }
        left -= chunk;
    }
    return true;
}

bool WriteTimBlockHeader(File& file, std::uint32_t length, std::uint16_t x, std::uint16_t y,
                         std::uint16_t width, std::uint16_t height) {
    std::uint8_t header[kTimBlockHeaderSize];
    WriteU32LE(header, length);
    WriteU16LE(header + 4, x);
    WriteU16LE(header + 6, y);
    WriteU16LE(header + 8, width);
    WriteU16LE(header + 10, height);
    return file.Write(header, sizeof header);
}

bool WriteTim(const ImageState& state, File& file) {
    // The CLUT block follows the depth, not the CLUT bit of the mode.
    const bool clut = HasClut(state.bpp);
    return file.Write(state.fileId.data(), state.fileId.size()) &&
           file.Write(state.flags.data(), state.flags.size()) &&
           (!clut || (WriteTimBlockHeader(file, state.clutBlockLength, state.clutOrgX,
                                          state.clutOrgY, state.clutWidth, state.clutHeight) &&
                      WriteBuffer(file, state.clutData, state.clutDataSize))) &&
           WriteTimBlockHeader(file, state.imageBlockLength, state.imageOrgX, state.imageOrgY,
                               state.imageWidth, state.imageHeight) &&
           WriteBuffer(file, state.imageData, state.imageDataSize);
}

bool WriteBmp(const ImageState& state, File& file) {
    std::uint8_t headers[kBmpHeadersSize];
    StoreBmpFileHeader(state.bmpFileHeader, headers);
    StoreBmpInfoHeader(state.bmpInfoHeader, headers + kBmpFileHeaderSize);
    return file.Write(headers, sizeof headers) &&
           (state.bmpPalette.empty() ||
            WriteBuffer(file, state.bmpPalette,
                        std::uint64_t{state.bmpPaletteCount} * kBmpPaletteEntrySize)) &&
           WriteBuffer(file, state.bmpPixels, state.bmpPixelSize);
}

template <typename Write>
bool WritePending(PendingFile& pending, Write write) {
    return pending.Create() && write(pending.file()) && pending.Finish();
}

// Both files are complete and on the disk before either takes its place; the
// sidecar goes first, and comes back as it was should the BMP then fail.
bool WriteBmpWithSidecar(const ImageState& state, const std::string& path) {
    PendingFile bmp(path);
    if (state.sidecarSize == 0) {
        return WritePending(bmp, [&](File& file) { return WriteBmp(state, file); }) && bmp.Commit();
    }
    // A BMP named like its own sidecar (x.tmext) would be replaced by it.
    if (SidecarPathFor(path) == path) {
        NoteFileFailure(path, EINVAL, "a BMP can't be named like its sidecar file (.tmext)");
        return false;
    }
    PendingFile sidecar(SidecarPathFor(path));
    // Both targets are checked before a byte is written, so a refused BMP
    // target leaves no new sidecar behind.
    return WritePending(sidecar,
                        [&](File& file) {
                            return WriteBuffer(file, state.sidecarData, state.sidecarSize);
                        }) &&
           WritePending(bmp, [&](File& file) { return WriteBmp(state, file); }) &&
           CommitBoth(sidecar, bmp);
}

}  // namespace

bool WriteImageFile(const ImageState& state, const std::string& path, bool asTim) {
    if (!asTim) {
        return WriteBmpWithSidecar(state, path);
    }
    PendingFile tim(path);
    return WritePending(tim, [&](File& file) { return WriteTim(state, file); }) && tim.Commit();
}

}  // namespace pixalto
