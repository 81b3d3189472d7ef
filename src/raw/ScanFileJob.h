#pragma once
// The scan: every offset of a RAW file is tested for a TIM, window by window,
// and each TIM found becomes a row of the host's entry table.

#include <memory>
#include <string>

#include "platform/File.h"
#include "raw/Job.h"
#include "raw/JobHost.h"
#include "raw/RawData.h"

namespace pixalto::raw {

class ScanFileJob : public Job {
  public:
    // layout says how to take the file's bytes: as detected (a raw CD image
    // is scanned through its data view), or plain or disc as the user says.
    ScanFileJob(JobHost& host, std::string rawPath, LayoutChoice layout = LayoutChoice::Auto);
    // Scans a RAW file its owner has opened already (and keeps open after the
    // scan, layout and all); one that isn't open is reported as the file
    // that couldn't be opened.
    ScanFileJob(JobHost& host, RawData& opened);

    // Opens the RAW file and empties the entry table. A file that can't be
    // opened is reported and leaves the table as it was.
    JobState Start() override;
    // Reads one window and lists the TIMs that start in it.
    JobState Step() override;
    JobState End() override;

    std::uint64_t FoundCount() const { return foundCount_; }

  private:
    std::size_t LoadWindow();
    void TestWindow(std::size_t count);
    JobState Stop(Error error);
    void AddFound(std::uint64_t offset, std::uint16_t width, std::uint16_t height);

    JobHost& host_;
    std::string rawPath_;
    LayoutChoice layout_;
    RawData own_;
    RawData& raw_;  // own_, or the owner's
    bool owned_ = true;
    std::uint64_t length_ = 0;  // the most the data can hold
    std::uint64_t position_ = 0;
    std::uint64_t foundCount_ = 0;
    std::uint64_t blockStart_ = 0;            // data offset of buffer_'s first byte
    std::size_t blockSize_ = 0;               // bytes of data in buffer_
    std::unique_ptr<std::uint8_t[]> buffer_;  // kept for the next scan
};

}  // namespace pixalto::raw
