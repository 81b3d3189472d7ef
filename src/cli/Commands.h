#pragma once
// The sub-commands of pixalto-cli. Each lives in a file of its own and is
// listed once in the table in Commands.cpp: a define function declares its
// arguments on its CLI11 sub-command and returns the work to run once they
// have been parsed, which returns the exit code.

#include <functional>
#include <span>

namespace CLI {
class App;
}

namespace pixalto::cli {

using Runner = std::function<int()>;

struct Command {
    const char* name;
    const char* summary;      // one line for the overview
    const char* description;  // what --help says after the usage line
    Runner (*define)(CLI::App& command);
};

std::span<const Command> AllCommands();

Runner DefineInfo(CLI::App& command);
Runner DefineRender(CLI::App& command);
Runner DefineThumbnail(CLI::App& command);
Runner DefineToBmp(CLI::App& command);
Runner DefineToTim(CLI::App& command);
Runner DefineToPng(CLI::App& command);
Runner DefineExportPalette(CLI::App& command);
Runner DefineImportPalette(CLI::App& command);
Runner DefineRepair(CLI::App& command);
Runner DefineConvertFolder(CLI::App& command);
Runner DefineCheckDisc(CLI::App& command);
Runner DefineScan(CLI::App& command);
Runner DefineExtract(CLI::App& command);
Runner DefineInsert(CLI::App& command);

}  // namespace pixalto::cli
