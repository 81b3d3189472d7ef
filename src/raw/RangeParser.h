#pragma once
// The file-number selection typed before an extraction, such as "1,2-3,5-":
// pieces separated by single commas, each a range "a-b", an open range "a-"
// (up to the last entry) or a single number, numbers read as "%i" reads
// them. The range dialog checks a text with CheckSelection; the extraction
// reads the same text again piece by piece with ReadPiece.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace pixalto::raw {

struct SelectionPiece {
    std::uint32_t first = 0;
    std::uint32_t last = 0;   // the range's end; first for a single number
    std::uint32_t count = 0;  // file numbers selected: last - first + 1
};

// Reads one piece (the text between two commas) by the first form that
// applies. Characters after what the form reads are ignored. Nothing when no
// form applies. Values are not checked here.
std::optional<SelectionPiece> ReadPiece(std::string_view piece, std::uint32_t entryCount);

// The piece that starts at offset: up to the next comma, or to the end.
std::string_view PieceAt(std::string_view text, std::size_t offset);

// Checks a whole selection against the number of entries and returns how
// many files it selects (a number counted once for each piece that selects
// it), or nothing when the text is invalid. Every piece must start with a
// digit and select numbers from 1 to entryCount in increasing order; an empty
// text selects nothing and is refused too.
std::optional<std::uint64_t> CheckSelection(std::string_view text, std::uint32_t entryCount);

// The file numbers a selection chooses, as ranges in increasing order that
// neither overlap nor touch (count is each range's size); an open range runs
// to entryCount. Pieces that don't select any number are left out.
std::vector<SelectionPiece> SelectedRanges(std::string_view text, std::uint32_t entryCount);

}  // namespace pixalto::raw
