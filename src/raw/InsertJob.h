#pragma once
// Insertion: the .tim files named by an extraction list are written back into
// the RAW file the list names, each at its recorded position, one record per
// step. A file whose size changed is written only when the host says Yes.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/File.h"
#include "raw/ExtractionList.h"
#include "raw/Job.h"
#include "raw/RawData.h"
#include "raw/ScanHost.h"

namespace pixalto::raw {

class InsertJob : public Job {
  public:
    InsertJob(ScanHost& host, std::string listPath);

    // Reads the list's head and opens the RAW file in place (never created or
    // truncated). Nothing is written when either fails.
    JobState Start() override;
    JobState Step() override;
    int End() override;

  private:
    std::string ReadListWindow(std::uint64_t offset, std::size_t size = kListWindowSize);
    JobState Insert(const ListRecord& record);
    bool InsertPlain(const ListRecord& record, File& tim, std::uint64_t length);
    bool InsertIntoData(const ListRecord& record, File& tim, std::uint64_t length);
    bool SizeConfirmed(const ListRecord& record, std::uint64_t length);
    JobState Stop(const std::string& text, const char* title);

    ScanHost& host_;
    std::string listPath_;
    std::string directory_;
    File list_;
    RawData raw_;
    std::uint64_t rawLength_ = 0;
    std::uint64_t readOffset_ = 0;
    std::int32_t recordsRead_ = 0;
    bool stopped_ = false;
    std::vector<std::uint8_t> buffer_;
};

}  // namespace pixalto::raw
