#include "raw/FileCopy.h"

#include <algorithm>

#include "raw/Job.h"

namespace pixalto::raw {

Error CopyBytes(File& from, File& to, std::uint64_t count, std::vector<std::uint8_t>& buffer) {
    buffer.resize(kWorkBufferSize);
    while (count > 0) {
        auto piece = static_cast<std::size_t>(std::min<std::uint64_t>(count, buffer.size()));
        std::size_t got = from.Read(buffer.data(), piece);
        if (got < piece) {
            return from.LastError() ? from.LastError()
                                    : Error(ErrorCode::CouldntOpenFile, from.GetFilePath());
        }
        if (!to.Write(buffer.data(), piece)) {
            return to.LastError();
        }
        count -= piece;
    }
    return {};
}

}  // namespace pixalto::raw
