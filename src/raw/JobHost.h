#pragma once
// What a RAW-file job (scan, extraction or insertion) needs from whoever runs
// it: a progress bar, two status lines, the failure that stopped it, a Yes/No
// question, and the entry table. The window's scan dialog forwards these to its widgets and
// keeps the entries in the workspace; pixalto-cli and the tests keep them in
// memory (HeadlessHost).

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/Error.h"
#include "raw/ScanEntry.h"

namespace pixalto::raw {

// The two status lines under the progress bar.
enum class StatusLine { Upper = 1, Lower = 2 };

class JobHost {
  public:
    virtual ~JobHost() = default;

    virtual void SetProgressRange(std::int64_t lower, std::int64_t upper) = 0;
    virtual void SetProgressPos(std::int64_t pos) = 0;
    virtual void SetStatusText(StatusLine line, const std::string& text) = 0;

    // The failure that stopped the job; the host words it from the message
    // catalogue (a modal message with an OK button in the window).
    virtual void Failed(const Error& error) = 0;
    // A modal question with Yes and No.
    virtual bool AskYesNo(const std::string& text, const std::string& title) = 0;

    // The entry table: rows in order, row index = file number - 1.
    virtual void DeleteAllEntries() = 0;
    virtual void AddEntry(const ScanEntry& entry) = 0;
    virtual std::size_t EntryCount() const = 0;
    // The entry of a row; nothing for a row the host doesn't hold.
    virtual std::optional<ScanEntry> EntryAt(std::size_t row) const = 0;
};

}  // namespace pixalto::raw
