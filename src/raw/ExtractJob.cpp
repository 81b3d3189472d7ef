#include "raw/ExtractJob.h"

#include <algorithm>
#include <limits>
#include <span>
#include <utility>

#include "image/TimFormat.h"
#include "messages/Catalogue.h"
#include "raw/ExtractionList.h"
#include "raw/FileCopy.h"
#include "raw/FileIdentity.h"
#include "raw/NumberText.h"
#include "raw/RangeParser.h"

namespace pixalto::raw {
ExtractJob::ExtractJob(JobHost& host, std::string rawPath, std::string selection,
                       LayoutChoice layout)
    : host_(host),
      rawPath_(std::move(rawPath)),
      selection_(std::move(selection)),
      layout_(layout) {}

JobState ExtractJob::Start() {
    failure_ = {};
    std::size_t rows = host_.EntryCount();
    entryCount_ = rows > std::numeric_limits<std::uint32_t>::max()
                      ? std::numeric_limits<std::uint32_t>::max()
                      : static_cast<std::uint32_t>(rows);
    auto total = CheckSelection(selection_, entryCount_);
    if (!total) {
        return Stop(Error(ErrorCode::InvalidSelection));
    }
    if (!raw_.Open(rawPath_, File::Mode::ReadRaw, layout_)) {
        return Stop(raw_.file().LastError().As(ErrorCode::CouldntOpenFile));
    }
    readOffset_ = 0;
    rangeEnd_ = 0;
    current_ = 1;
    filesDone_ = 0;
    host_.SetStatusText(StatusLine::Upper, "");
    host_.SetStatusText(StatusLine::Lower, "");
    host_.SetProgressRange(0, static_cast<std::int64_t>(*total));
    directory_ = FolderOf(rawPath_);
    listPath_ = directory_ + kExtractionListName;
    if (auto clash = OutputThatIsRawFile()) {
        return Stop(Error(ErrorCode::OutputIsRawFile, *clash));
    }
    files_ = disc::DiscFiles::Read(rawPath_, raw_.Layout());
    // A disc image's list says so, so that insertion writes through the
    // sectors' data and rebuilds their codes.
    std::string head = FormatListHead(
        FileNameOf(rawPath_),
        raw_.IsDisc() ? std::optional(std::string(disc::LayoutName(raw_.Layout()))) : std::nullopt);
    list_ = std::make_unique<PendingFile>(listPath_);
    if (!list_->Create() || !list_->file().Write(head.data(), head.size())) {
        const Error why = list_->LastError();
        list_.reset();
        return StopCouldntCreate(listPath_, why);
    }
    return JobState::Running;
}

JobState ExtractJob::Step() {
    if (current_ == rangeEnd_ + 1 && !TakeNextPiece()) {
        return Stop(Error(ErrorCode::InvalidSelection));
    }
    auto entry = host_.EntryAt(current_ - 1);
    if (!entry) {
        return Stop(Error(ErrorCode::InvalidSelection));
    }
    auto fileNumber = static_cast<std::int32_t>(current_);
    std::string outPath = TimPath(current_);
    // The entry's position is in the file; its bytes are read from the data.
    const auto at = raw_.ViewOffsetOf(entry->position);
    if (!at) {
        return StopCouldntCreate(outPath, {});
    }
    std::uint64_t size = TimSizeAt(*at, entry->width, entry->height);
    if (!WriteTim(*at, entry->position, size, outPath)) {
        return JobState::Stopped;
    }
    host_.SetStatusText(StatusLine::Upper, msg::TimNumber(fileNumber));

    if (readOffset_ >= selection_.size() && current_ == rangeEnd_) {
        raw_.Close();
        return JobState::Finished;
    }
    ++current_;
    ++filesDone_;
    host_.SetProgressPos(filesDone_);
    return JobState::Running;
}

JobState ExtractJob::End() {
    raw_.Close();
    // Even after a stop, the list takes its place with the records of the
    // files that were written, so that they can be inserted.
    if (list_ && !(list_->Finish() && list_->Commit()) && !failure_) {
        StopCouldntCreate(listPath_, list_->LastError());
    }
    list_.reset();
    return Outcome();
}

std::string ExtractJob::TimPath(std::uint32_t fileNumber) const {
    return directory_ + Decimal(static_cast<std::int32_t>(fileNumber)) + ".tim";
}

// The first file the job would write that is the RAW file itself, under its
// own name or through a link: replacing it would destroy what is being
// extracted. Every file is looked at before the first is written.
std::optional<std::string> ExtractJob::OutputThatIsRawFile() const {
    const auto raw = IdentityOf(rawPath_);
    auto isRaw = [&](const std::string& path) { return raw && IdentityOf(path) == raw; };
    if (isRaw(listPath_)) {
        return listPath_;
    }
    for (const SelectionPiece& range : SelectedRanges(selection_, entryCount_)) {
        for (std::uint64_t number = range.first; number <= range.last; ++number) {
            std::string path = TimPath(static_cast<std::uint32_t>(number));
            if (isRaw(path)) {
                return path;
            }
        }
    }
    return std::nullopt;
}

// The next piece of the selection sets the numbers to extract next. The text
// was checked at the start, so a piece that doesn't read, or a range that
// runs backwards, means the text changed under the job.
bool ExtractJob::TakeNextPiece() {
    std::string_view piece = PieceAt(selection_, readOffset_);
    auto read = ReadPiece(piece, entryCount_);
    if (piece.empty() || !read || read->first < 1 || read->last < read->first) {
        return false;
    }
    current_ = read->first;
    rangeEnd_ = read->last;
    readOffset_ += piece.size() + 1;
    return true;
}

// The TIM header, the CLUT block's full 32-bit length word and the image
// block the entry's width and height need; a TIM cut off by the end of the
// RAW file is as long as the bytes that are there, so that writing it back
// changes nothing.
std::uint64_t ExtractJob::TimSizeAt(std::uint64_t at, std::uint16_t width, std::uint16_t height) {
    disc::DiscView& view = raw_.View();
    std::uint8_t head[TimHeader::kSize + BlockHeader::kSize] = {};
    view.Read(at, head, sizeof head);
    const std::span<const std::uint8_t> headBytes(head);
    const std::uint64_t size =
        TimHeader::From(headBytes.first<TimHeader::kSize>())
            .ListedSize(BlockHeader::From(headBytes.last<BlockHeader::kSize>()).length, width,
                        height);
    if (view.Reaches(at + size)) {
        return size;
    }
    const std::uint64_t length = view.Length();
    return at < length ? length - at : 0;
}

// Writes the .tim file in full under a temporary name, puts it in place, and
// only then records it in the list: a file that couldn't be written is never
// listed, and an old file of that name stays as it was.
bool ExtractJob::WriteTim(std::uint64_t at, std::uint64_t position, std::uint64_t size,
                          const std::string& outPath) {
    PendingFile out(outPath);
    Error failure;
    if (!out.Create()) {
        failure = out.LastError();
    } else if (!(failure = CopyFromData(at, size, out.file())) && !(out.Finish() && out.Commit())) {
        failure = out.LastError();
    }
    if (failure) {
        StopCouldntCreate(outPath, failure);
        return false;
    }
    std::string record =
        FormatListRecord({static_cast<std::int32_t>(current_), position, size}, PlaceOf(position));
    if (!list_->file().Write(record.data(), record.size())) {
        StopCouldntCreate(listPath_, list_->LastError());
        return false;
    }
    return true;
}

// The sector and file of a disc image's TIM; nothing for a plain file that
// holds no file system.
std::optional<ListRecordPlace> ExtractJob::PlaceOf(std::uint64_t position) const {
    if (files_) {
        const disc::DiscPlace place = files_->PlaceOf(position);
        return ListRecordPlace{place.lba, std::string(place.path)};
    }
    if (!raw_.IsDisc()) {
        return std::nullopt;
    }
    return ListRecordPlace{position / disc::GeometryOf(raw_.Layout()).sectorSize, {}};
}

// Copies size bytes of the data from at on, through the work buffer.
Error ExtractJob::CopyFromData(std::uint64_t at, std::uint64_t size, File& out) {
    disc::DiscView& view = raw_.View();
    return CopyInPieces(
        size, buffer_,
        [&](std::uint64_t done, std::uint8_t* data, std::size_t count) {
            if (view.Read(at + done, data, count) == count) {
                return Error();
            }
            // A short read without a system failure still fails the copy.
            return raw_.file().LastError() ? raw_.file().LastError()
                                           : Error(ErrorCode::CouldntOpenFile);
        },
        [&](std::uint64_t, const std::uint8_t* data, std::size_t count) {
            return out.Write(data, count) ? Error() : out.LastError();
        });
}

JobState ExtractJob::Stop(const Error& error) {
    failure_ = error;
    host_.Failed(error);
    raw_.Close();
    return JobState::Stopped;
}

// The text names the file that wasn't written; why tells the system's reason.
JobState ExtractJob::StopCouldntCreate(const std::string& path, const Error& why) {
    return Stop(why.As(ErrorCode::CouldntCreateFile).About(path));
}

}  // namespace pixalto::raw
