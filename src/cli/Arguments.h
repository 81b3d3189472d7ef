#pragma once
// What every sub-command shares about its arguments: the exit codes, the
// usage error, and the option kinds on top of CLI11 (whole numbers in decimal
// or 0x hexadecimal, "X,Y" points, flags). Every option may be given once:
// a repeated option is a usage error, not a silent "last one wins".

#include <CLI/App.hpp>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>

#include "raw/RawData.h"

namespace pixalto::cli {

// Exit codes of every sub-command.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// Thrown by a sub-command's own checks of its arguments once they are parsed;
// it ends the program with exit code 2, like a parse error.
class UsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// A non-negative whole number, decimal or with a leading 0x in hexadecimal;
// nothing for any other text (a sign, a blank, trailing characters, overflow).
std::optional<std::uint64_t> ParseUnsigned(const std::string& text);

using Point = std::pair<std::uint32_t, std::uint32_t>;
// Two such numbers "X,Y"; like the dialog's fields any whole number is taken
// here, and the TIM keeps its low 16 bits.
std::optional<Point> ParsePoint(const std::string& text);

// A required positional argument, and one that may be left out.
CLI::Option* AddArgument(CLI::App& command, const std::string& name, std::string& value,
                         const std::string& help);
CLI::Option* AddOptionalArgument(CLI::App& command, const std::string& name,
                                 std::optional<std::string>& value, const std::string& help);
// "--name N" or "--name=N" with a whole number.
CLI::Option* AddNumberOption(CLI::App& command, const std::string& name, std::uint64_t& value,
                             const std::string& help);
// "--name X,Y".
CLI::Option* AddPointOption(CLI::App& command, const std::string& name, std::optional<Point>& value,
                            const std::string& help);
// "--layout auto|plain|disc": how a file's bytes are taken, as detected (a
// raw CD image is read through its sectors' data) or as the user says.
CLI::Option* AddLayoutOption(CLI::App& command, raw::LayoutChoice& value);

// "--name", with no value ("--name=1" is refused).
CLI::Option* AddFlag(CLI::App& command, const std::string& name, bool& value,
                     const std::string& help);

}  // namespace pixalto::cli
