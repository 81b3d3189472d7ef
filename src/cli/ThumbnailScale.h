#pragma once
// Fitting a painted picture into a square for a thumbnail: small pictures
// grow by a whole factor, each pixel a block, so pixel art stays sharp;
// large ones shrink by averaging the area each thumbnail pixel covers, with
// transparency weighed in.

#include <span>
#include <vector>

#include "platform/Surface.h"

namespace pixalto::cli {

struct ScaledPicture {
    int width = 0;
    int height = 0;
    std::vector<Pixel> pixels;  // row by row, 0xAARRGGBB
};

// The picture of width x height pixels (row by row; alpha 0 is transparent)
// fitted into size x size, keeping its proportions. Returns it unscaled when
// it already fits and no whole factor of 2 or more does; an empty picture for
// an empty input or a size below 1.
ScaledPicture ScaleToFit(std::span<const Pixel> pixels, int width, int height, int size);

}  // namespace pixalto::cli
