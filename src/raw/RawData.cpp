#include "raw/RawData.h"

#include <algorithm>
#include <new>
#include <span>

#include "image/TimFormat.h"

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

Result<std::vector<std::uint8_t>> ReadTimBytes(disc::DiscView& view, std::uint64_t viewOffset) {
    const std::uint64_t maxLength = view.MaxLength();
    if (viewOffset >= maxLength) {
        return std::vector<std::uint8_t>();
    }
    // Header, CLUT block, image block: each read where the one before puts
    // it, zeros standing for bytes past the data's end; the reader checks
    // them all again.
    std::uint8_t head[TimHeader::kSize + BlockHeader::kSize] = {};
    view.Read(viewOffset, head, sizeof head);
    const std::span<const std::uint8_t> headBytes(head);
    const TimHeader header = TimHeader::From(headBytes.first<TimHeader::kSize>());
    const BlockHeader clut = BlockHeader::From(headBytes.last<BlockHeader::kSize>());
    std::uint64_t size = header.ImageBlockOffset(clut.length);
    if (size < maxLength - viewOffset) {
        std::uint8_t block[BlockHeader::kSize] = {};
        view.Read(viewOffset + size, block, sizeof block);
        size += std::max<std::uint64_t>(BlockHeader::From(block).length, BlockHeader::kSize);
    }
    // Never more than the data holds, whatever the lengths claim.
    size = std::min(size, maxLength - viewOffset);
    std::vector<std::uint8_t> bytes;
    try {
        bytes.resize(static_cast<std::size_t>(size));
    } catch (const std::bad_alloc&) {
        return Error(ErrorCode::NotEnoughMemory);
    }
    bytes.resize(view.Read(viewOffset, bytes.data(), bytes.size()));
    return bytes;
}

std::optional<TimHeadline> ReadTimHeadline(disc::DiscView& view, std::uint64_t viewOffset) {
    std::uint8_t head[TimHeader::kSize + BlockHeader::kSize] = {};
    if (view.Read(viewOffset, head, sizeof head) != sizeof head) {
        return std::nullopt;
    }
    const std::span<const std::uint8_t> headBytes(head);
    const TimHeader header = TimHeader::From(headBytes.first<TimHeader::kSize>());
    const BlockHeader first = BlockHeader::From(headBytes.last<BlockHeader::kSize>());
    TimHeadline headline;
    headline.bpp = header.Bpp();
    headline.hasClut = header.HasClut();
    if (!headline.hasClut) {
        headline.image = first;
        return headline;
    }
    headline.clut = first;
    headline.clutSets = ClutSetCountFor(headline.bpp, first.DataSize());
    std::uint8_t block[BlockHeader::kSize] = {};
    const std::uint64_t imageAt = viewOffset + header.ImageBlockOffset(first.length);
    if (imageAt >= viewOffset && view.Read(imageAt, block, sizeof block) == sizeof block) {
        headline.image = BlockHeader::From(block);
    }
    return headline;
}

}  // namespace pixalto::raw
