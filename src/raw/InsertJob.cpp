#include "raw/InsertJob.h"

#include <algorithm>
#include <utility>

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

InsertJob::InsertJob(ScanHost& host, std::string listPath)
    : host_(host), listPath_(std::move(listPath)) {}

JobState InsertJob::Start() {
    recordsRead_ = 0;
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
    // A list written for a disc image names its layout; without that line
    // the bytes go in plainly, as lists always did.
    const auto layoutName = ReadListLayout(ReadListWindow(headEnd));
    const auto layout =
        layoutName ? disc::ParseLayoutName(*layoutName) : std::optional(disc::DiscLayout::Plain);
    if (!layout) {
        return Stop(msg::UnknownLayout(*layoutName), msg::kInsertionErrorTitle);
    }
    if (!IsBareFileName(*head) || !raw_.Open(rawPath, File::Mode::WriteInPlace, *layout)) {
        return Stop(msg::CouldntOpenForInsertion(rawPath), msg::kInsertionErrorTitle);
    }
    if (layoutName && raw_.DetectedLayout() != *layout) {
        return Stop(msg::LayoutMismatch(*layoutName, rawPath,
                                        std::string(disc::LayoutName(raw_.DetectedLayout()))),
                    msg::kInsertionErrorTitle);
    }
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
    if (!(raw_.IsDisc() ? InsertIntoData(record, tim, length) : InsertPlain(record, tim, length))) {
        return Stop(msg::CouldntInsertTim(record.fileNumber), msg::kInsertionErrorTitle);
    }
    return JobState::Running;
}

// The RAW file never grows unasked: a record must start inside it, and may
// run past its end only when the user has just agreed to a larger file for
// this very record.
bool InsertJob::InsertPlain(const ListRecord& record, File& tim, std::uint64_t length) {
    const bool agreedToGrow = length > record.size;
    const bool startsInside = record.position < rawLength_;
    const bool endsInside = startsInside && length <= rawLength_ - record.position;
    if (!startsInside || (!endsInside && !agreedToGrow) ||
        raw_.file().Seek(static_cast<std::int64_t>(record.position)) < 0 ||
        CopyBytes(tim, raw_.file(), length, buffer_) != CopyResult::Done) {
        return false;
    }
    rawLength_ = std::max(rawLength_, record.position + length);
    return true;
}

// In a disc image the TIM goes into the sectors' data from the position on,
// each sector's codes rebuilt; a disc never grows, so the data must hold it.
bool InsertJob::InsertIntoData(const ListRecord& record, File& tim, std::uint64_t length) {
    disc::DiscView& view = raw_.View();
    const auto at = raw_.ViewOffsetOf(record.position);
    if (!at || !view.Reaches(*at + length)) {
        return false;
    }
    buffer_.resize(kWorkBufferSize);
    for (std::uint64_t done = 0; done < length;) {
        const auto piece =
            static_cast<std::size_t>(std::min<std::uint64_t>(length - done, kWorkBufferSize));
        if (tim.Read(buffer_.data(), piece) != piece ||
            !view.Write(*at + done, buffer_.data(), piece)) {
            return false;
        }
        done += piece;
    }
    return true;
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
