#include "raw/ScanEntry.h"

#include "raw/NumberText.h"

namespace pixalto::raw {

EntryCells CellsOf(const ScanEntry& entry) {
    return {Decimal(entry.fileNumber), Decimal(entry.position), Decimal(std::uint64_t{entry.width}),
            Decimal(std::uint64_t{entry.height})};
}

std::optional<ScanEntry> ReadEntry(const ScanHost& host, std::size_t row) {
    if (row >= host.EntryCount()) {
        return std::nullopt;
    }
    auto position = ReadInt64(host.GetEntryText(row, EntryColumn::Position));
    auto width = ReadInt32(host.GetEntryText(row, EntryColumn::Width));
    auto height = ReadInt32(host.GetEntryText(row, EntryColumn::Height));
    if (!position || !width || !height) {
        return std::nullopt;
    }
    ScanEntry entry;
    entry.fileNumber = static_cast<std::int32_t>(row + 1);
    entry.position = position->value;
    entry.width = static_cast<std::uint16_t>(width->value);
    entry.height = static_cast<std::uint16_t>(height->value);
    return entry;
}

}  // namespace pixalto::raw
