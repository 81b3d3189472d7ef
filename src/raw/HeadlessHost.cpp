#include "raw/HeadlessHost.h"

namespace pixalto::raw {

void HeadlessHost::SetProgressRange(std::int64_t lower, std::int64_t upper) {
    progressLower_ = lower;
    progressUpper_ = upper;
}

void HeadlessHost::SetStatusText(StatusLine line, const std::string& text) {
    (line == StatusLine::Upper ? upperText_ : lowerText_) = text;
}

const std::string& HeadlessHost::StatusText(StatusLine line) const {
    return line == StatusLine::Upper ? upperText_ : lowerText_;
}

std::string HeadlessHost::GetEntryText(std::size_t row, EntryColumn column) const {
    auto index = static_cast<std::size_t>(column);
    if (row >= rows_.size() || index >= kEntryColumnCount) {
        return {};
    }
    return rows_[row][index];
}

}  // namespace pixalto::raw
