#pragma once
// Reading helpers the image readers share: every file is untrusted, so a read
// that comes up short leaves zeros, and sizes are checked against the file
// before anything is allocated for them.

#include <cstddef>
#include <cstdint>

#include "platform/File.h"

namespace pixalto {

// Reads count bytes; a short read leaves zeros in the rest and reports false.
inline bool ReadExactly(File& file, std::uint8_t* buffer, std::size_t count) {
    std::size_t got = file.Read(buffer, count);
    for (std::size_t i = got; i < count; ++i) {
        buffer[i] = 0;
    }
    return got == count;
}

// True when count bytes from position on lie inside the file.
inline bool FitsInFile(const File& file, std::int64_t position, std::uint64_t count) {
    std::int64_t length = file.GetLength();
    if (position < 0 || length < position) {
        return false;
    }
    return count <= static_cast<std::uint64_t>(length - position);
}

// The same from the current position.
inline bool FitsInFile(const File& file, std::uint64_t count) {
    return FitsInFile(file, file.GetPosition(), count);
}

}  // namespace pixalto
