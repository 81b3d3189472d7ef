// pixalto-cli: the headless front end over the image and RAW libraries.

#include <cstring>
#include <iostream>

#include "cli/CommandLine.h"
#include "cli/Commands.h"

namespace {

using pixalto::cli::AllCommands;
using pixalto::cli::Command;

void PrintOverview(std::ostream& out) {
    out << "Usage: pixalto-cli COMMAND [ARGS...]\n\n"
           "Tools for PlayStation TIM images.\n\nCommands:\n";
    for (const Command& command : AllCommands()) {
        out << "  " << command.name << std::string(10 - std::strlen(command.name), ' ')
            << command.summary << '\n';
    }
    out << "\nRun 'pixalto-cli COMMAND --help' for the arguments of a command.\n";
}

const Command* FindCommand(const std::string& name) {
    for (const Command& command : AllCommands()) {
        if (name == command.name) {
            return &command;
        }
    }
    return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace pixalto::cli;
    if (argc < 2) {
        PrintOverview(std::cerr);
        return kExitUsage;
    }
    std::string name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        PrintOverview(std::cout);
        return kExitOk;
    }
    const Command* command = FindCommand(name);
    if (command == nullptr) {
        std::cerr << "pixalto-cli: unknown command '" << name << "'\n\n";
        PrintOverview(std::cerr);
        return kExitUsage;
    }
    Args args(argv + 2, argv + argc);
    for (const std::string& arg : args) {
        if (arg == "--help") {
            std::cout << "Usage: pixalto-cli " << command->name << ' ' << command->usage << "\n\n"
                      << command->help;
            return kExitOk;
        }
    }
    try {
        return command->run(args);
    } catch (const UsageError& error) {
        std::cerr << "pixalto-cli " << command->name << ": " << error.what() << "\n"
                  << "Usage: pixalto-cli " << command->name << ' ' << command->usage << '\n';
        return kExitUsage;
    }
}
