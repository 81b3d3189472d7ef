#include "workspace/ColorFields.h"

#include <cctype>
#include <cstdio>

namespace pixalto::workspace {
namespace {

// Characters of a field that are read; the rest is ignored, as typed.
constexpr std::size_t kFieldCharsRead = 3;

constexpr std::size_t kHexDigits = 6;

}  // namespace

std::optional<int> ReadColorField(const std::string& text) {
    // Three decimal characters can't overflow an int.
    const std::string head = text.substr(0, kFieldCharsRead);
    int value = 0;
    if (std::sscanf(head.c_str(), "%d", &value) != 1) {
        return std::nullopt;
    }
    return value;
}

std::string HexColorText(const Rgb& rgb) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", rgb[0] & 0xFF, rgb[1] & 0xFF, rgb[2] & 0xFF);
    return text;
}

std::optional<Rgb> ReadHexColor(const std::string& text) {
    const std::string digits = !text.empty() && text.front() == '#' ? text.substr(1) : text;
    if (digits.size() != kHexDigits) {
        return std::nullopt;
    }
    Rgb rgb{};
    for (std::size_t i = 0; i < kHexDigits; ++i) {
        const auto c = static_cast<unsigned char>(digits[i]);
        if (!std::isxdigit(c)) {
            return std::nullopt;
        }
        const int digit = std::isdigit(c) ? c - '0' : std::tolower(c) - 'a' + 10;
        rgb[i / 2] = rgb[i / 2] * 16 + digit;
    }
    return rgb;
}

PsxColor ComposeColor(const Rgb& rgb, bool invisible) {
    // Bits 3 to 7 of a typed value are those of its low byte.
    return RgbToPsx(static_cast<std::uint8_t>(rgb[0]), static_cast<std::uint8_t>(rgb[1]),
                    static_cast<std::uint8_t>(rgb[2]), !invisible);
}

}  // namespace pixalto::workspace
