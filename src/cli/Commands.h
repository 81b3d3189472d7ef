#pragma once
// The sub-commands of pixalto-cli. Each takes its arguments (after the
// sub-command's name) and returns the exit code; each lives in a file of its
// own and is listed once in the table in Commands.cpp.

#include <span>
#include <string>
#include <vector>

namespace pixalto::cli {

using Args = std::vector<std::string>;

struct Command {
    const char* name;
    const char* usage;    // the argument synopsis after the command's name
    const char* summary;  // one line for the overview
    const char* help;     // what --help prints after the usage line
    int (*run)(const Args& args);
};

std::span<const Command> AllCommands();

int RunInfo(const Args& args);
int RunRender(const Args& args);
int RunToBmp(const Args& args);
int RunToTim(const Args& args);
int RunScan(const Args& args);
int RunExtract(const Args& args);
int RunInsert(const Args& args);

}  // namespace pixalto::cli
