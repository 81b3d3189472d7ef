#include <new>

#include "image/FileRead.h"
#include "image/LoadImage.h"
#include "image/Messages.h"
#include "platform/ByteOrder.h"

namespace pixalto {
namespace {

std::string ReadClutBlock(ImageState& state, File& file) {
    std::uint8_t header[kTimBlockHeaderSize];
    if (!ReadExactly(file, header, sizeof header)) {
        return msg::kFileTooSmall;
    }
    state.clutBlockLength = ReadU32LE(header);
    state.clutOrgX = ReadU16LE(header + 4);
    state.clutOrgY = ReadU16LE(header + 6);
    state.clutWidth = ReadU16LE(header + 8);
    state.clutHeight = ReadU16LE(header + 10);
    // A length below its own header would wrap to a 4 GiB CLUT.
    if (state.clutBlockLength < kTimBlockHeaderSize) {
        return msg::kNotEnoughMemory;
    }
    state.clutDataSize = state.clutBlockLength - kTimBlockHeaderSize;
    if (!FitsInFile(file, state.clutDataSize)) {
        return msg::kFileTooSmall;
    }
    try {
        state.clutData.assign(state.clutDataSize, 0);
    } catch (const std::bad_alloc&) {
        state.clutData = {};
        return msg::kNotEnoughMemory;
    }
    ReadExactly(file, state.clutData.data(), state.clutDataSize);
    return {};
}

void ClearClutBlock(ImageState& state) {
    state.clutBlockLength = 0;
    state.clutOrgX = state.clutOrgY = 0;
    state.clutWidth = state.clutHeight = 0;
    state.clutDataSize = 0;
    state.clutData = {};
}

}  // namespace

std::string LoadTim(ImageState& state, File& file) {
    std::uint8_t head[kTimIdSize + kTimFlagsSize] = {};
    const std::size_t got = file.Read(head, sizeof head);
    std::copy(head, head + 4, state.fileId.begin());
    std::copy(head + 4, head + 8, state.flags.begin());
    // The zeros left by a short read must not complete an identifier or flags.
    if (got < kTimIdSize || state.fileId != kTimId) {
        return msg::kTimHeaderNotFound;
    }

    state.bpp = BppForMode(state.flags[0]);
    if (got < sizeof head || state.bpp == 0 || state.flags[1] != 0 || state.flags[2] != 0 ||
        state.flags[3] != 0) {
        return msg::kInvalidTimHeader;
    }

    if (HasClut(state.bpp)) {
        if (std::string error = ReadClutBlock(state, file); !error.empty()) {
            return error;
        }
    } else {
        ClearClutBlock(state);
    }

    std::uint8_t header[kTimBlockHeaderSize];
    if (!ReadExactly(file, header, sizeof header)) {
        return msg::kFileTooSmall;
    }
    state.imageBlockLength = ReadU32LE(header);
    state.imageOrgX = ReadU16LE(header + 4);
    state.imageOrgY = ReadU16LE(header + 6);
    state.imageWidth = ReadU16LE(header + 8);
    state.imageHeight = ReadU16LE(header + 10);

    state.pixelWidth = PixelWidthFor(state.bpp, state.imageWidth);
    // Unsigned 32-bit on purpose: a block length below 12 wraps to a huge
    // size and is refused by the bound below.
    state.imageDataSize = state.imageBlockLength - kTimBlockHeaderSize;
    if (state.imageDataSize >= kMaxImageDataSize) {
        return msg::kImageBeyond1Gig;
    }
    if (!FitsInFile(file, state.imageDataSize)) {
        return msg::kFileTooSmall;
    }

    try {
        state.imageData.assign(std::size_t{state.imageDataSize} + 1, 0);
    } catch (const std::bad_alloc&) {
        state.imageData = {};
        return msg::kNotEnoughMemory;
    }
    ReadExactly(file, state.imageData.data(), state.imageDataSize);
    return {};
}

}  // namespace pixalto
