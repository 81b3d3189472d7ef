#include "raw/InsertJob.h"

#include <algorithm>
#include <utility>

#include "disc/SectorDamage.h"
#include "raw/FileCopy.h"
#include "raw/Messages.h"

namespace pixalto::raw {
namespace {

// The head must be a bare file name: extraction never writes a folder there,
// and a list edited to name "../x" must not patch a file elsewhere.
bool IsBareFileName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(std::string("/\0", 2)) == std::string::npos;
}

}  // namespace

InsertJob::InsertJob(JobHost& host, std::string listPath, InsertOptions options)
    : host_(host), listPath_(std::move(listPath)), options_(options) {}

JobState InsertJob::Start() {
    recordsRead_ = 0;
    insertedCount_ = 0;
    ReportInsertedCount();
    host_.SetStatusText(StatusLine::Upper, "");
    host_.SetStatusText(StatusLine::Lower, "");
    if (!list_.Open(listPath_, File::Mode::Read)) {
        return Stop(msg::kCouldntOpenFile, msg::kFileErrorTitle);
    }
    host_.SetProgressRange(0, list_.GetLength());
    std::size_t headEnd = 0;
    auto head = ReadListHead(ReadListWindow(0, kListHeadWindowSize), &headEnd);
    if (!head) {
        return Stop(msg::kNoRecords, msg::kInsertionErrorTitle);
    }
    directory_ = FolderOf(listPath_);
    std::string rawPath = directory_ + *head;
    // Opened as plain bytes first: its layout is chosen once the list's
    // layout lines and the file's first sector have both been read.
    if (!IsBareFileName(*head) ||
        !raw_.Open(rawPath, File::Mode::WriteInPlace, disc::DiscLayout::Plain)) {
        return Stop(msg::CouldntOpenForInsertion(rawPath), msg::kInsertionErrorTitle);
    }
    const ListLayoutReader named = ReadListLayouts(headEnd);
    if (named.Conflict()) {
        return Stop(msg::TwoLayouts(*named.Layout(), *named.Conflict()), msg::kInsertionErrorTitle);
    }
    const disc::DiscLayout detected = raw_.DetectedLayout();
    if (options_.layout == LayoutChoice::Auto) {
        if (auto refusal = LayoutRefusal(named.Layout(), detected, rawPath)) {
            return Stop(*refusal, msg::kInsertionErrorTitle);
        }
    }
    raw_.UseLayout(ChosenLayout(detected, named.Layout()));
    rawLength_ = raw_.FileLength();
    // The first record is looked for from the head's line end on: the line
    // feed before "File #" may be that very line end.
    readOffset_ = headEnd;
    return JobState::Running;
}

JobState InsertJob::Step() {
    auto found = FindListRecord(ReadListWindow(readOffset_));
    if (!found) {
        if (recordsRead_ == 0) {
            return Stop(msg::kNoRecords, msg::kInsertionErrorTitle);
        }
        raw_.Close();
        list_.Close();
        return JobState::Finished;
    }
    readOffset_ += *found + 1;
    host_.SetProgressPos(static_cast<std::int64_t>(readOffset_));
    auto record = ReadListRecord(ReadListWindow(readOffset_));
    ++recordsRead_;
    if (!record) {
        return Stop(msg::InvalidRecord(recordsRead_), msg::kInsertionErrorTitle);
    }
    host_.SetStatusText(StatusLine::Upper, msg::TimNumber(record->fileNumber));
    return Insert(*record);
}

int InsertJob::End() {
    raw_.Close();
    list_.Close();
    return stopped_ ? kJobStopped : kJobFinished;
}

std::string InsertJob::ReadListWindow(std::uint64_t offset, std::size_t size) {
    std::string window(size, '\0');
    std::size_t got = 0;
    if (list_.Seek(static_cast<std::int64_t>(offset)) >= 0) {
        got = list_.Read(window.data(), window.size());
    }
    window.resize(got);
    return window;
}

// The layout lines of the whole list from the head's line end on, read a
// work buffer at a time.
ListLayoutReader InsertJob::ReadListLayouts(std::uint64_t from) {
    ListLayoutReader reader;
    for (std::uint64_t offset = from;;) {
        const std::string piece = ReadListWindow(offset, kWorkBufferSize);
        reader.Feed(piece);
        if (piece.size() < kWorkBufferSize) {
            break;
        }
        offset += piece.size();
    }
    reader.Finish();
    return reader;
}

// Why the list's layout and the file's don't go together: a layout this
// program doesn't know, one the file doesn't have, or none at all for a disc
// image (plain bytes written there would cross its sectors' sync, headers
// and codes).
std::optional<std::string> InsertJob::LayoutRefusal(const std::optional<std::string>& listed,
                                                    disc::DiscLayout detected,
                                                    const std::string& rawPath) const {
    const std::string fileLayout(disc::LayoutName(detected));
    if (!listed) {
        return detected == disc::DiscLayout::Plain
                   ? std::nullopt
                   : std::optional(msg::NoLayoutForDisc(rawPath, fileLayout));
    }
    const auto layout = disc::ParseLayoutName(*listed);
    if (!layout) {
        return msg::UnknownLayout(*listed);
    }
    if (*layout != detected) {
        return msg::LayoutMismatch(*listed, rawPath, fileLayout);
    }
    return std::nullopt;
}

