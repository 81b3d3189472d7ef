#pragma once
// Painting an image for a PNG, and writing the picture as a PNG file
// through the safe replacement: an old PNG stays whole until the new one is.

#include <optional>
#include <span>
#include <string>

#include "image/Paint.h"
#include "platform/Surface.h"

namespace pixalto::cli {

// The image painted with view on a surface as large as what it draws, its
// undrawn pixels transparent. Sized by the pixels that exist: a header that
// claims 65535 x 65535 pixels over a few bytes paints those bytes, not 16 GiB
// of nothing. Nothing, with the reason on stderr, when it draws no pixel.
std::optional<MemorySurface> PaintForPng(ImageState& state, const ViewOptions& view);

// Writes width x rows pixels (0xAARRGGBB) to path. Returns the exit code; a
// failure is reported on stderr with the file and the system's reason.
int WritePngFile(const std::string& path, int width, int rows, std::span<const Pixel> pixels);

}  // namespace pixalto::cli
