#pragma once
// Mending TIMs that other tools wrote carelessly. The reader trusts the flag
// word and both block lengths as they stand; some files in the wild carry junk
// in the flag word's upper bytes, or a block length that disagrees with the
// block's own width and height although the file holds all the data those
// need. Repair puts such headers right, working on the file's bytes, so that
// the reader then takes the whole image. It never moves or adds a byte.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "image/ImageState.h"
#include "platform/Error.h"

namespace pixalto {

// The length a block of width x height 16-bit units has, counting its own
// 12-byte header. 64-bit: 65535 x 65535 units need more than 32 bits.
constexpr std::uint64_t BlockLengthFor(std::uint16_t width, std::uint16_t height) {
    return 12 + 2 * std::uint64_t{width} * height;
}

struct TimRepairResult {
    // None when bytes hold a TIM that could be repaired (or needed nothing);
    // otherwise the reader's failure for what is wrong, and bytes are unchanged.
    Error error;
    // What was changed, one line each, in file order; empty when nothing was.
    std::vector<std::string> changes;
};

// Repairs the TIM that starts at bytes[0], in place: clears the flag word's
// bytes above the mode, and sets each block length to what the block's width
// and height need. The blocks are taken to lie where their widths and heights
// put them, which is where the repaired lengths put them too. Refused, with
// nothing changed: no identifier, a mode the reader doesn't take, a block
// whose data the bytes don't hold, or pixel data the reader's bound refuses.
TimRepairResult RepairTim(std::span<std::uint8_t> bytes);

// For a loaded TIM: one line for each block whose length disagrees with its
// width and height (the reader trusts the length, so such an image shows more
// or fewer pixels than its header's size says). Empty when both agree.
std::vector<std::string> BlockLengthWarnings(const ImageState& state);

}  // namespace pixalto
