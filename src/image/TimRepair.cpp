#include "image/TimRepair.h"

#include <algorithm>
#include <cstdio>

#include "image/TimFormat.h"
#include "platform/ByteOrder.h"

namespace pixalto {
namespace {

constexpr std::size_t kModeOffset = 4;
constexpr std::size_t kHeadSize = kTimIdSize + kTimFlagsSize;

std::string Hex(const std::uint8_t* bytes, std::size_t count) {
    std::string text;
    for (std::size_t i = 0; i < count; ++i) {
        char digits[4];
        std::snprintf(digits, sizeof digits, "%s%02X", i == 0 ? "" : " ", bytes[i]);
        text += digits;
    }
    return text;
}

// A block to be mended: where its header is and what its length should be.
struct BlockFix {
    const char* name;
    std::size_t offset = 0;
    std::uint32_t length = 0;
};

// Finds the length the block at offset should have; "" or the reason it can't.
// The block's data, as its width and height measure it, must lie in bytes.
Error PlanBlock(std::span<const std::uint8_t> bytes, std::size_t offset, std::uint64_t maxDataSize,
                BlockFix& fix) {
    if (offset > bytes.size() || kTimBlockHeaderSize > bytes.size() - offset) {
        return Error(ErrorCode::FileTooSmall);
    }
    const std::uint8_t* header = bytes.data() + offset;
    const std::uint64_t needed = BlockLengthFor(ReadU16LE(header + 8), ReadU16LE(header + 10));
    if (needed > bytes.size() - offset) {
        return Error(ErrorCode::FileTooSmall);
    }
    if (needed - kTimBlockHeaderSize > maxDataSize) {
        return Error(ErrorCode::ImageBeyond1Gig);
    }
    fix.offset = offset;
    fix.length = static_cast<std::uint32_t>(needed);
    return {};
}

std::string LengthChange(const BlockFix& fix, std::uint32_t old) {
    return std::string(fix.name) + " block length: " + std::to_string(old) + " -> " +
           std::to_string(fix.length);
}

}  // namespace

TimRepairResult RepairTim(std::span<std::uint8_t> bytes) {
    TimRepairResult result;
    if (bytes.size() < kTimIdSize || !std::equal(kTimId.begin(), kTimId.end(), bytes.begin())) {
        result.error = Error(ErrorCode::TimHeaderNotFound);
        return result;
    }
    if (bytes.size() < kHeadSize) {
        result.error = Error(ErrorCode::FileTooSmall);
        return result;
    }
    const std::uint32_t bpp = BppForMode(bytes[kModeOffset]);
    if (bpp == 0) {
        result.error = Error(ErrorCode::InvalidTimHeader);
        return result;
    }

    // Plan every change first, so that a refusal leaves the bytes untouched.
    std::vector<BlockFix> fixes;
    std::size_t offset = kHeadSize;
    if (HasClut(bpp)) {
        BlockFix clut{"CLUT"};
        // The reader takes any CLUT length that fits in 32 bits.
        if (Error error = PlanBlock(bytes, offset, UINT32_MAX - kTimBlockHeaderSize, clut)) {
            result.error = error;
            return result;
        }
        fixes.push_back(clut);
        offset += clut.length;
    }
    BlockFix image{"image"};
    if (Error error = PlanBlock(bytes, offset, kMaxImageDataSize - 1, image)) {
        result.error = error;
        return result;
    }
    fixes.push_back(image);

    std::uint8_t* upperFlags = bytes.data() + kModeOffset + 1;
    if (upperFlags[0] != 0 || upperFlags[1] != 0 || upperFlags[2] != 0) {
        result.changes.push_back("flag word: bytes above the mode cleared (were " +
                                 Hex(upperFlags, 3) + ")");
        upperFlags[0] = upperFlags[1] = upperFlags[2] = 0;
    }
    for (const BlockFix& fix : fixes) {
        const std::uint32_t old = ReadU32LE(bytes.data() + fix.offset);
        if (old != fix.length) {
            result.changes.push_back(LengthChange(fix, old));
            WriteU32LE(bytes.data() + fix.offset, fix.length);
        }
    }
    return result;
}

std::vector<std::string> BlockLengthWarnings(const ImageState& state) {
    std::vector<std::string> warnings;
    auto check = [&](const char* name, std::uint32_t length, std::uint16_t width,
                     std::uint16_t height) {
        const std::uint64_t needed = BlockLengthFor(width, height);
        if (length != needed) {
            warnings.push_back(std::string("the ") + name + " block length is " +
                               std::to_string(length) + ", but its width and height (" +
                               std::to_string(width) + " x " + std::to_string(height) + ") need " +
                               std::to_string(needed));
        }
    };
    if (HasClut(state.bpp)) {
        check("CLUT", state.clutBlockLength, state.clutWidth, state.clutHeight);
    }
    check("image", state.imageBlockLength, state.imageWidth, state.imageHeight);
    return warnings;
}

}  // namespace pixalto
