#include "raw/TimSignature.h"

#include <cstring>

#include "image/TimFormat.h"

namespace pixalto::raw {
namespace {

// The block header at offset; nothing when the data ends before it does.
std::optional<BlockHeader> BlockAt(RawBytes& bytes, std::uint64_t offset) {
    std::uint8_t block[BlockHeader::kSize];
    if (!bytes.Get(offset, block, sizeof block)) {
        return std::nullopt;
    }
    return BlockHeader::From(block);
}

}  // namespace

void RawBytes::SetWindow(std::uint64_t start, const std::uint8_t* data, std::size_t size) {
    windowStart_ = start;
    window_ = data;
    windowSize_ = size;
}

bool RawBytes::Holds(std::uint64_t offset, std::uint64_t count) {
    // The cheap bound first: a header may claim gigabytes.
    if (offset > maxLength_ || count > maxLength_ - offset) {
        return false;
    }
    return view_.Reaches(offset + count);
}

bool RawBytes::Get(std::uint64_t offset, std::uint8_t* out, std::size_t count) {
    if (offset >= windowStart_ && offset - windowStart_ <= windowSize_ &&
        count <= windowSize_ - (offset - windowStart_)) {
        std::memcpy(out, window_ + (offset - windowStart_), count);
        return true;
    }
    return Holds(offset, count) && view_.Read(offset, out, count) == count;
}

std::optional<TimDimensions> TestTimSignature(RawBytes& bytes, std::uint64_t offset) {
    std::uint8_t head[TimHeader::kSize];
    if (!bytes.Get(offset, head, sizeof head)) {
        return std::nullopt;
    }
    const TimHeader header = TimHeader::From(head);
    if (!header.IsValid()) {
        return std::nullopt;
    }
    std::uint32_t clutLength = 0;
    if (header.HasClut()) {
        const auto clut = BlockAt(bytes, offset + TimHeader::kSize);
        if (!clut || !clut->LengthMatches()) {
            return std::nullopt;
        }
        clutLength = clut->length;
    }
    const std::uint64_t imageBlock = offset + header.ImageBlockOffset(clutLength);
    const auto image = BlockAt(bytes, imageBlock);
    if (!image) {
        return std::nullopt;
    }
    // The data bound counts width x height, not the block's byte length: an
    // image cut short by the end of the file is still listed.
    const std::uint64_t units = std::uint64_t{image->width} * image->height;
    if (!image->LengthMatches() || image->width == 0 || image->height == 0 ||
        !bytes.Holds(imageBlock, units)) {
        return std::nullopt;
    }
    return TimDimensions{image->width, image->height};
}

}  // namespace pixalto::raw
