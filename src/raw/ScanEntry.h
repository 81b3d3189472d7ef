#pragma once
// One TIM found in a RAW file, and its row of text cells in the entry table.

#include <cstdint>
#include <optional>

#include "raw/ScanHost.h"

namespace pixalto::raw {

struct ScanEntry {
    std::int32_t fileNumber = 0;  // 1 for the first TIM found
    std::uint64_t position = 0;   // offset of the TIM's ID word in the RAW file
    std::uint16_t width = 0;      // the image block's fields as stored
    std::uint16_t height = 0;
};

EntryCells CellsOf(const ScanEntry& entry);

// Reads a row back from its cells as the jobs need it: position, width and
// height. Nothing when the row is missing or a cell holds no number.
std::optional<ScanEntry> ReadEntry(const ScanHost& host, std::size_t row);

}  // namespace pixalto::raw
