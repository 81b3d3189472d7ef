#pragma once

#include <string>

#include "image/ImageState.h"
#include "platform/Error.h"

namespace pixalto {

// Stores the image at path: the TIM side in the TIM layout when asTim, else
// the BMP side, with the sidecar file beside it (same folder and title,
// ".tmext") when it has sidecar content. Every value is written as held in
// state. Files are replaced only once all of their bytes are written: on any
// failure (FailedSavingTim or FailedSavingBmp, naming the file and the
// system's reason) no file is new or changed.
Error WriteImageFile(const ImageState& state, const std::string& path, bool asTim);

}  // namespace pixalto
