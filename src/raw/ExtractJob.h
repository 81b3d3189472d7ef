#pragma once
// Extraction: every file number of a selection is copied out of the RAW file
// into "<folder><number>.tim" beside it, one TIM per step, and recorded in the
// extraction list so that insertion can write it back.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "disc/DiscFiles.h"
#include "platform/File.h"
#include "platform/FileReplace.h"
#include "raw/ExtractionList.h"
#include "raw/Job.h"
#include "raw/JobHost.h"
#include "raw/RawData.h"

namespace pixalto::raw {

class ExtractJob : public Job {
  public:
    // selection is a text as CheckSelection accepts it; the positions and
    // sizes come from the host's entry table as the scan left it.
    // layout as for the scan: a disc image's TIMs are read from its data.
    ExtractJob(JobHost& host, std::string rawPath, std::string selection,
               LayoutChoice layout = LayoutChoice::Auto);

    // Checks the selection and every file the job will write (the list and
    // each .tim): when one of them is the RAW file itself, nothing is written.
    JobState Start() override;
    JobState Step() override;
    JobState End() override;

  private:
    std::string TimPath(std::uint32_t fileNumber) const;
    std::optional<std::string> OutputThatIsRawFile() const;
    bool TakeNextPiece();
    bool WriteTim(std::uint64_t at, std::uint64_t position, std::uint64_t size,
                  const std::string& outPath);
    Error CopyFromData(std::uint64_t at, std::uint64_t size, File& out);
    std::uint64_t TimSizeAt(std::uint64_t at, std::uint16_t width, std::uint16_t height);
    std::optional<ListRecordPlace> PlaceOf(std::uint64_t position) const;
    JobState Stop(const Error& error);
    JobState StopCouldntCreate(const std::string& path, const Error& why);

    JobHost& host_;
    std::string rawPath_;
    std::string selection_;
    std::string directory_;
    std::string listPath_;
    LayoutChoice layout_;
    RawData raw_;
    // A disc's file system, read once: each record says which file its TIM
    // is in.
    std::optional<disc::DiscFiles> files_;
    // The list is written under a temporary name and takes its place when the
    // job ends, holding a record for each .tim file that was written.
    std::unique_ptr<PendingFile> list_;
    std::uint32_t entryCount_ = 0;
    std::size_t readOffset_ = 0;
    std::uint32_t current_ = 1;
    std::uint32_t rangeEnd_ = 0;
    std::int64_t filesDone_ = 0;
    std::vector<std::uint8_t> buffer_;
};

}  // namespace pixalto::raw
