#pragma once

#include <cstdint>
#include <string>

#include "image/ImageState.h"
#include "platform/File.h"

namespace pixalto {

// The BMP branch of LoadImage: reads the BMP at the file's current position
// into the BMP side of state (headers, palette, pixel rows), and the sidecar
// file beside it when there is one; a missing sidecar is not a failure. The
// TIM side is left alone. After a failure no BMP-side buffer is held.
Error LoadBmp(ImageState& state, File& file);

// Bytes of pixel data the BMP holds with rows of rowSize bytes, saturating
// instead of wrapping for sizes no file can have.
std::uint64_t BmpPixelBytes(std::uint64_t rowSize, std::uint64_t height);

}  // namespace pixalto
