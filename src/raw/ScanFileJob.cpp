#include "raw/ScanFileJob.h"

#include <algorithm>
#include <new>
#include <utility>

#include "messages/Catalogue.h"
#include "raw/IdWordSearch.h"
#include "raw/ScanEntry.h"
#include "raw/TimSignature.h"

namespace pixalto::raw {
namespace {

// Windows overlap by this much: a candidate needs its first 10 bytes in the
// window to be tested there, so the last 9 offsets wait for the next window.
constexpr std::size_t kOverlap = 9;

// The file is read in blocks this large, and the 30,000-byte windows are
// served from them: far fewer system calls, and headers that reach past a
// window are usually still in memory.
constexpr std::size_t kBlockSize = std::size_t{1} << 20;

}  // namespace

ScanFileJob::ScanFileJob(JobHost& host, std::string rawPath, LayoutChoice layout)
    : host_(host), rawPath_(std::move(rawPath)), layout_(layout), raw_(own_) {}

ScanFileJob::ScanFileJob(JobHost& host, RawData& opened)
    : host_(host), layout_(LayoutChoice::Auto), raw_(opened), owned_(false) {}

JobState ScanFileJob::Start() {
    failure_ = {};
    const bool open = owned_ ? raw_.Open(rawPath_, File::Mode::ReadRaw, layout_) : raw_.IsOpen();
    if (!open) {
        return Stop(raw_.file().LastError().As(ErrorCode::CouldntOpenFile));
    }
    // Every byte of the block is read into before it is looked at, so the
    // buffer is neither cleared nor made again for a second scan.
    if (!buffer_) {
        try {
            buffer_ = std::make_unique_for_overwrite<std::uint8_t[]>(kBlockSize);
        } catch (const std::bad_alloc&) {
            return Stop(Error(ErrorCode::OutOfMemory));
        }
    }
    // The windows walk the data; in a disc image that is shorter than the
    // file, and its exact end shows when a read comes up short.
    length_ = raw_.View().MaxLength();
    foundCount_ = 0;
    position_ = 0;
    blockStart_ = 0;
    blockSize_ = 0;
    host_.DeleteAllEntries();
    host_.SetStatusText(StatusLine::Upper, "");
    host_.SetStatusText(StatusLine::Lower, "");
    host_.SetProgressRange(0, static_cast<std::int64_t>(raw_.FileLength()));
    return JobState::Running;
}

JobState ScanFileJob::Stop(Error error) {
    failure_ = std::move(error);
    host_.Failed(failure_);
    if (owned_) {
        raw_.Close();
    }
    return JobState::Stopped;
}

JobState ScanFileJob::Step() {
    const std::size_t count = LoadWindow();
    TestWindow(count);
    position_ += count > kOverlap ? count - kOverlap : 0;

    // Progress is told in the file's bytes, as the user knows the file.
    const std::uint64_t filePosition = raw_.FilePositionOf(position_);
    host_.SetStatusText(StatusLine::Upper, msg::BytesScanned(filePosition, raw_.FileLength()));
    if (foundCount_ > 0) {
        host_.SetStatusText(StatusLine::Lower, msg::ImagesFound(foundCount_));
    }
    host_.SetProgressPos(static_cast<std::int64_t>(filePosition));

    // A window that made no progress ends the scan too, so that a file which
    // shrinks while it is scanned can't keep it running for ever.
    if (position_ + kOverlap < length_ && count > kOverlap) {
        return JobState::Running;
    }
    if (owned_) {
        raw_.Close();
    }
    return JobState::Finished;
}

JobState ScanFileJob::End() {
    if (owned_) {
        raw_.Close();
    }
    return Outcome();
}

// Makes the window at position_ (up to kWorkBufferSize bytes) present in the
// block, reading the next block when it isn't, and returns its size: what a
// read of kWorkBufferSize bytes at position_ would return.
std::size_t ScanFileJob::LoadWindow() {
    const std::uint64_t blockEnd = blockStart_ + blockSize_;
    const std::uint64_t left = length_ > position_ ? length_ - position_ : 0;
    if (position_ < blockStart_ || position_ > blockEnd ||
        blockEnd - position_ < std::min<std::uint64_t>(kWorkBufferSize, left)) {
        blockStart_ = position_;
        blockSize_ = raw_.View().Read(position_, buffer_.get(), kBlockSize);
    }
    const std::uint64_t inBlock = blockStart_ + blockSize_ - position_;
    return static_cast<std::size_t>(std::min<std::uint64_t>(inBlock, kWorkBufferSize));
}

void ScanFileJob::TestWindow(std::size_t count) {
    if (count <= kOverlap) {
        return;
    }
    RawBytes bytes(raw_.View());
    bytes.SetWindow(blockStart_, buffer_.get(), blockSize_);
    const std::size_t start = static_cast<std::size_t>(position_ - blockStart_);
    const std::uint8_t* data = buffer_.get() + start;
    const std::size_t inMemory = blockSize_ - start;
    const std::uint64_t left = length_ - position_;
    // Offsets p with p + 9 < count; the identifier words' last bytes and the
    // 8-byte headers all lie inside the window.
    ForEachIdWord(data, count - kOverlap, [&](std::size_t p) {
        if (CanStartTim(data + p, inMemory - p, left - p)) {
            if (auto size = TestTimSignature(bytes, position_ + p)) {
                AddFound(position_ + p, size->width, size->height);
            }
        }
    });
}

void ScanFileJob::AddFound(std::uint64_t offset, std::uint16_t width, std::uint16_t height) {
    ScanEntry entry;
    entry.fileNumber = static_cast<std::int32_t>(foundCount_ + 1);
    entry.position = raw_.FilePositionOf(offset);
    entry.width = width;
    entry.height = height;
    host_.AddEntry(entry);
    ++foundCount_;
}

}  // namespace pixalto::raw
