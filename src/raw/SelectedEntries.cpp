#include "raw/SelectedEntries.h"

#include <algorithm>
#include <limits>

namespace pixalto::raw {

SelectedEntries::SelectedEntries(std::string_view selection)
    : ranges_(SelectedRanges(selection, std::numeric_limits<std::uint32_t>::max())) {}

void SelectedEntries::Clear() {
    kept_.clear();
    count_ = 0;
}

void SelectedEntries::Add(const ScanEntry& entry, bool chosen) {
    const std::uint64_t row = count_++;
    if (chosen || Chooses(row + 1)) {
        kept_.push_back({row, entry});
    }
}

std::optional<ScanEntry> SelectedEntries::At(std::size_t row) const {
    auto found = std::lower_bound(kept_.begin(), kept_.end(), row,
                                  [](const Kept& kept, std::uint64_t r) { return kept.row < r; });
    if (found == kept_.end() || found->row != row) {
        return std::nullopt;
    }
    return found->entry;
}

bool SelectedEntries::Chooses(std::uint64_t fileNumber) const {
    auto after = std::upper_bound(
        ranges_.begin(), ranges_.end(), fileNumber,
        [](std::uint64_t number, const SelectionPiece& range) { return number < range.first; });
    return after != ranges_.begin() && fileNumber <= (after - 1)->last;
}

}  // namespace pixalto::raw
