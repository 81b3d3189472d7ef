#pragma once
// The entry table as an extraction without a window needs it: of the entries
// a scan finds, only those a selection chooses are kept (compactly), and the
// others are only counted. Memory grows with the numbers chosen, not with the
// TIMs in the file.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "raw/RangeParser.h"
#include "raw/ScanEntry.h"

namespace pixalto::raw {

class SelectedEntries {
  public:
    // selection as the extraction will read it; an open range keeps every
    // entry from its first number on.
    explicit SelectedEntries(std::string_view selection);

    void Clear();
    // Counts the entry; keeps it when the selection chooses its number, or
    // when chosen says it is chosen some other way.
    void Add(const ScanEntry& entry, bool chosen = false);
    // Every entry added, kept or not.
    std::size_t Count() const { return count_; }
    // A kept entry as the scan found it; nothing for an entry not kept.
    std::optional<ScanEntry> At(std::size_t row) const;

  private:
    struct Kept {
        std::uint64_t row = 0;
        ScanEntry entry;
    };

    bool Chooses(std::uint64_t fileNumber) const;

    std::vector<SelectionPiece> ranges_;
    std::vector<Kept> kept_;  // in row order
    std::size_t count_ = 0;
};

}  // namespace pixalto::raw
