#include "raw/RawData.h"

namespace pixalto::raw {

bool RawData::Open(const std::string& path, File::Mode mode, LayoutChoice choice) {
    if (!file_.Open(path, mode)) {
        return false;
    }
    disc::DiscLayout layout = DetectedLayout();
    if (choice == LayoutChoice::Plain) {
        layout = disc::DiscLayout::Plain;
    } else if (choice == LayoutChoice::Disc && layout == disc::DiscLayout::Plain) {
        // Told it is a disc image whose first sector doesn't say which kind:
        // the PlayStation's own, Mode 2.
        layout = disc::DiscLayout::Mode2Raw;
    }
    view_.emplace(file_, layout);
    return true;
}

bool RawData::Open(const std::string& path, File::Mode mode, disc::DiscLayout layout) {
    if (!file_.Open(path, mode)) {
        return false;
    }
    view_.emplace(file_, layout);
    return true;
}

void RawData::Close() {
    view_.reset();
    file_.Close();
}

disc::DiscLayout RawData::DetectedLayout() {
    return disc::DetectLayout(file_);
}

std::optional<std::uint64_t> RawData::ViewOffsetOf(std::uint64_t filePosition) {
    if (!IsDisc()) {
        return filePosition;
    }
    return view_->ViewOffsetOf(filePosition);
}

std::uint64_t RawData::FilePositionOf(std::uint64_t viewOffset) {
    if (!IsDisc()) {
        return viewOffset;
    }
    // Past the view's end (the end of a scan) stands for the file's end.
    return view_->FileOffsetOf(viewOffset).value_or(view_->FileLength());
}

}  // namespace pixalto::raw
