#pragma once
// Whole numbers in text as the C "%i" conversion reads them: leading white
// space skipped, an optional sign, then hexadecimal digits after 0x or 0X,
// octal digits after a leading 0, or else decimal digits; reading stops at the
// first character that doesn't fit. Every number the user types, every cell
// of the entry table and every field of the extraction list is read this way.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pixalto::raw {

struct NumberRead {
    std::uint64_t value = 0;
    std::size_t end = 0;  // offset just past the last character read
};

// A number read at offset pos of text, 32 bits wide: a negative value is its
// unsigned 32-bit complement (-1 reads as 4294967295). Magnitudes beyond 32
// bits saturate instead of wrapping, so that no overlong number can come back
// as a small valid one. Nothing when no digit is found.
std::optional<NumberRead> ReadInt32(std::string_view text, std::size_t pos = 0);

// The same with 64 bits, for positions and sizes in files of any length.
std::optional<NumberRead> ReadInt64(std::string_view text, std::size_t pos = 0);

// True for the characters that "%i" and white space in a scanf pattern skip.
constexpr bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Numbers as they are written for the user, the list view and the extraction
// list: plain decimal.
inline std::string Decimal(std::uint64_t value) {
    return std::to_string(value);
}
// File numbers keep the signed form that "%i" prints.
inline std::string Decimal(std::int32_t value) {
    return std::to_string(value);
}

}  // namespace pixalto::raw
