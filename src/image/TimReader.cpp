#include <new>
#include <optional>
#include <type_traits>

#include "image/FileRead.h"
#include "image/LoadImage.h"
#include "image/PixelBuffer.h"

namespace pixalto {
namespace {

// The next 12 bytes of the file as a block header; nothing when it ends first.
std::optional<BlockHeader> ReadBlockHeader(File& file) {
    std::uint8_t bytes[BlockHeader::kSize];
    if (!ReadExactly(file, bytes, sizeof bytes)) {
        return std::nullopt;
    }
    return BlockHeader::From(bytes);
}

// Sizes the buffer to count bytes; false when memory runs out. The bytes are
// not cleared: the caller reads over every one of them at once (ReadExactly
// zeroes what a short file lacks), so the pixels, which are never cleared on
// a resize, cost nothing but the reading, and the CLUT only the part that
// grows. Pixels get the room of most images.
template <class Buffer>
bool Allocate(Buffer& buffer, std::size_t count) {
    try {
        if constexpr (std::is_same_v<Buffer, PixelBytes>) {
            MakePixelRoom(buffer, count);
        }
        buffer.resize(count);
        return true;
    } catch (const std::bad_alloc&) {
        buffer = {};
        return false;
    }
}

Error ReadClutBlock(ImageState& state, File& file) {
    const auto header = ReadBlockHeader(file);
    if (!header) {
        return Error(ErrorCode::FileTooSmall);
    }
    state.SetClutBlock(*header);
    // A length below its own header would wrap to a 4 GiB CLUT.
    if (header->length < BlockHeader::kSize) {
        return Error(ErrorCode::NotEnoughMemory);
    }
    state.clutDataSize = header->DataSize();
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
    state.SetClutBlock({});
    state.clutDataSize = 0;
    state.clutData.clear();  // its memory serves the next image with a CLUT
}

}  // namespace

Error LoadTim(ImageState& state, File& file) {
    std::uint8_t bytes[TimHeader::kSize] = {};
    const std::size_t got = file.Read(bytes, sizeof bytes);
    const TimHeader head = TimHeader::FromPrefix({bytes, got});
    state.fileId = head.id;
    state.flags = head.flags;
    // The zeros left by a short read must not complete an identifier or flags.
    if (got < kTimIdSize || !head.HasId()) {
        return Error(ErrorCode::TimHeaderNotFound);
    }

    state.bpp = head.Bpp();
    if (got < TimHeader::kSize || !head.IsValid()) {
        return Error(ErrorCode::InvalidTimHeader);
    }

    if (head.HasClut()) {
        if (Error error = ReadClutBlock(state, file)) {
            return error;
        }
    } else {
        ClearClutBlock(state);
    }

    const auto image = ReadBlockHeader(file);
    if (!image) {
        return Error(ErrorCode::FileTooSmall);
    }
    state.SetImageBlock(*image);
    state.pixelWidth = PixelWidthFor(state.bpp, image->width);
    // A block length below 12 wraps to a huge size, refused by this bound.
    state.imageDataSize = image->DataSize();
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
    state.imageData[state.imageDataSize] = 0;
    return {};
}

}  // namespace pixalto
