#pragma once
// One TIM found in a RAW file: a row of the entry table.

#include <array>
#include <cstddef>
#include <cstdint>

namespace pixalto::raw {

// Laid out in 16 bytes: a window lists millions of these, each kept as is.
struct ScanEntry {
    std::uint64_t position = 0;   // offset of the TIM's ID word in the RAW file
    std::int32_t fileNumber = 0;  // 1 for the first TIM found
    std::uint16_t width = 0;      // the image block's fields as stored
    std::uint16_t height = 0;
    bool operator==(const ScanEntry&) const = default;
};
static_assert(sizeof(ScanEntry) == 16);

// Columns of an entry row, in display order, and their headers.
enum class EntryColumn { FileNumber = 0, Position = 1, Width = 2, Height = 3 };
inline constexpr std::size_t kEntryColumnCount = 4;
inline constexpr std::array<const char*, kEntryColumnCount> kEntryHeaders = {"File #", "Position",
                                                                             "Width", "Height"};

// The number a column shows for the entry.
constexpr std::int64_t ColumnValue(const ScanEntry& entry, EntryColumn column) {
    switch (column) {
        case EntryColumn::FileNumber:
            return entry.fileNumber;
        case EntryColumn::Position:
            return static_cast<std::int64_t>(entry.position);
        case EntryColumn::Width:
            return entry.width;
        case EntryColumn::Height:
            return entry.height;
    }
    return 0;
}

}  // namespace pixalto::raw
