#include "raw/InsertJob.h"

#include <algorithm>
#include <utility>

#include "disc/SectorDamage.h"
#include "messages/Catalogue.h"
#include "raw/FileCopy.h"
#include "raw/NumberText.h"

namespace pixalto::raw {
namespace {

// The head must be a bare file name: extraction never writes a folder there,
// and a list edited to name "../x" must not patch a file elsewhere.
// A record refused for a reason of its own, told under "Couldn't insert TIM #n.".
Error NotInserted(Error reason) {
    return Error(ErrorCode::CouldntInsertTim).Because(std::move(reason));
}

// The copy's source: the .tim, read in order.
auto ReadingFrom(File& tim) {
    return [&tim](std::uint64_t, std::uint8_t* data, std::size_t count) {
        return tim.Read(data, count) == count ? Error()
                                              : tim.LastError().As(ErrorCode::CouldntInsertTim);
    };
}

bool IsBareFileName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(std::string("/\0", 2)) == std::string::npos;
}

}  // namespace

InsertJob::InsertJob(JobHost& host, std::string listPath, InsertOptions options)
    : host_(host), listPath_(std::move(listPath)), options_(options) {}

JobState InsertJob::Start() {
    failure_ = {};
    recordsRead_ = 0;
    insertedCount_ = 0;
    ReportInsertedCount();
    host_.SetStatusText(StatusLine::Upper, "");
    host_.SetStatusText(StatusLine::Lower, "");
    if (!list_.Open(listPath_, File::Mode::Read)) {
        return Stop(list_.LastError().As(ErrorCode::CouldntOpenFile));
    }
    host_.SetProgressRange(0, list_.GetLength());
    std::size_t headEnd = 0;
    auto head = ReadListHead(ReadListWindow(0, kListHeadWindowSize), &headEnd);
    if (!head) {
        return Stop(Error(ErrorCode::NoRecords));
    }
    directory_ = FolderOf(listPath_);
    rawPath_ = directory_ + *head;
    const std::string& rawPath = rawPath_;
    // Opened as plain bytes first: its layout is chosen once the list's
    // layout lines and the file's first sector have both been read. Writes
    // kept elsewhere leave it opened for reading alone.
    pending_ = options_.divert != nullptr ? options_.divert
               : options_.dryRun          ? &ownPending_
                                          : nullptr;
    const File::Mode mode = pending_ != nullptr ? File::Mode::ReadRaw : File::Mode::WriteInPlace;
    struct stat info {};
    if (pending_ == nullptr && IsBareFileName(*head) &&
        options_.statFile(rawPath.c_str(), &info) == 0 && S_ISBLK(info.st_mode)) {
        return Stop(Error(ErrorCode::InsertIntoDevice, rawPath));
    }
    if (!IsBareFileName(*head) || !raw_.Open(rawPath, mode, disc::DiscLayout::Plain)) {
        return Stop(raw_.file().LastError().As(ErrorCode::CouldntOpenForInsertion).About(rawPath));
    }
    const ListLayoutReader named = ReadListLayouts(headEnd);
    if (named.Conflict()) {
        Error error(ErrorCode::TwoLayouts);
        error.detail = *named.Layout();
        error.other = *named.Conflict();
        return Stop(error);
    }
    const disc::DiscLayout detected = raw_.DetectedLayout();
    if (options_.layout == LayoutChoice::Auto) {
        if (Error refusal = LayoutRefusal(named.Layout(), detected, rawPath)) {
            return Stop(refusal);
        }
    }
    raw_.UseLayout(ChosenLayout(detected, named.Layout()));
    raw_.View().DivertWrites(pending_);
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
            return Stop(Error(ErrorCode::NoRecords));
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
        return Stop(Error(ErrorCode::InvalidRecord).WithNumber(recordsRead_));
    }
    host_.SetStatusText(StatusLine::Upper, msg::TimNumber(record->fileNumber));
    return Insert(*record);
}

JobState InsertJob::End() {
    raw_.Close();
    list_.Close();
    return Outcome();
}

