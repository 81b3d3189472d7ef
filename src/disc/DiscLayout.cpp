#include "disc/DiscLayout.h"

#include <algorithm>
#include <iterator>

#include "disc/SectorFormat.h"

namespace pixalto::disc {
namespace {

constexpr std::string_view kPlainName = "plain";
constexpr std::string_view kMode1Name = "MODE1/2352";
constexpr std::string_view kMode2Name = "MODE2/2352";

constexpr std::size_t kDetectBytes = kModeOffset + 1;

}  // namespace

std::string_view LayoutName(DiscLayout layout) {
    switch (layout) {
        case DiscLayout::Plain:
            return kPlainName;
        case DiscLayout::Mode1Raw:
            return kMode1Name;
        case DiscLayout::Mode2Raw:
            return kMode2Name;
    }
    return kPlainName;
}

std::optional<DiscLayout> ParseLayoutName(std::string_view name) {
    for (DiscLayout layout : {DiscLayout::Plain, DiscLayout::Mode1Raw, DiscLayout::Mode2Raw}) {
        if (name == LayoutName(layout)) {
            return layout;
        }
    }
    return std::nullopt;
}

DiscLayout DetectLayout(const std::uint8_t* head, std::size_t size, std::uint64_t fileLength) {
    if (size < kDetectBytes || fileLength < kSectorSize ||
        !std::equal(std::begin(kSync), std::end(kSync), head)) {
        return DiscLayout::Plain;
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
    std::uint8_t head[kDetectBytes] = {};
    std::size_t got = 0;
    if (file.Seek(0) == 0) {
        got = file.Read(head, sizeof head);
    }
    std::int64_t length = file.GetLength();
    return DetectLayout(head, got, length > 0 ? static_cast<std::uint64_t>(length) : 0);
}

}  // namespace pixalto::disc
