#pragma once
// Copies through the jobs' one work buffer, in pieces of at most
// kWorkBufferSize bytes: between files from each one's current position, and
// between a file and the data of a RAW file, wherever its bytes come from.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/Error.h"
#include "platform/File.h"
#include "raw/Job.h"

namespace pixalto::raw {

// Moves count bytes through buffer, which is resized to the work size, one
// piece at a time: read(done, data, size) fills data with exactly size bytes,
// write(done, data, size) sends them on; done counts the bytes moved before
// the piece. Each returns the failure that stops the copy, if any.
template <typename Read, typename Write>
Error CopyInPieces(std::uint64_t count, std::vector<std::uint8_t>& buffer, Read read, Write write) {
    buffer.resize(kWorkBufferSize);
    for (std::uint64_t done = 0; done < count;) {
        const auto piece =
            static_cast<std::size_t>(std::min<std::uint64_t>(count - done, buffer.size()));
        if (Error error = read(done, buffer.data(), piece)) {
            return error;
        }
        if (Error error = write(done, static_cast<const std::uint8_t*>(buffer.data()), piece)) {
            return error;
        }
        done += piece;
    }
    return {};
}

// Copies count bytes from `from` to `to`; buffer is resized to the work size.
// Returns the failure: a source that ends early is CouldntOpenFile about it
// (with errno when the system failed the read), a write the file's failure.
Error CopyBytes(File& from, File& to, std::uint64_t count, std::vector<std::uint8_t>& buffer);

}  // namespace pixalto::raw
