#pragma once

#include <span>
#include <string>

#include "platform/Surface.h"

namespace pixalto::cli {

// Writes width x height pixels (row by row, 0xAARRGGBB) as an 8-bit RGBA PNG.
// Returns "" on success or what went wrong.
std::string WritePng(const std::string& path, int width, int height, std::span<const Pixel> pixels);

}  // namespace pixalto::cli
