#pragma once
// Painting an image for a PNG, and writing the picture as a PNG file
// through the safe replacement: an old PNG stays whole until the new one is.

#include <optional>
#include <span>
#include <string>

#include "image/Paint.h"
#include "platform/Surface.h"

namespace pixalto::cli {

// The size of the picture the image paints with view: the pixels that exist.
// A header that claims 65535 x 65535 pixels over a few bytes paints those
// bytes, not 16 GiB of nothing. Nothing, with the reason on stderr, when it
// draws no pixel.
std::optional<DrawableExtent> ExtentForPng(const ImageState& state, const ViewOptions& view);

// The image painted with view on a surface of that size, its undrawn pixels
// transparent; nothing (as above) when it draws no pixel.
std::optional<MemorySurface> PaintForPng(ImageState& state, const ViewOptions& view);

// Writes width x rows pixels (0xAARRGGBB) to path. Returns the exit code; a
// failure is reported on stderr with the file and the system's reason.
// quick: as WritePng takes it.
int WritePngFile(const std::string& path, int width, int rows, std::span<const Pixel> pixels,
                 bool quick = false);

}  // namespace pixalto::cli
