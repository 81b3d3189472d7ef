#pragma once
// PNG output through whatever takes the bytes: a file being replaced safely,
// or standard output.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>

#include "platform/Surface.h"

namespace pixalto::cli {

// Takes the next count bytes of the PNG; false when they couldn't be stored.
using ByteSink = std::function<bool(const std::uint8_t* bytes, std::size_t count)>;

// Encodes width x height pixels (row by row, 0xAARRGGBB with their alpha,
// undrawn ones fully transparent) as an 8-bit RGBA PNG into sink. False when the size is empty,
// the encoder failed or the sink refused bytes (nothing more is given to it
// after a refusal).
// With quick, the cheapest compression (fast deflate, one filter for every
// row): for thumbnails, whose time counts more than their size.
bool WritePng(int width, int height, std::span<const Pixel> pixels, const ByteSink& sink,
              bool quick = false);

}  // namespace pixalto::cli
