#include <new>

#include "image/FileRead.h"
#include "image/LoadImage.h"
#include "platform/ByteOrder.h"

namespace pixalto {
namespace {

// The 12-byte header both blocks start with: length (counting the header),
// frame-buffer X and Y, width and height.
struct BlockHeader {
    std::uint32_t length = 0;
    std::uint16_t x = 0, y = 0, width = 0, height = 0;
};

bool ReadBlockHeader(File& file, BlockHeader& header) {
    std::uint8_t bytes[kTimBlockHeaderSize];
    if (!ReadExactly(file, bytes, sizeof bytes)) {
        return false;
    }
    header.length = ReadU32LE(bytes);
    header.x = ReadU16LE(bytes + 4);
    header.y = ReadU16LE(bytes + 6);
    header.width = ReadU16LE(bytes + 8);
    header.height = ReadU16LE(bytes + 10);
    return true;
}

// Sizes the buffer to count zeroed bytes; false when memory runs out.
bool Allocate(std::vector<std::uint8_t>& buffer, std::size_t count) {
    try {
        buffer.assign(count, 0);
        return true;
    } catch (const std::bad_alloc&) {
        buffer = {};
        return false;
    }
}

Error ReadClutBlock(ImageState& state, File& file) {
    BlockHeader header;
    if (!ReadBlockHeader(file, header)) {
        return Error(ErrorCode::FileTooSmall);
    }
    state.clutBlockLength = header.length;
    state.clutOrgX = header.x;
    state.clutOrgY = header.y;
    state.clutWidth = header.width;
    state.clutHeight = header.height;
    // A length below its own header would wrap to a 4 GiB CLUT.
    if (state.clutBlockLength < kTimBlockHeaderSize) {
        return Error(ErrorCode::NotEnoughMemory);
    }
    state.clutDataSize = state.clutBlockLength - kTimBlockHeaderSize;
    if (!FitsInFile(file, state.clutDataSize)) {
        return Error(ErrorCode::FileTooSmall);
    }
    if (!Allocate(state.clutData, state.clutDataSize)) {
        return Error(ErrorCode::NotEnoughMemory);
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

Error LoadTim(ImageState& state, File& file) {
    std::uint8_t head[kTimIdSize + kTimFlagsSize] = {};
    const std::size_t got = file.Read(head, sizeof head);
    std::copy(head, head + 4, state.fileId.begin());
    std::copy(head + 4, head + 8, state.flags.begin());
    // The zeros left by a short read must not complete an identifier or flags.
    if (got < kTimIdSize || state.fileId != kTimId) {
        return Error(ErrorCode::TimHeaderNotFound);
    }

    state.bpp = BppForMode(state.flags[0]);
    if (got < sizeof head || state.bpp == 0 || state.flags[1] != 0 || state.flags[2] != 0 ||
        state.flags[3] != 0) {
        return Error(ErrorCode::InvalidTimHeader);
    }

    if (HasClut(state.bpp)) {
        if (Error error = ReadClutBlock(state, file)) {
            return error;
        }
    } else {
        ClearClutBlock(state);
    }

    BlockHeader header;
    if (!ReadBlockHeader(file, header)) {
        return Error(ErrorCode::FileTooSmall);
    }
    state.imageBlockLength = header.length;
    state.imageOrgX = header.x;
    state.imageOrgY = header.y;
    state.imageWidth = header.width;
    state.imageHeight = header.height;

    state.pixelWidth = PixelWidthFor(state.bpp, state.imageWidth);
    // Unsigned 32-bit on purpose: a block length below 12 wraps to a huge
    // size and is refused by the bound below.
    state.imageDataSize = state.imageBlockLength - kTimBlockHeaderSize;
    if (state.imageDataSize >= kMaxImageDataSize) {
        return Error(ErrorCode::ImageBeyond1Gig);
    }
    if (!FitsInFile(file, state.imageDataSize)) {
        return Error(ErrorCode::FileTooSmall);
    }

    // One spare byte, so that a loaded image's buffer is never empty.
    if (!Allocate(state.imageData, std::size_t{state.imageDataSize} + 1)) {
        return Error(ErrorCode::NotEnoughMemory);
    }
    ReadExactly(file, state.imageData.data(), state.imageDataSize);
    return {};
}

}  // namespace pixalto
