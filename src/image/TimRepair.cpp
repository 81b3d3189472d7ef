#include "image/TimRepair.h"

#include <algorithm>
#include <cstdio>

#include "image/TimFormat.h"

namespace pixalto {
namespace {

std::string Hex(const std::uint8_t* bytes, std::size_t count) {
    std::string text;
    for (std::size_t i = 0; i < count; ++i) {
        char digits[4];
        std::snprintf(digits, sizeof digits, "%s%02X", i == 0 ? "" : " ", bytes[i]);
        text += digits;
    }
    return text;
}

// A block to be mended: where its header is, the header as it stands, and
// the length it should have.
struct BlockFix {
    const char* name;
    std::size_t offset = 0;
    BlockHeader header{};
    std::uint32_t length = 0;
};

// Finds the length the block at offset should have; "" or the reason it can't.
// The block's data, as its width and height measure it, must lie in bytes.
Error PlanBlock(std::span<const std::uint8_t> bytes, std::size_t offset, std::uint64_t maxDataSize,
                BlockFix& fix) {
    const auto header =
        offset <= bytes.size() ? BlockHeader::Parse(bytes.subspan(offset)) : std::nullopt;
    if (!header) {
        return Error(ErrorCode::FileTooSmall);
    }
    const std::uint64_t needed = header->NeededLength();
    if (needed > bytes.size() - offset) {
        return Error(ErrorCode::FileTooSmall);
    }
    if (needed - BlockHeader::kSize > maxDataSize) {
        return Error(ErrorCode::ImageBeyond1Gig);
    }
    fix.offset = offset;
    fix.header = *header;
    fix.length = static_cast<std::uint32_t>(needed);
    return {};
}

std::string LengthChange(const BlockFix& fix) {
    return std::string(fix.name) + " block length: " + std::to_string(fix.header.length) + " -> " +
           std::to_string(fix.length);
}

}  // namespace

TimRepairResult RepairTim(std::span<std::uint8_t> bytes) {
    TimRepairResult result;
    TimHeader head = TimHeader::FromPrefix(bytes);
    if (bytes.size() < kTimIdSize || !head.HasId()) {
        result.error = Error(ErrorCode::TimHeaderNotFound);
        return result;
    }
    if (bytes.size() < TimHeader::kSize) {
        result.error = Error(ErrorCode::FileTooSmall);
        return result;
    }
    if (head.Bpp() == 0) {
        result.error = Error(ErrorCode::InvalidTimHeader);
        return result;
    }

    // Plan every change first, so that a refusal leaves the bytes untouched.
    std::vector<BlockFix> fixes;
    std::size_t offset = TimHeader::kSize;
    if (head.HasClut()) {
        BlockFix clut{"CLUT"};
        // The reader takes any CLUT length that fits in 32 bits.
        if (Error error = PlanBlock(bytes, offset, UINT32_MAX - BlockHeader::kSize, clut)) {
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

    if (!head.UpperFlagsClear()) {
        result.changes.push_back("flag word: bytes above the mode cleared (were " +
                                 Hex(head.flags.data() + 1, 3) + ")");
        std::fill(head.flags.begin() + 1, head.flags.end(), 0);
        head.Store(bytes.first<TimHeader::kSize>());
    }
    for (const BlockFix& fix : fixes) {
        if (fix.header.length != fix.length) {
            result.changes.push_back(LengthChange(fix));
            BlockHeader mended = fix.header;
            mended.length = fix.length;
            mended.Store(bytes.subspan(fix.offset).first<BlockHeader::kSize>());
        }
    }
    return result;
}

std::vector<std::string> BlockLengthWarnings(const ImageState& state) {
    std::vector<std::string> warnings;
    auto check = [&](const char* name, const BlockHeader& block) {
        if (!block.LengthMatches()) {
            warnings.push_back(std::string("the ") + name + " block length is " +
                               std::to_string(block.length) + ", but its width and height (" +
                               std::to_string(block.width) + " x " + std::to_string(block.height) +
                               ") need " + std::to_string(block.NeededLength()));
        }
    };
    if (HasClut(state.bpp)) {
        check("CLUT", state.ClutBlock());
    }
    check("image", state.ImageBlock());
    return warnings;
}

}  // namespace pixalto
