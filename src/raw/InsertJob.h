#pragma once
// Insertion: the .tim files named by an extraction list are written back into
// the RAW file the list names, each at its recorded position, one record per
// step. A file whose size changed is written only when the host says Yes.

#include <sys/stat.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "disc/PendingWrites.h"
#include "platform/File.h"
#include "raw/ExtractionList.h"
#include "raw/Job.h"
#include "raw/JobHost.h"
#include "raw/RawData.h"

namespace pixalto::raw {

// What became of one record of the list, for a dry run's report.
struct InsertRecordReport {
    std::int32_t fileNumber = 0;
    std::uint64_t listedSize = 0;
    std::optional<std::uint64_t> timSize;  // nothing when the .tim couldn't be opened
    // In a disc image, the sectors the TIM's bytes would go into (numbers in
    // the file) and how many of them already have wrong codes.
    std::optional<std::uint64_t> firstSector, lastSector;
    std::uint64_t damagedSectors = 0;
    bool written = false;
    bool sizeDeclined = false;  // its size changed and the host said No
    Error refusal;              // why it wasn't written, when refused
};

// The cells of a record's row in a dry run's report, one under each of
// msg::kDryRunHeaders: "-" where the record gave nothing to tell.
std::vector<std::string> ReportCells(const InsertRecordReport& report);

struct InsertOptions {
    // Auto: as the list's layout line says, which the file must agree with;
    // a list without one goes only into a file that isn't a disc image.
    // Plain or Disc: the user says what the file is, whatever the list says.
    LayoutChoice layout = LayoutChoice::Auto;
    // Write into sectors whose codes are already wrong, hiding that damage.
    bool rebuildDamaged = false;
    // When set, kept equal to the count of records written, for a caller
    // that hands the job away (the window's job dialog deletes it at its end).
    std::uint64_t* insertedCount = nullptr;
    // Writes go here instead of into the RAW file, which is then only read:
    // the bytes a patch is made of.
    disc::PendingWrites* divert = nullptr;
    // Reads everything and writes nothing (into divert, or a buffer of the
    // job's own): every record is tried and reported, a refused one doesn't
    // stop the next.
    bool dryRun = false;
    // How the RAW file's kind is learnt (stat(2)): a block device, a disc in a
    // drive, is never written into, only read (a dry run, a patch). Tests
    // put a fake here.
    int (*statFile)(const char*, struct stat*) = ::stat;
    // Told of every record as it is done (or refused, or skipped).
    std::function<void(const InsertRecordReport&)> report = nullptr;
};

class InsertJob : public Job {
  public:
    InsertJob(JobHost& host, std::string listPath, InsertOptions options = {});

    // Reads the list's head and layout and opens the RAW file in place (never
    // created or truncated). Nothing is written when either fails or the list
    // and the file disagree about the layout.
    JobState Start() override;
    JobState Step() override;
    JobState End() override;

    // The RAW file the list names, once Start has read the list's head.
    const std::string& RawPath() const { return rawPath_; }

    // Records written so far; those skipped at a question don't count.
    std::uint64_t InsertedCount() const { return insertedCount_; }

  private:
    void ReportInsertedCount() const;

    std::string ReadListWindow(std::uint64_t offset, std::size_t size = kListWindowSize);
    ListLayoutReader ReadListLayouts(std::uint64_t from);
    Error LayoutRefusal(const std::optional<std::string>& listed, disc::DiscLayout detected,
                        const std::string& rawPath) const;
    disc::DiscLayout ChosenLayout(disc::DiscLayout detected,
                                  const std::optional<std::string>& listed) const;
    JobState Insert(const ListRecord& record);
    JobState Refused(InsertRecordReport& report, Error error);
    void Report(const InsertRecordReport& report) const;
    // Why a record wasn't written (CouldntInsertTim, its number set by the
    // caller); none when it was.
    Error InsertPlain(const ListRecord& record, File& tim, std::uint64_t length);
    Error InsertIntoData(const ListRecord& record, File& tim, std::uint64_t length);
    bool SizeConfirmed(const ListRecord& record, std::uint64_t length);
    JobState Stop(const Error& error);

    JobHost& host_;
    std::string listPath_;
    InsertOptions options_;
    std::string directory_;
    std::string rawPath_;
    File list_;
    RawData raw_;
    std::uint64_t rawLength_ = 0;
    std::uint64_t readOffset_ = 0;
    std::int32_t recordsRead_ = 0;
    std::uint64_t insertedCount_ = 0;
    std::vector<std::uint8_t> buffer_;
    disc::PendingWrites ownPending_;
    disc::PendingWrites* pending_ = nullptr;  // where writes go instead of the file  // a dry run's
                                              // writes, when no one else keeps them
};

}  // namespace pixalto::raw
