#pragma once
// Tab completion for bash, written from the program's own commands and
// options, so that it lists exactly what the parser takes.

#include <string>

namespace CLI {
class App;
}

namespace pixalto::cli {

// The completion script for program, whose sub-commands app holds: commands,
// each command's options, and for its file arguments the files of the kinds
// it reads (any case), with folders to descend into.
std::string BashCompletion(const CLI::App& app, const std::string& program);

}  // namespace pixalto::cli
