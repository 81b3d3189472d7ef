#include "raw/RawImage.h"

#include <cstdint>
#include <new>
#include <vector>

#include "image/LoadImage.h"

namespace pixalto::raw {

Error LoadTimAt(const std::string& path, std::uint64_t position, LayoutChoice choice,
                ImageState& state) {
    RawData data;
    if (!data.Open(path, File::Mode::ReadRaw, choice)) {
        return data.file().LastError().As(ErrorCode::CouldntOpenFile);
    }
    return LoadTimAt(data, position, state);
}

Error LoadTimAt(RawData& data, std::uint64_t position, ImageState& state) {
    if (!data.IsDisc()) {
        // An empty file read from its start is the TIM reader's to judge.
        if (position > 0 && position >= data.FileLength()) {
            return data.OutsideData(position);
        }
        File& file = data.file();
        if (!file.Seek(static_cast<std::int64_t>(position))) {
            return Error(ErrorCode::CouldntOpenFile, file.GetFilePath());
        }
        state.ReleaseBuffers();
        return LoadImage(state, file, /*isTim=*/true);
    }
    // The TIM's bytes are gathered from the sectors' data and read as a file
    // of their own.
    const auto at = data.ViewOffsetOf(position);
    if (!at) {
        return data.OutsideData(position);
    }
    const Result<std::vector<std::uint8_t>> bytes = ReadTimBytes(data.View(), *at);
    if (!bytes) {
        return bytes.error();
    }
    File memory;
    if (!memory.OpenMemory(bytes->data(), bytes->size(), data.file().GetFilePath())) {
        return Error(ErrorCode::NotEnoughMemory);
    }
    state.ReleaseBuffers();
    return LoadImage(state, memory, /*isTim=*/true);
}

}  // namespace pixalto::raw
