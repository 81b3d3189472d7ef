#include "raw/FileCopy.h"

namespace pixalto::raw {

Error CopyBytes(File& from, File& to, std::uint64_t count, std::vector<std::uint8_t>& buffer) {
    return CopyInPieces(
        count, buffer,
        [&](std::uint64_t, std::uint8_t* data, std::size_t size) {
            if (from.Read(data, size) == size) {
                return Error();
            }
            return from.LastError() ? from.LastError()
                                    : Error(ErrorCode::CouldntOpenFile, from.GetFilePath());
        },
        [&](std::uint64_t, const std::uint8_t* data, std::size_t size) {
            return to.Write(data, size) ? Error() : to.LastError();
        });
}

}  // namespace pixalto::raw
