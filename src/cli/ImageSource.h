#pragma once
// Opening a file and loading the image in it, as the window's open command
// does, for every sub-command that starts from an image.

#include <cstdint>
#include <string>

#include "image/ImageState.h"

namespace pixalto::cli {

inline constexpr const char* kCouldNotOpenFile = "Couldn't open file!";

// Loads the TIM at byte offset of path into state. Returns "" on success or
// the message the window would show.
std::string LoadImageFromPath(const std::string& path, std::uint64_t offset, ImageState& state);

}  // namespace pixalto::cli
