#pragma once
// Copies through the jobs' one work buffer, in pieces of at most
// kWorkBufferSize bytes: between files from each one's current position, and
// between a file and the data of a RAW file, wherever its bytes come from.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/File.h"
#include "raw/Job.h"

namespace pixalto::raw {

enum class CopyResult { Done, SourceEnded, WriteFailed };

// Moves count bytes through buffer, which is resized to the work size, one
// piece at a time: read(done, data, size) fills data and returns how many
// bytes it got, write(done, data, size) says whether all of them went out;
// done counts the bytes moved before the piece. A source that gives fewer
// bytes than asked stops the copy with SourceEnded.
template <typename Read, typename Write>
CopyResult CopyInPieces(std::uint64_t count, std::vector<std::uint8_t>& buffer, Read read,
                        Write write) {
    buffer.resize(kWorkBufferSize);
    for (std::uint64_t done = 0; done < count;) {
        const auto piece =
            static_cast<std::size_t>(std::min<std::uint64_t>(count - done, buffer.size()));
        if (read(done, buffer.data(), piece) != piece) {
            return CopyResult::SourceEnded;
        }
        if (!write(done, static_cast<const std::uint8_t*>(buffer.data()), piece)) {
            return CopyResult::WriteFailed;
        }
        done += piece;
    }
    return CopyResult::Done;
}

// Copies count bytes from `from` to `to`, each from its current position.
CopyResult CopyBytes(File& from, File& to, std::uint64_t count, std::vector<std::uint8_t>& buffer);

}  // namespace pixalto::raw
