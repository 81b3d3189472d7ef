#include "raw/RawData.h"

#include <algorithm>

#include "image/TimFormat.h"
#include "platform/ByteOrder.h"

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

void RawData::UseLayout(disc::DiscLayout layout) {
    view_.emplace(file_, layout);
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

Error RawData::OutsideData(std::uint64_t filePosition) const {
    return Error(filePosition >= FileLength() ? ErrorCode::OffsetPastEnd
                                              : ErrorCode::OffsetNotInData)
        .WithOffset(filePosition);
}

std::vector<std::uint8_t> ReadTimBytes(disc::DiscView& view, std::uint64_t viewOffset) {
    const std::uint64_t maxLength = view.MaxLength();
    if (viewOffset >= maxLength) {
        return {};
    }
    // Header, CLUT block length, image block length: each read where the one
    // before puts it; the reader checks them all again.
    std::uint8_t head[kTimIdSize + kTimFlagsSize + 4] = {};
    view.Read(viewOffset, head, sizeof head);
    std::uint64_t size = kTimIdSize + kTimFlagsSize;
    if (HasClut(BppForMode(head[4]))) {
        size += ReadU32LE(head + 8);
    }
    std::uint8_t imageLength[4] = {};
    if (size < maxLength - viewOffset) {
        view.Read(viewOffset + size, imageLength, sizeof imageLength);
        size += std::max<std::uint32_t>(ReadU32LE(imageLength), kTimBlockHeaderSize);
    }
    // Never more than the data holds, whatever the lengths claim.
    size = std::min(size, maxLength - viewOffset);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    bytes.resize(view.Read(viewOffset, bytes.data(), bytes.size()));
    return bytes;
}

}  // namespace pixalto::raw
