#include "disc/DiscLayout.h"

#include <algorithm>
#include <iterator>
#include <vector>

#include "disc/SectorFormat.h"

namespace pixalto::disc {
namespace {

constexpr std::string_view kPlainName = "plain";
constexpr std::string_view kMode1Name = "MODE1/2352";
constexpr std::string_view kMode2Name = "MODE2/2352";
constexpr std::string_view kHeaderlessName = "MODE2/2336";

constexpr std::size_t kDetectBytes = kModeOffset + 1;

// The primary volume descriptor's type and standard identifier.
constexpr std::uint8_t kVolumeDescriptor[] = {0x01, 'C', 'D', '0', '0', '1'};
constexpr std::size_t kHeaderlessDescriptorAt =
    16 * kHeaderlessSectorSize + (kForm1DataOffset - kSubheaderOffset);
static_assert(kHeaderlessDescriptorAt + sizeof kVolumeDescriptor == kLayoutDetectBytes);

bool HasHeaderlessDescriptor(const std::uint8_t* head, std::size_t size) {
    return size >= kLayoutDetectBytes &&
           std::equal(std::begin(kVolumeDescriptor), std::end(kVolumeDescriptor),
                      head + kHeaderlessDescriptorAt);
}

}  // namespace

std::string_view LayoutName(DiscLayout layout) {
    switch (layout) {
        case DiscLayout::Plain:
            return kPlainName;
        case DiscLayout::Mode1Raw:
            return kMode1Name;
        case DiscLayout::Mode2Raw:
            return kMode2Name;
        case DiscLayout::Mode2Headerless:
            return kHeaderlessName;
    }
    return kPlainName;
}

std::size_t StoredSectorSize(DiscLayout layout) {
    switch (layout) {
        case DiscLayout::Plain:
            return 0;
        case DiscLayout::Mode1Raw:
        case DiscLayout::Mode2Raw:
            return kSectorSize;
        case DiscLayout::Mode2Headerless:
            return kHeaderlessSectorSize;
    }
    return 0;
}

std::optional<DiscLayout> ParseLayoutName(std::string_view name) {
    for (DiscLayout layout : {DiscLayout::Plain, DiscLayout::Mode1Raw, DiscLayout::Mode2Raw,
                              DiscLayout::Mode2Headerless}) {
        if (name == LayoutName(layout)) {
            return layout;
        }
    }
    return std::nullopt;
}

DiscLayout DetectLayout(const std::uint8_t* head, std::size_t size, std::uint64_t fileLength) {
    if (size < kDetectBytes || fileLength < kSectorSize) {
        return DiscLayout::Plain;
    }
    if (!std::equal(std::begin(kSync), std::end(kSync), head)) {
        return HasHeaderlessDescriptor(head, std::min<std::uint64_t>(size, fileLength))
                   ? DiscLayout::Mode2Headerless
                   : DiscLayout::Plain;
    }
    switch (head[kModeOffset]) {
        case 1:
            return DiscLayout::Mode1Raw;
        case 2:
            return DiscLayout::Mode2Raw;
        default:
            return DiscLayout::Plain;
    }
}

DiscLayout DetectLayout(File& file) {
    std::vector<std::uint8_t> head(kLayoutDetectBytes);
    std::size_t got = 0;
    if (file.Seek(0) == 0) {
        got = file.Read(head.data(), head.size());
    }
    std::int64_t length = file.GetLength();
    return DetectLayout(head.data(), got, length > 0 ? static_cast<std::uint64_t>(length) : 0);
}

}  // namespace pixalto::disc
