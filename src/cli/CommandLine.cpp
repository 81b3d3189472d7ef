#include "cli/CommandLine.h"

#include <algorithm>
#include <charconv>

namespace pixalto::cli {

CommandLine::CommandLine(const std::vector<std::string>& args,
                         const std::vector<OptionSpec>& specs) {
    bool onlyPositional = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (onlyPositional || arg.size() < 2 || arg.rfind("--", 0) != 0) {
            positional_.push_back(arg);
            continue;
        }
        if (arg == "--") {
            onlyPositional = true;
            continue;
        }
        if (arg == "--help") {
            help_ = true;
            continue;
        }
        std::string name = arg;
        std::optional<std::string> inlineValue;
        if (auto eq = arg.find('='); eq != std::string::npos) {
            name = arg.substr(0, eq);
            inlineValue = arg.substr(eq + 1);
        }
        auto option = std::find_if(specs.begin(), specs.end(),
                                   [&](const OptionSpec& s) { return s.name == name; });
        if (option == specs.end()) {
            throw UsageError("unknown option '" + name + "'");
        }
        if (!option->takesValue) {
            if (inlineValue) {
                throw UsageError("option '" + name + "' takes no value");
            }
            flags_.insert(name);
            continue;
        }
        if (inlineValue) {
            values_[name] = *inlineValue;
        } else if (i + 1 < args.size()) {
            values_[name] = args[++i];
        } else {
            throw UsageError("option '" + name + "' needs a value");
        }
    }
}

bool CommandLine::Has(const std::string& name) const {
    return flags_.count(name) != 0 || values_.count(name) != 0;
}

std::optional<std::string> CommandLine::Value(const std::string& name) const {
    auto it = values_.find(name);
    if (it == values_.end()) {
        return std::nullopt;
    }
    return it->second;
}

std::uint64_t CommandLine::UnsignedValue(const std::string& name, std::uint64_t fallback) const {
    auto text = Value(name);
    return text ? ParseUnsigned(*text, name) : fallback;
}

void CommandLine::ExpectPositional(std::size_t min, std::size_t max) const {
    if (positional_.size() < min) {
        throw UsageError("missing argument");
    }
    if (positional_.size() > max) {
        throw UsageError("unexpected argument '" + positional_[max] + "'");
    }
}

std::uint64_t ParseUnsigned(const std::string& text, const std::string& what) {
    int base = 10;
    std::string_view digits = text;
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
        base = 16;
        digits.remove_prefix(2);
    }
    std::uint64_t value = 0;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value, base);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size()) {
        throw UsageError(what + " must be a whole number, not '" + text + "'");
    }
    return value;
}

}  // namespace pixalto::cli