disc::DiscLayout InsertJob::ChosenLayout(disc::DiscLayout detected,
                                         const std::optional<std::string>& listed) const {
    switch (options_.layout) {
        case LayoutChoice::Auto:
            return detected;  // the list agrees, or names none for a plain file
        case LayoutChoice::Plain:
            return disc::DiscLayout::Plain;
        case LayoutChoice::Disc:
            break;
    }
    // Told it is a disc image, whose first sector may be too damaged to say
    // which kind: then the list's layout, or the PlayStation's own Mode 2.
    if (detected != disc::DiscLayout::Plain) {
        return detected;
    }
    const auto layout = listed ? disc::ParseLayoutName(*listed) : std::nullopt;
    return layout && *layout != disc::DiscLayout::Plain ? *layout : disc::DiscLayout::Mode2Raw;
}

JobState InsertJob::Insert(const ListRecord& record) {
    std::string timPath = directory_ + Decimal(record.fileNumber) + ".tim";
    File tim;
    if (!tim.Open(timPath, File::Mode::Read)) {
        return Stop(msg::CouldntOpenTim(record.fileNumber), msg::kInsertionErrorTitle);
    }
    auto length = static_cast<std::uint64_t>(std::max<std::int64_t>(tim.GetLength(), 0));
    if (!SizeConfirmed(record, length)) {
        return JobState::Running;  // this record is skipped, the next one follows
    }
    const Refusal refusal =
        raw_.IsDisc() ? InsertIntoData(record, tim, length) : InsertPlain(record, tim, length);
    if (refusal) {
        return Stop(refusal->empty() ? msg::CouldntInsertTim(record.fileNumber)
                                     : msg::CouldntInsertTim(record.fileNumber, *refusal),
                    msg::kInsertionErrorTitle);
    }
    ++insertedCount_;
    ReportInsertedCount();
    return JobState::Running;
}

void InsertJob::ReportInsertedCount() const {
    if (options_.insertedCount != nullptr) {
        *options_.insertedCount = insertedCount_;
    }
}

// The RAW file never grows unasked: a record must start inside it, and may
// run past its end only when the user has just agreed to a larger file for
// this very record.
InsertJob::Refusal InsertJob::InsertPlain(const ListRecord& record, File& tim,
                                          std::uint64_t length) {
    if (record.position >= rawLength_) {
        return raw_.OutsideDataMessage(record.position);
    }
    const bool agreedToGrow = length > record.size;
    const bool endsInside = length <= rawLength_ - record.position;
    if ((!endsInside && !agreedToGrow) ||
        raw_.file().Seek(static_cast<std::int64_t>(record.position)) < 0 ||
        CopyBytes(tim, raw_.file(), length, buffer_) != CopyResult::Done) {
        return std::string();
    }
    rawLength_ = std::max(rawLength_, record.position + length);
    return std::nullopt;
}

// In a disc image the TIM goes into the sectors' data from the position on,
// each sector's codes rebuilt; a disc never grows, so the data must hold it.
// Rebuilding the codes of a sector that was already bad would hide its
// damage, so such a sector is refused unless the user said to rebuild it.
InsertJob::Refusal InsertJob::InsertIntoData(const ListRecord& record, File& tim,
                                             std::uint64_t length) {
    disc::DiscView& view = raw_.View();
    const auto at = raw_.ViewOffsetOf(record.position);
    if (!at) {
        return raw_.OutsideDataMessage(record.position);
    }
    if (!view.Reaches(*at + length)) {
        return std::string();
    }
    if (!options_.rebuildDamaged) {
        if (auto bad = disc::FirstDamagedSector(view, raw_.file(), *at, length)) {
            return msg::SectorAlreadyDamaged(bad->index, bad->index * disc::kSectorSize,
                                             !bad->check.edcOk, !bad->check.eccOk);
        }
    }
    buffer_.resize(kWorkBufferSize);
    for (std::uint64_t done = 0; done < length;) {
        const auto piece =
            static_cast<std::size_t>(std::min<std::uint64_t>(length - done, kWorkBufferSize));
        if (tim.Read(buffer_.data(), piece) != piece ||
            !view.Write(*at + done, buffer_.data(), piece)) {
            return std::string();
        }
        done += piece;
    }
    return std::nullopt;
}

bool InsertJob::SizeConfirmed(const ListRecord& record, std::uint64_t length) {
    if (length == record.size) {
        return true;
    }
    std::string question = length > record.size
                               ? msg::TimLarger(record.fileNumber, length - record.size)
                               : msg::TimSmaller(record.fileNumber, record.size - length);
    return host_.AskYesNo(question, msg::kConfirmTitle);
}

JobState InsertJob::Stop(const std::string& text, const char* title) {
    host_.MessageBox(text, title);
    stopped_ = true;
    raw_.Close();
    list_.Close();
    return JobState::Stopped;
}

}  // namespace pixalto::raw
