#pragma once

#include <string>

#include "image/ImageState.h"
#include "platform/File.h"

namespace pixalto {

// The BMP branch of LoadImage: reads the BMP at the file's current position
// into the BMP side of state, with the sidecar file beside it.
std::string LoadBmp(ImageState& state, File& file);

}  // namespace pixalto
