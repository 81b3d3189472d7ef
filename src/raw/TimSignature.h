#pragma once
// The test that decides whether a TIM starts at an offset of a RAW file: a
// valid ID and flag word, and block lengths that agree with the widths and
// heights stored in the block headers.

#include <cstddef>
#include <cstdint>
#include <optional>

#include "disc/DiscView.h"
#include "image/TimFormat.h"
#include "platform/ByteOrder.h"

namespace pixalto::raw {

// The bytes of a RAW file's data at any offset. Bytes inside the current scan
// block come from memory; headers that lie past it are read through the view,
// so a candidate near a block's end sees the same bytes as anywhere else.
class RawBytes {
  public:
    explicit RawBytes(disc::DiscView& view) : view_(view), maxLength_(view.MaxLength()) {}

    void SetWindow(std::uint64_t start, const std::uint8_t* data, std::size_t size);

    // Copies count bytes at offset into out; false when any of them lies past
    // the end of the data.
    bool Get(std::uint64_t offset, std::uint8_t* out, std::size_t count);
    // Whether the data holds count bytes from offset on.
    bool Holds(std::uint64_t offset, std::uint64_t count);

  private:
    disc::DiscView& view_;
    std::uint64_t maxLength_;
    std::uint64_t windowStart_ = 0;
    const std::uint8_t* window_ = nullptr;
    std::size_t windowSize_ = 0;
};

struct TimDimensions {
    std::uint16_t width = 0;   // the image block's width field (16-bit units)
    std::uint16_t height = 0;  // its height field
};

// Whether a TIM can start at a candidate, judged from the bytes in memory
// from it on (inMemory of them, at least its 8 header bytes) and the data
// left from it on (left bytes). False only where the full test below fails
// too; it answers most candidates with a load or two and no reads: the header
// as one 64-bit word under a mask, then the first block's length against what
// is left of the data, then against its width and height.
inline bool CanStartTim(const std::uint8_t* candidate, std::size_t inMemory, std::uint64_t left) {
    // The identifier word 0x10, and a flag word with nothing above its mode.
    constexpr std::uint64_t kHeaderMask = 0xFFFFFF00'FFFFFFFFull;
    const std::uint64_t header = ReadU64LE(candidate);
    const auto mode = static_cast<std::uint8_t>(header >> 32);
    if ((header & kHeaderMask) != kTimId[0] || BppForMode(mode) == 0) {
        return false;
    }
    constexpr std::size_t kHeaders = TimHeader::kSize + BlockHeader::kSize;
    if (left < kHeaders) {
        return false;  // the first block header runs past the end
    }
    if (inMemory < kHeaders) {
        return true;  // the full test reads it
    }
    const BlockHeader first = BlockHeader::From(std::span<const std::uint8_t, BlockHeader::kSize>(
        candidate + TimHeader::kSize, BlockHeader::kSize));
    if (pixalto::HasClut(BppForMode(mode))) {
        // The image block header after the CLUT block must fit in the data.
        return first.length <= left - kHeaders && first.LengthMatches();
    }
    return first.LengthMatches() && first.width != 0 && first.height != 0 &&
           std::uint64_t{first.width} * first.height <= left - TimHeader::kSize;
}

// The image block's width and height when a TIM header passes at offset, else
// nothing. Lengths are compared in 64 bits, so a product that only matches
// after wrapping around 32 bits is not taken for a TIM.
std::optional<TimDimensions> TestTimSignature(RawBytes& bytes, std::uint64_t offset);

}  // namespace pixalto::raw
