#include "workspace/EntryList.h"

#include <cctype>
#include <charconv>
#include <string>

#include "image/TimFormat.h"

namespace pixalto::workspace {

EntryDetails ReadEntryDetails(raw::RawData& raw, const raw::ScanEntry& entry) {
    if (!raw.IsOpen()) {
        return {};
    }
    const auto at = raw.ViewOffsetOf(entry.position);
    if (!at) {
        return {};
    }
    std::array<std::uint8_t, TimHeader::kSize + BlockHeader::kSize> bytes{};
    const std::size_t got = raw.View().Read(*at, bytes.data(), bytes.size());
    const auto header = TimHeader::Parse(std::span(bytes.data(), got));
    if (!header || !header->IsValid()) {
        return {};
    }
    EntryDetails details;
    details.bpp = header->Bpp();
    details.pixelWidth = PixelWidthFor(details.bpp, entry.width);
    const auto clut = BlockHeader::Parse(std::span(bytes.data(), got).subspan(TimHeader::kSize));
    if (header->HasClut() && clut && clut->LengthMatches()) {
        details.clutSets = ClutSetCountFor(details.bpp, clut->DataSize());
    }
    return details;
}

namespace {

std::optional<std::uint32_t> Number(std::string_view text) {
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) {
        return std::nullopt;
    }
    return value;
}

// A side of "WxH": a number, or "*" for any.
bool ReadSide(std::string_view text, std::optional<std::uint32_t>& side) {
    if (text == "*") {
        return true;
    }
    side = Number(text);
    return side.has_value();
}

bool ReadTerm(std::string_view term, EntryFilter& filter) {
    if (term.size() > 3 && term.substr(term.size() - 3) == "bpp") {
        if (filter.bpp) {
            return false;
        }
        filter.bpp = Number(term.substr(0, term.size() - 3));
        return filter.bpp.has_value();
    }
    const std::size_t x = term.find('x');
    if (x == std::string_view::npos || filter.width || filter.height) {
        return false;
    }
    // "*x*" is a size that says nothing, and is taken as such.
    return ReadSide(term.substr(0, x), filter.width) && ReadSide(term.substr(x + 1), filter.height);
}

}  // namespace

std::optional<EntryFilter> ParseEntryFilter(std::string_view text) {
    std::string lower;
    for (char c : text) {
        lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    EntryFilter filter;
    bool sized = false;
    std::size_t start = 0;
    while (start < lower.size()) {
        const std::size_t end = lower.find_first_of(" ,", start);
        const std::string_view term =
            std::string_view(lower).substr(start, end == std::string::npos ? end : end - start);
        if (!term.empty()) {
            // A second size is refused even when the first said "*x*".
            const bool size = term.find('x') != std::string_view::npos;
            if ((size && sized) || !ReadTerm(term, filter)) {
                return std::nullopt;
            }
            sized = sized || size;
        }
        if (end == std::string::npos) {
            break;
        }
        start = end + 1;
    }
    return filter;
}

const Thumbnail* ThumbnailCache::Find(std::size_t entry) {
    const auto found = index_.find(entry);
    if (found == index_.end()) {
        return nullptr;
    }
    order_.splice(order_.begin(), order_, found->second);
    return &found->second->second;
}

const Thumbnail& ThumbnailCache::Add(std::size_t entry, Thumbnail thumbnail) {
    if (const auto found = index_.find(entry); found != index_.end()) {
        order_.erase(found->second);
        index_.erase(found);
    }
    order_.emplace_front(entry, std::move(thumbnail));
    index_[entry] = order_.begin();
    while (order_.size() > capacity_ && order_.size() > 1) {
        index_.erase(order_.back().first);
        order_.pop_back();
    }
    return order_.front().second;
}

void ThumbnailCache::Clear() {
    order_.clear();
    index_.clear();
}

}  // namespace pixalto::workspace
