#include "raw/SelectedEntries.h"

#include <algorithm>
#include <limits>

#include "raw/NumberText.h"

namespace pixalto::raw {

SelectedEntries::SelectedEntries(std::string_view selection)
    : ranges_(SelectedRanges(selection, std::numeric_limits<std::uint32_t>::max())) {}

void SelectedEntries::Clear() {
    kept_.clear();
    count_ = 0;
}

void SelectedEntries::Add(const EntryCells& cells) {
    const std::uint64_t row = count_++;
    if (!Chooses(row + 1)) {
        return;
    }
    auto cell = [&](EntryColumn column) {
        return ReadInt64(cells[static_cast<std::size_t>(column)]);
    };
    const auto position = cell(EntryColumn::Position);
    const auto width = cell(EntryColumn::Width);
    const auto height = cell(EntryColumn::Height);
    if (position && width && height) {
        kept_.push_back({row, position->value, static_cast<std::uint16_t>(width->value),
                         static_cast<std::uint16_t>(height->value)});
    }
}

std::string SelectedEntries::Text(std::size_t row, EntryColumn column) const {
    auto found = std::lower_bound(kept_.begin(), kept_.end(), row,
                                  [](const Kept& kept, std::uint64_t r) { return kept.row < r; });
    if (found == kept_.end() || found->row != row) {
        return {};
    }
    switch (column) {
        case EntryColumn::FileNumber:
            return Decimal(std::uint64_t{row} + 1);
        case EntryColumn::Position:
            return Decimal(found->position);
        case EntryColumn::Width:
            return Decimal(std::uint64_t{found->width});
        case EntryColumn::Height:
            return Decimal(std::uint64_t{found->height});
    }
    return {};
}

bool SelectedEntries::Chooses(std::uint64_t fileNumber) const {
    auto after = std::upper_bound(
        ranges_.begin(), ranges_.end(), fileNumber,
        [](std::uint64_t number, const SelectionPiece& range) { return number < range.first; });
    return after != ranges_.begin() && fileNumber <= (after - 1)->last;
}

}  // namespace pixalto::raw
