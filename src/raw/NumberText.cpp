#include "raw/NumberText.h"

#include <limits>

namespace pixalto::raw {
namespace {

struct Scanned {
    bool negative = false;
    std::uint64_t magnitude = 0;  // saturated at the largest 64-bit value
    std::size_t end = 0;
};

int DigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return 99;
}

std::optional<Scanned> Scan(std::string_view text, std::size_t pos) {
    Scanned out;
    while (pos < text.size() && IsSpace(text[pos])) {
        ++pos;
    }
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        out.negative = text[pos] == '-';
        ++pos;
    }
    int base = 10;
    if (pos < text.size() && text[pos] == '0') {
        bool hex = pos + 2 < text.size() && (text[pos + 1] == 'x' || text[pos + 1] == 'X') &&
                   DigitValue(text[pos + 2]) < 16;
        base = hex ? 16 : 8;
        pos += hex ? 2 : 0;
    }
    std::size_t first = pos;
    constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
    for (; pos < text.size() && DigitValue(text[pos]) < base; ++pos) {
        auto digit = static_cast<std::uint64_t>(DigitValue(text[pos]));
        out.magnitude = out.magnitude > (kMax - digit) / static_cast<std::uint64_t>(base)
                            ? kMax
                            : out.magnitude * static_cast<std::uint64_t>(base) + digit;
    }
    if (pos == first) {
        return std::nullopt;
    }
    out.end = pos;
    return out;
}

// Keeps the magnitude within what the signed or unsigned form of `bits` can
// hold, then takes a negative value as its unsigned complement.
NumberRead Fold(const Scanned& s, std::uint64_t unsignedMax, std::uint64_t negativeMax) {
    std::uint64_t limit = s.negative ? negativeMax : unsignedMax;
    std::uint64_t magnitude = s.magnitude > limit ? limit : s.magnitude;
    std::uint64_t value = s.negative ? (unsignedMax - magnitude + 1) & unsignedMax : magnitude;
    return {value, s.end};
}

}  // namespace

std::optional<NumberRead> ReadInt32(std::string_view text, std::size_t pos) {
    auto scanned = Scan(text, pos);
    if (!scanned) {
        return std::nullopt;
    }
    return Fold(*scanned, 0xFFFF'FFFFu, 0x8000'0000u);
}

std::optional<NumberRead> ReadInt64(std::string_view text, std::size_t pos) {
    auto scanned = Scan(text, pos);
    if (!scanned) {
        return std::nullopt;
    }
    return Fold(*scanned, std::numeric_limits<std::uint64_t>::max(), std::uint64_t{1} << 63);
}

}  // namespace pixalto::raw
