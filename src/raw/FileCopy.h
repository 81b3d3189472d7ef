#pragma once
// Copies between files through the jobs' one work buffer, in pieces of at
// most kWorkBufferSize bytes, from each file's current position.

#include <cstdint>
#include <vector>

#include "platform/File.h"

namespace pixalto::raw {

// Copies count bytes from `from` to `to`; buffer is resized to the work size.
// Returns the failure: a source that ends early is CouldntOpenFile about it
// (with errno when the system failed the read), a write the file's failure.
Error CopyBytes(File& from, File& to, std::uint64_t count, std::vector<std::uint8_t>& buffer);

}  // namespace pixalto::raw
