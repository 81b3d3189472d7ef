#pragma once

#include <string>

#include "image/ImageState.h"

namespace pixalto {

// Stores the image at path: the TIM side in the TIM layout when asTim, else
// the BMP side, with the sidecar file beside it (same folder and title,
// ".tmext") when it has sidecar content. Every value is written as held in
// state. Files are replaced only once all of their bytes are written: on any
// failure the result is false and no file is new or changed.
bool WriteImageFile(const ImageState& state, const std::string& path, bool asTim);

}  // namespace pixalto
