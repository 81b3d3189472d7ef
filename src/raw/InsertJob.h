#pragma once
// Insertion: the .tim files named by an extraction list are written back into
// the RAW file the list names, each at its recorded position, one record per
// step. A file whose size changed is written only when the host says Yes.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/File.h"
#include "raw/ExtractionList.h"
#include "raw/Job.h"
#include "raw/RawData.h"
#include "raw/JobHost.h"

namespace pixalto::raw {

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
    File list_;
    RawData raw_;
    std::uint64_t rawLength_ = 0;
    std::uint64_t readOffset_ = 0;
    std::int32_t recordsRead_ = 0;
    std::uint64_t insertedCount_ = 0;
    std::vector<std::uint8_t> buffer_;
};

}  // namespace pixalto::raw
