#pragma once
// Showing one TIM of a RAW file: the window's double click on a list row and
// pixalto-cli's --offset both load the TIM at a position the scan listed.

#include <cstdint>
#include <string>

#include "image/ImageState.h"
#include "raw/RawData.h"

namespace pixalto::raw {

// Loads the TIM that starts at position of the file at path into state (its
// previous buffers released first). In a raw CD image (as choice decides)
// position is an offset in the file and the TIM is read from the sectors'
// data, wherever its bytes lie. Returns none on success, CouldntOpenFile
// when the file can't be opened or read, the data's failure for a position
// that holds no byte of the data (RawData::OutsideData), or the TIM
// reader's.
Error LoadTimAt(const std::string& path, std::uint64_t position, LayoutChoice choice,
                ImageState& state);
// The same from a RAW file already open, read with the layout it has.
Error LoadTimAt(RawData& data, std::uint64_t position, ImageState& state);

}  // namespace pixalto::raw