std::string InsertJob::ReadListWindow(std::uint64_t offset, std::size_t size) {
    std::string window(size, '\0');
    std::size_t got = 0;
    if (list_.Seek(static_cast<std::int64_t>(offset))) {
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
Error InsertJob::LayoutRefusal(const std::optional<std::string>& listed, disc::DiscLayout detected,
                               const std::string& rawPath) const {
    Error refusal(ErrorCode::None, rawPath);
    refusal.detail = listed.value_or("");
    refusal.other = disc::LayoutName(detected);
    if (!listed) {
        return detected == disc::DiscLayout::Plain ? Error()
                                                   : refusal.As(ErrorCode::NoLayoutForDisc);
    }
    const auto layout = disc::ParseLayoutName(*listed);
    if (!layout) {
        return refusal.As(ErrorCode::UnknownLayout);
    }
    if (*layout != detected) {
        return refusal.As(ErrorCode::LayoutMismatch);
    }
    return {};
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

std::vector<std::string> ReportCells(const InsertRecordReport& report) {
    std::string sectors = "-", damaged = "-";
    if (report.firstSector) {
        sectors = Decimal(*report.firstSector);
        if (report.lastSector && *report.lastSector != *report.firstSector) {
            sectors += '-' + Decimal(*report.lastSector);
        }
        damaged = Decimal(report.damagedSectors);
    }
    return {Decimal(report.fileNumber),
            report.timSize ? msg::SizeChange(report.listedSize, *report.timSize) : "-",
            std::move(sectors), std::move(damaged),
            report.written        ? std::string(msg::kWouldBeWritten)
            : report.sizeDeclined ? std::string(msg::kSizeChangedNotWritten)
                                  : msg::NotWritten(report.refusal)};
}

JobState InsertJob::Insert(const ListRecord& record) {
    InsertRecordReport report;
    report.fileNumber = record.fileNumber;
    report.listedSize = record.size;
    std::string timPath = directory_ + Decimal(record.fileNumber) + ".tim";
    File tim;
    if (!tim.Open(timPath, File::Mode::Read)) {
        return Refused(report,
                       tim.LastError().As(ErrorCode::CouldntOpenTim).WithNumber(record.fileNumber));
    }
    auto length = static_cast<std::uint64_t>(std::max<std::int64_t>(tim.GetLength(), 0));
    report.timSize = length;
    if (options_.report && raw_.IsDisc()) {
        if (const auto at = raw_.ViewOffsetOf(record.position)) {
            if (auto touched = disc::CountTouchedSectors(raw_.View(), raw_.file(), *at, length)) {
                report.firstSector = touched->first;
                report.lastSector = touched->last;
                report.damagedSectors = touched->damaged;
            }
        }
    }
    if (!SizeConfirmed(record, length)) {
        report.sizeDeclined = true;
        Report(report);
        return JobState::Running;  // this record is skipped, the next one follows
    }
    if (Error refusal = raw_.IsDisc() ? InsertIntoData(record, tim, length)
                                      : InsertPlain(record, tim, length)) {
        return Refused(report, refusal.WithNumber(record.fileNumber));
    }
    report.written = true;
    Report(report);
    ++insertedCount_;
    ReportInsertedCount();
    return JobState::Running;
}

// A record that can't be written stops the insertion, except in a dry run,
// which goes on to tell of every record.
JobState InsertJob::Refused(InsertRecordReport& report, Error error) {
    report.refusal = error;
    Report(report);
    return options_.dryRun ? JobState::Running : Stop(error);
}

void InsertJob::Report(const InsertRecordReport& report) const {
    if (options_.report) {
        options_.report(report);
    }
}

void InsertJob::ReportInsertedCount() const {
    if (options_.insertedCount != nullptr) {
        *options_.insertedCount = insertedCount_;
    }
}

// The RAW file never grows unasked: a record must start inside it, and may
// run past its end only when the user has just agreed to a larger file for
// this very record.
Error InsertJob::InsertPlain(const ListRecord& record, File& tim, std::uint64_t length) {
    if (record.position >= rawLength_) {
        return NotInserted(raw_.OutsideData(record.position));
    }
    const bool agreedToGrow = length > record.size;
    const bool endsInside = length <= rawLength_ - record.position;
    if (!endsInside && !agreedToGrow) {
        return Error(ErrorCode::CouldntInsertTim);
    }
    if (pending_ != nullptr) {
        // Kept, not written: the file may grow here, as it would.
        if (Error failure =
                CopyInPieces(length, buffer_, ReadingFrom(tim),
                             [&](std::uint64_t done, const std::uint8_t* data, std::size_t count) {
                                 pending_->Put(record.position + done, data, count);
                                 return Error();
                             })) {
            return failure;
        }
    } else if (!raw_.file().Seek(static_cast<std::int64_t>(record.position))) {
        return Error(ErrorCode::CouldntInsertTim);
    } else if (Error failure = CopyBytes(tim, raw_.file(), length, buffer_)) {
        return failure.As(ErrorCode::CouldntInsertTim);
    }
    rawLength_ = std::max(rawLength_, record.position + length);
    return {};
}

// In a disc image the TIM goes into the sectors' data from the position on,
// each sector's codes rebuilt; a disc never grows, so the data must hold it.
// Rebuilding the codes of a sector that was already bad would hide its
// damage, so such a sector is refused unless the user said to rebuild it.
Error InsertJob::InsertIntoData(const ListRecord& record, File& tim, std::uint64_t length) {
    disc::DiscView& view = raw_.View();
    const auto at = raw_.ViewOffsetOf(record.position);
    if (!at) {
        return NotInserted(raw_.OutsideData(record.position));
    }
    if (!view.Reaches(*at + length)) {
        return Error(ErrorCode::CouldntInsertTim);
    }
    if (!options_.rebuildDamaged) {
        if (auto bad = disc::FirstDamagedSector(view, raw_.file(), *at, length)) {
            Error damaged(ErrorCode::SectorAlreadyDamaged);
            damaged.number = static_cast<std::int64_t>(bad->index);
            damaged.offset = bad->index * view.SectorSize();
            damaged.damage = static_cast<std::uint8_t>((bad->check.edcOk ? 0 : kEdcDamaged) |
                                                       (bad->check.eccOk ? 0 : kEccDamaged));
            return NotInserted(damaged);
        }
    }
    return CopyInPieces(length, buffer_, ReadingFrom(tim),
                        [&](std::uint64_t done, const std::uint8_t* data, std::size_t count) {
                            return view.Write(*at + done, data, count)
                                       ? Error()
                                       : raw_.file().LastError().As(ErrorCode::CouldntInsertTim);
                        });
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

JobState InsertJob::Stop(const Error& error) {
    failure_ = error;
    host_.Failed(error);
    raw_.Close();
    list_.Close();
    return JobState::Stopped;
}

}  // namespace pixalto::raw
