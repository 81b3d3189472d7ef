#pragma once
// What a RAW-file job needs from whoever runs it: a progress bar, two status
// lines, the failure that stopped it, a Yes/No question, and the entry table.
// The Qt scan dialog forwards these to its widgets and to the main window's
// list view; pixalto-cli and the tests keep them in memory (HeadlessHost).
//
// The entry table is held as text cells, the way the list view holds it, and
// the jobs read numbers back from those cells. Keeping that contract here lets
// a list view be the only store of the entries.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/Error.h"

namespace pixalto::raw {

// Columns of an entry row, in display order.
enum class EntryColumn { FileNumber = 0, Position = 1, Width = 2, Height = 3 };
inline constexpr std::size_t kEntryColumnCount = 4;
using EntryCells = std::array<std::string, kEntryColumnCount>;

// The column headers of the entry table.
inline constexpr std::array<const char*, kEntryColumnCount> kEntryHeaders = {"File #", "Position",
                                                                             "Width", "Height"};

// The two status lines under the progress bar.
enum class StatusLine { Upper = 1, Lower = 2 };

class ScanHost {
  public:
    virtual ~ScanHost() = default;

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
    virtual void AddEntry(const EntryCells& cells) = 0;
    virtual std::size_t EntryCount() const = 0;
    // The text of one cell; "" for a row or column that isn't there.
    virtual std::string GetEntryText(std::size_t row, EntryColumn column) const = 0;
};

}  // namespace pixalto::raw
