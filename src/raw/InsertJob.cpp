#include "raw/InsertJob.h"

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
    auto head = ReadListHead(ReadListWindow(0));
    if (!head) {
        return Stop(msg::kNoRecords, msg::kInsertionErrorTitle);
    }
    directory_ = FolderOf(listPath_);
    std::string rawPath = directory_ + *head;
    if (!IsBareFileName(*head) || !raw_.Open(rawPath, File::Mode::WriteInPlace)) {
        return Stop(msg::CouldntOpenForInsertion(rawPath), msg::kInsertionErrorTitle);
    }
    readOffset_ = head->size() + 1;
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

std::string InsertJob::ReadListWindow(std::uint64_t offset) {
    std::string window(kListWindowSize, '\0');
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
    auto length = static_cast<std::uint64_t>(tim.GetLength());
    if (!SizeConfirmed(record, length)) {
        return JobState::Running;  // this record is skipped, the next one follows
    }
    // Positions beyond what a file offset can hold can't be sought to.
    if (record.position > static_cast<std::uint64_t>(INT64_MAX) ||
        raw_.Seek(static_cast<std::int64_t>(record.position)) < 0 ||
        CopyBytes(tim, raw_, length, buffer_, PastEnd::Stop) != CopyResult::Done) {
        return Stop(msg::CouldntInsertTim(record.fileNumber), msg::kInsertionErrorTitle);
    }
    return JobState::Running;
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
