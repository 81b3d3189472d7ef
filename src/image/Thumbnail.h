#pragma once
// A small picture of an image for a list of many: painted by the same code
// as the window's image, with the first CLUT set and no transparency, and
// shrunk by nearest neighbour to fit a square; never enlarged, never
// smoothed. Only the sampled pixels are kept, so a thumbnail of a huge image
// costs a pass over its data and a few kilobytes.

#include <cstdint>
#include <vector>

#include "image/ImageState.h"
#include "platform/Surface.h"

namespace pixalto {

struct Thumbnail {
    std::uint32_t width = 0;  // 0 x 0: nothing to show
    std::uint32_t height = 0;
    std::vector<Pixel> pixels;  // row after row; kUndrawn where the data ends

    Pixel At(std::uint32_t x, std::uint32_t y) const { return pixels[y * width + x]; }
};

// The image (state.IsLoaded() must hold) fitted into maxSide x maxSide.
// state's painted extent is left as it was.
Thumbnail MakeThumbnail(ImageState& state, std::uint32_t maxSide);

}  // namespace pixalto
