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

std::optional<ScanEntry> HeadlessHost::EntryAt(std::size_t row) const {
    if (row >= rows_.size()) {
        return std::nullopt;
    }
    return rows_[row];
}

}  // namespace pixalto::raw
