#include "raw/FileCopy.h"

namespace pixalto::raw {

CopyResult CopyBytes(File& from, File& to, std::uint64_t count, std::vector<std::uint8_t>& buffer) {
    return CopyInPieces(
        count, buffer,
        [&](std::uint64_t, std::uint8_t* data, std::size_t size) { return from.Read(data, size); },
        [&](std::uint64_t, const std::uint8_t* data, std::size_t size) {
            return to.Write(data, size);
        });
}

}  // namespace pixalto::raw
