#include "raw/TimSignature.h"

#include <cstring>

#include "image/TimFormat.h"
#include "platform/ByteOrder.h"

namespace pixalto::raw {
namespace {

constexpr std::size_t kHeaderSize = kTimIdSize + kTimFlagsSize;

// A block's length must be exactly its 12-byte header plus width x height
// 16-bit units.
bool LengthMatches(std::uint32_t length, std::uint16_t width, std::uint16_t height) {
    return std::uint64_t{length} == 2 * std::uint64_t{width} * height + kTimBlockHeaderSize;
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
    std::uint8_t header[kHeaderSize];
    if (!bytes.Get(offset, header, kHeaderSize) || header[0] != kTimId[0] || header[1] != 0 ||
        header[2] != 0 || header[3] != 0 || header[5] != 0 || header[6] != 0 || header[7] != 0) {
        return std::nullopt;
    }
    std::uint8_t block[kTimBlockHeaderSize];
    std::uint64_t imageBlock = offset + kHeaderSize;
    switch (BppForMode(header[4])) {
        case 4:
        case 8:
            if (!bytes.Get(imageBlock, block, sizeof block) ||
                !LengthMatches(ReadU32LE(block), ReadU16LE(block + 8), ReadU16LE(block + 10))) {
                return std::nullopt;
            }
            imageBlock += ReadU32LE(block);
            break;
        case 16:
        case 24:
            break;
        default:
            return std::nullopt;
    }
    if (!bytes.Get(imageBlock, block, sizeof block)) {
        return std::nullopt;
    }
    TimDimensions size{ReadU16LE(block + 8), ReadU16LE(block + 10)};
    // The data bound counts width x height, not the block's byte length: an
    // image cut short by the end of the file is still listed.
    std::uint64_t units = std::uint64_t{size.width} * size.height;
    if (!LengthMatches(ReadU32LE(block), size.width, size.height) || size.width == 0 ||
        size.height == 0 || !bytes.Holds(imageBlock, units)) {
        return std::nullopt;
    }
    return size;
}

}  // namespace pixalto::raw
