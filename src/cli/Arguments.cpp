#include "cli/Arguments.h"

#include <charconv>
#include <string_view>

namespace pixalto::cli {

std::optional<std::uint64_t> ParseUnsigned(const std::string& text) {
    int base = 10;
    std::string_view digits = text;
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
        base = 16;
        digits.remove_prefix(2);
    }
    std::uint64_t value = 0;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value, base);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size()) {
        return std::nullopt;
    }
    return value;
}

std::optional<Point> ParsePoint(const std::string& text) {
    const auto comma = text.find(',');
    if (comma == std::string::npos) {
        return std::nullopt;
    }
    auto x = ParseUnsigned(text.substr(0, comma));
    auto y = ParseUnsigned(text.substr(comma + 1));
    if (!x || !y) {
        return std::nullopt;
    }
    return Point{static_cast<std::uint32_t>(*x), static_cast<std::uint32_t>(*y)};
}

CLI::Option* AddArgument(CLI::App& command, const std::string& name, std::string& value,
                         const std::string& help) {
    return command.add_option(name, value, help)->required()->type_name("");
}

CLI::Option* AddOptionalArgument(CLI::App& command, const std::string& name,
                                 std::optional<std::string>& value, const std::string& help) {
    return command
        .add_option_function<std::string>(
            name, [&value](const std::string& text) { value = text; }, help)
        ->type_name("");
}

CLI::Option* AddNumberOption(CLI::App& command, const std::string& name, std::uint64_t& value,
                             const std::string& help) {
    return command
        .add_option_function<std::string>(
            name,
            [&value, name](const std::string& text) {
                auto number = ParseUnsigned(text);
                if (!number) {
                    throw CLI::ValidationError(name, "must be a whole number, not '" + text + "'");
                }
                value = *number;
            },
            help)
        ->type_name("N");
}

CLI::Option* AddPointOption(CLI::App& command, const std::string& name, std::optional<Point>& value,
                            const std::string& help) {
    return command
        .add_option_function<std::string>(
            name,
            [&value, name](const std::string& text) {
                value = ParsePoint(text);
                if (!value) {
                    throw CLI::ValidationError(name,
                                               "must be two whole numbers X,Y, not '" + text + "'");
                }
            },
            help)
        ->type_name("X,Y");
}

CLI::Option* AddLayoutOption(CLI::App& command, raw::LayoutChoice& value) {
    return command
        .add_option_function<std::string>(
            "--layout",
            [&value](const std::string& text) {
                if (text == "auto") {
                    value = raw::LayoutChoice::Auto;
                } else if (text == "plain") {
                    value = raw::LayoutChoice::Plain;
                } else if (text == "disc") {
                    value = raw::LayoutChoice::Disc;
                } else {
                    throw CLI::ValidationError("--layout",
                                               "must be auto, plain or disc, not '" + text + "'");
                }
            },
            "auto (default): a raw CD image (2,352-byte sectors, or MODE2/2336) is read "
            "through its sectors' data; plain: every byte as it is; disc: as a raw CD image")
        ->type_name("auto|plain|disc");
}

CLI::Option* AddFlag(CLI::App& command, const std::string& name, bool& value,
                     const std::string& help) {
    return command.add_flag(name, value, help)
        ->multi_option_policy(CLI::MultiOptionPolicy::Throw)
        ->disable_flag_override();
}

}  // namespace pixalto::cli
