#include "raw/RawImage.h"

#include <cstdint>
#include <new>
#include <vector>

#include "image/LoadImage.h"
#include "image/Messages.h"

namespace pixalto::raw {

std::string LoadTimAt(const std::string& path, std::uint64_t position, LayoutChoice choice,
                      ImageState& state) {
    RawData data;
    if (!data.Open(path, File::Mode::ReadRaw, choice)) {
        return kCouldntOpenFile;
    }
    return LoadTimAt(data, position, state);
}

std::string LoadTimAt(RawData& data, std::uint64_t position, ImageState& state) {
    if (!data.IsDisc()) {
        // An empty file read from its start is the TIM reader's to judge.
        if (position > 0 && position >= data.FileLength()) {
            return data.OutsideDataMessage(position);
        }
        File& file = data.file();
        if (file.Seek(static_cast<std::int64_t>(position)) < 0) {
            return kCouldntOpenFile;
        }
        state.ReleaseBuffers();
        return LoadImage(state, file, /*isTim=*/true);
    }
    // The TIM's bytes are gathered from the sectors' data and read as a file
    // of their own.
    const auto at = data.ViewOffsetOf(position);
    if (!at) {
        return data.OutsideDataMessage(position);
    }
    std::vector<std::uint8_t> bytes;
    try {
        bytes = ReadTimBytes(data.View(), *at);
    } catch (const std::bad_alloc&) {
        return msg::kNotEnoughMemory;
    }
    File memory;
    if (!memory.OpenMemory(bytes.data(), bytes.size(), data.file().GetFilePath())) {
        return msg::kNotEnoughMemory;
    }
    state.ReleaseBuffers();
    return LoadImage(state, memory, /*isTim=*/true);
}

}  // namespace pixalto::raw
