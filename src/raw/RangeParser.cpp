#include "raw/RangeParser.h"

#include <algorithm>

#include "raw/NumberText.h"

namespace pixalto::raw {
namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

SelectionPiece Span(std::uint32_t first, std::uint32_t last) {
    return {first, last, static_cast<std::uint32_t>(last - first + 1)};
}

bool PieceIsValid(std::string_view piece, std::uint32_t entryCount) {
    if (piece.empty() || !IsDigit(piece.front())) {
        return false;
    }
    auto read = ReadPiece(piece, entryCount);
    // A descending range is refused outright: "2-1" would otherwise count
    // zero files and pass every bound, and its extraction would never reach
    // its end.
    return read && read->first >= 1 && read->last >= read->first && read->last <= entryCount &&
           read->count <= entryCount;
}

}  // namespace

std::optional<SelectionPiece> ReadPiece(std::string_view piece, std::uint32_t entryCount) {
    auto first = ReadInt32(piece);
    if (!first) {
        return std::nullopt;
    }
    auto value = static_cast<std::uint32_t>(first->value);
    bool dash = first->end < piece.size() && piece[first->end] == '-';
    if (dash) {
        if (auto second = ReadInt32(piece, first->end + 1)) {
            return Span(value, static_cast<std::uint32_t>(second->value));
        }
        if (piece.back() == '-') {
            return Span(value, entryCount);
        }
    }
    return Span(value, value);
}

std::string_view PieceAt(std::string_view text, std::size_t offset) {
    if (offset >= text.size()) {
        return {};
    }
    std::size_t comma = text.find(',', offset);
    return text.substr(offset,
                       comma == std::string_view::npos ? text.size() - offset : comma - offset);
}

std::optional<std::uint64_t> CheckSelection(std::string_view text, std::uint32_t entryCount) {
    if (text.empty()) {
        return std::nullopt;
    }
    std::uint64_t total = 0;
    std::size_t offset = 0;
    while (offset <= text.size()) {
        std::string_view piece = PieceAt(text, offset);
        if (!PieceIsValid(piece, entryCount)) {
            return std::nullopt;
        }
        total += ReadPiece(piece, entryCount)->count;
        offset += piece.size() + 1;
    }
    return total;
}

std::vector<SelectionPiece> SelectedRanges(std::string_view text, std::uint32_t entryCount) {
    std::vector<SelectionPiece> pieces;
    for (std::size_t offset = 0; offset < text.size();) {
        std::string_view piece = PieceAt(text, offset);
        offset += piece.size() + 1;
        auto read = ReadPiece(piece, entryCount);
        if (read && read->first >= 1 && read->last >= read->first) {
            pieces.push_back(*read);
        }
    }
    std::sort(pieces.begin(), pieces.end(),
              [](const SelectionPiece& a, const SelectionPiece& b) { return a.first < b.first; });
    std::vector<SelectionPiece> ranges;
    for (const SelectionPiece& piece : pieces) {
        // Merged with the range before when they overlap or touch; in 64 bits,
        // so that a range ending at the largest number doesn't wrap.
        if (!ranges.empty() && piece.first <= std::uint64_t{ranges.back().last} + 1) {
            ranges.back() = Span(ranges.back().first, std::max(ranges.back().last, piece.last));
        } else {
            ranges.push_back(piece);
        }
    }
    return ranges;
}

}  // namespace pixalto::raw
