#pragma once
// A JobHost without a window: the entry table lives in memory, progress and
// status texts are remembered (last value only), failures are dropped and
// every question is answered No. Front ends without a window derive from it
// and override what they show.

#include <vector>

#include "raw/JobHost.h"

namespace pixalto::raw {

class HeadlessHost : public JobHost {
  public:
    void SetProgressRange(std::int64_t lower, std::int64_t upper) override;
    void SetProgressPos(std::int64_t pos) override { progressPos_ = pos; }
    void SetStatusText(StatusLine line, const std::string& text) override;
    void Failed(const Error&) override {}
    bool AskYesNo(const std::string&, const std::string&) override { return false; }

    void DeleteAllEntries() override { rows_.clear(); }
    void AddEntry(const ScanEntry& entry) override { rows_.push_back(entry); }
    std::size_t EntryCount() const override { return rows_.size(); }
    std::optional<ScanEntry> EntryAt(std::size_t row) const override;

    const std::vector<ScanEntry>& Rows() const { return rows_; }
    std::int64_t ProgressLower() const { return progressLower_; }
    std::int64_t ProgressUpper() const { return progressUpper_; }
    std::int64_t ProgressPos() const { return progressPos_; }
    const std::string& StatusText(StatusLine line) const;

  private:
    std::vector<ScanEntry> rows_;
    std::int64_t progressLower_ = 0, progressUpper_ = 0, progressPos_ = 0;
    std::string upperText_, lowerText_;
};

}  // namespace pixalto::raw
