#include "image/Sidecar.h"

#include <algorithm>
#include <new>

#include "platform/ByteOrder.h"
#include "platform/File.h"

namespace pixalto {
namespace {

constexpr std::uint8_t kMagic[2] = {'P', 'X'};

std::uint32_t SetsOffset(std::uint32_t setCount) {
    return setCount == 1 ? kSidecarOneSetSize : kSidecarSetsOffset;
}

// Calls copy(set index, byte offset in the sidecar) for each stored set.
template <typename Copy>
void ForEachStoredSet(const SidecarContent& content, std::uint32_t bpp, Copy copy) {
    std::uint64_t offset = SetsOffset(content.setCount);
    for (std::uint32_t set = 0; set < content.setCount; ++set) {
        if (set != content.paletteSet) {
            copy(set, offset);
            offset += SidecarSetBytes(bpp);
        }
    }
}

}  // namespace

std::uint64_t SidecarLayoutSize(std::uint32_t bpp, std::uint32_t setCount) {
    if (!SidecarHasClut(bpp)) {
        return kSidecarShortSize;
    }
    return SetsOffset(setCount) + std::uint64_t{setCount - 1} * SidecarSetBytes(bpp);
}

std::string SidecarPathFor(const std::string& bmpPath) {
    return FolderOf(bmpPath) + FileTitleOf(bmpPath) + ".tmext";
}

std::optional<SidecarContent> ParseSidecar(std::span<const std::uint8_t> bytes, std::uint32_t bpp) {
    if (bytes.size() < kSidecarShortSize || !std::equal(kMagic, kMagic + 2, bytes.begin())) {
        return std::nullopt;
    }
    SidecarContent content;
    content.imageOrgX = ReadU16LE(&bytes[2]);
    content.imageOrgY = ReadU16LE(&bytes[4]);
    if (!SidecarHasClut(bpp)) {
        return content;
    }
    if (bytes.size() < kSidecarOneSetSize) {
        return std::nullopt;
    }
    content.clutOrgX = ReadU16LE(&bytes[6]);
    content.clutOrgY = ReadU16LE(&bytes[8]);
    content.setCount = ReadU16LE(&bytes[10]);
    if (content.setCount == 0) {
        return std::nullopt;
    }
    if (content.setCount != 1) {
        if (bytes.size() < kSidecarSetsOffset) {
            return std::nullopt;
        }
        content.paletteSet = ReadU16LE(&bytes[12]);
    }
    if (content.paletteSet >= content.setCount ||
        bytes.size() < SidecarLayoutSize(bpp, content.setCount)) {
        return std::nullopt;
    }
    return content;
}

bool SidecarIsUsable(const ImageState& state) {
    const std::size_t size = std::min<std::size_t>(state.sidecarSize, state.sidecarData.size());
    return ParseSidecar({state.sidecarData.data(), size}, state.bpp).has_value();
}

Result<std::vector<std::uint8_t>> BuildSidecar(const SidecarContent& content, std::uint32_t bpp,
                                               std::span<const std::uint8_t> clutData,
                                               std::vector<std::uint8_t> out) {
    try {
        out.assign(SidecarLayoutSize(bpp, content.setCount), 0);
    } catch (const std::bad_alloc&) {
        return Error(ErrorCode::NotEnoughMemory);
    }
    std::copy(kMagic, kMagic + 2, out.begin());
    WriteU16LE(&out[2], content.imageOrgX);
    WriteU16LE(&out[4], content.imageOrgY);
    if (!SidecarHasClut(bpp)) {
        return out;
    }
    WriteU16LE(&out[6], content.clutOrgX);
    WriteU16LE(&out[8], content.clutOrgY);
    WriteU16LE(&out[10], static_cast<std::uint16_t>(content.setCount));
    if (content.setCount != 1) {
        WriteU16LE(&out[12], static_cast<std::uint16_t>(content.paletteSet));
    }
    const std::uint64_t setBytes = SidecarSetBytes(bpp);
    ForEachStoredSet(content, bpp, [&](std::uint32_t set, std::uint64_t offset) {
        const std::uint64_t from = set * setBytes;
        if (from < clutData.size()) {
            const std::uint64_t count = std::min<std::uint64_t>(setBytes, clutData.size() - from);
            std::copy_n(clutData.begin() + from, count, out.begin() + offset);
        }
    });
    return out;
}

void RestoreClutSets(const SidecarContent& content, std::uint32_t bpp,
                     std::span<const std::uint8_t> sidecar, std::span<std::uint8_t> clutData) {
    const std::uint64_t setBytes = SidecarSetBytes(bpp);
    ForEachStoredSet(content, bpp, [&](std::uint32_t set, std::uint64_t offset) {
        const std::uint64_t to = set * setBytes;
        if (offset + setBytes <= sidecar.size() && to + setBytes <= clutData.size()) {
            std::copy_n(sidecar.begin() + offset, setBytes, clutData.begin() + to);
        }
    });
}

}  // namespace pixalto
