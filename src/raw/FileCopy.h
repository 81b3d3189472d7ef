#pragma once
// Copies between files through the jobs' one work buffer, in pieces of at
// most kWorkBufferSize bytes, from each file's current position.

#include <cstdint>
#include <vector>

#include "platform/File.h"

namespace pixalto::raw {

enum class CopyResult { Done, SourceEnded, WriteFailed };

// Copies count bytes from `from` to `to`; buffer is resized to the work size.
// A source that ends early stops the copy with SourceEnded.
CopyResult CopyBytes(File& from, File& to, std::uint64_t count, std::vector<std::uint8_t>& buffer);

}  // namespace pixalto::raw
