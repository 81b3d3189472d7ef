#pragma once
// Argument handling shared by every sub-command: positional arguments, flags
// and options with a value, "--help", and the usage error that exits with 2.

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace pixalto::cli {

// Exit codes of every sub-command.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// Thrown by argument parsing and checks; main turns it into exit code 2.
class UsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct OptionSpec {
    std::string name;  // with its leading "--"
    bool takesValue = false;
};

class CommandLine {
  public:
    // Parses args (without the program and sub-command names). Throws
    // UsageError for an unknown option or a missing value.
    CommandLine(const std::vector<std::string>& args, const std::vector<OptionSpec>& specs);

    bool WantsHelp() const { return help_; }
    const std::vector<std::string>& Positional() const { return positional_; }
    bool Has(const std::string& name) const;
    std::optional<std::string> Value(const std::string& name) const;
    // The value of an option that takes a whole number (see ParseUnsigned),
    // or fallback when it is not given.
    std::uint64_t UnsignedValue(const std::string& name, std::uint64_t fallback = 0) const;

    // Throws UsageError unless there are between min and max positional arguments.
    void ExpectPositional(std::size_t min, std::size_t max) const;

  private:
    bool help_ = false;
    std::vector<std::string> positional_;
    std::set<std::string> flags_;
    std::map<std::string, std::string> values_;
};

// A non-negative whole number, decimal or with a leading 0x in hexadecimal.
std::uint64_t ParseUnsigned(const std::string& text, const std::string& what);

}  // namespace pixalto::cli
