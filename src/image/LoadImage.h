#pragma once

#include <string>

#include "image/ImageState.h"
#include "platform/Error.h"
#include "platform/File.h"

namespace pixalto {

// Reads one image into state from file's current position: a TIM when isTim,
// else a BMP with its sidecar. Returns the first failure, or none on success. The caller releases
// the previous image's buffers first (see ImageState::ReleaseBuffers); after a failure the state
// may hold a partly read header and CLUT, which the next load or close releases.
Error LoadImage(ImageState& state, File& file, bool isTim);

// The TIM branch on its own. It only reads forward from the current position.
Error LoadTim(ImageState& state, File& file);

}  // namespace pixalto
