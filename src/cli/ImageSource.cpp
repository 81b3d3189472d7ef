#include "cli/ImageSource.h"

#include <limits>

#include "image/LoadImage.h"
#include "platform/File.h"

namespace pixalto::cli {

std::string LoadImageFromPath(const std::string& path, std::uint64_t offset, ImageState& state) {
    File file;
    if (!file.Open(path, File::Mode::Read)) {
        return kCouldNotOpenFile;
    }
    if (offset > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()) ||
        file.Seek(static_cast<std::int64_t>(offset)) < 0) {
        return kCouldNotOpenFile;
    }
    state.ReleaseBuffers();
    return LoadImage(state, file, /*isTim=*/true);
}

}  // namespace pixalto::cli
