#include "cli/Program.h"

// The whole library, once: its configuration-file reader is defined here.
#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <new>
#include <string_view>
#include <vector>

#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "cli/Completion.h"
#include "cli/Failure.h"
#include "resources/Version.h"

namespace pixalto::cli {
namespace {

constexpr const char* kProgram = "pixalto-cli";

// Help as a Unix tool prints it: the usage line first, then what the command
// does, then its arguments and options.
class HelpFormatter : public CLI::Formatter {
  public:
    HelpFormatter() {
        label("REQUIRED", "");
        label("SUBCOMMAND", "COMMAND");
        column_width(24);
    }

    std::string make_help(const CLI::App* app, std::string name,
                          CLI::AppFormatMode mode) const override {
        std::string text = make_usage(app, name);
        if (app->get_parent() == nullptr) {
            text += "\n" + app->get_description() + "\n";
        } else if (!app->get_footer().empty()) {
            text += "\n" + app->get_footer() + "\n";
        }
        text += make_positionals(app) + make_groups(app, mode) + make_subcommands(app, mode);
        if (app->get_parent() == nullptr) {
            text += "\nRun 'pixalto-cli COMMAND --help' for the arguments of a command.\n";
        }
        return text;
    }
};

struct Program {
    CLI::App app{"Tools for PlayStation TIM images.", kProgram};
    std::shared_ptr<HelpFormatter> formatter = std::make_shared<HelpFormatter>();
    std::vector<std::pair<CLI::App*, Runner>> commands;

    Program() {
        app.formatter(formatter);
        app.require_subcommand(1);
        app.set_version_flag("--version", std::string(kProgram) + " (Pixalto) " + version::kDisplay,
                             "print the program's version and exit");
        for (const Command& command : AllCommands()) {
            CLI::App* sub = app.add_subcommand(command.name, command.summary);
            sub->group("Commands");  // the overview's heading
            sub->footer(command.description);
            commands.emplace_back(sub, command.define(*sub));
        }
    }

    // The sub-command the arguments chose, or the program itself.
    const CLI::App& Chosen() const {
        for (const auto& [sub, run] : commands) {
            if (sub->parsed()) {
                return *sub;
            }
        }
        return app;
    }

    bool IsCommand(std::string_view name) const {
        for (const auto& [sub, run] : commands) {
            if (sub->get_name() == name) {
                return true;
            }
        }
        return false;
    }

    int UsageError(const CLI::App& command, const std::string& what) const {
        std::string name = kProgram;
        if (&command != &app) {
            name += " " + command.get_name();
        }
        std::cerr << name << ": " << what << '\n'
                  << formatter->make_usage(&command, name) << "Run '" << name
                  << " --help' for more.\n";
        return kExitUsage;
    }
};

// Runs the command the arguments choose and returns its exit code.
int RunCommand(int argc, char** argv) {
    Program program;
    if (argc < 2) {
        std::cerr << program.app.help();
        return kExitUsage;
    }
    // Not in the help: what the build runs to write the installed script.
    if (argc == 2 && std::string_view(argv[1]) == "--bash-completion") {
        std::cout << BashCompletion(program.app, kProgram);
        return kExitOk;
    }
    if (argv[1][0] != '-' && !program.IsCommand(argv[1])) {
        return program.UsageError(program.app, std::string("unknown command '") + argv[1] + "'");
    }
    try {
        program.app.parse(argc, argv);
    } catch (const CLI::CallForVersion& version) {
        std::cout << version.what() << '\n';
        return kExitOk;
    } catch (const CLI::CallForHelp&) {
        std::cout << program.Chosen().help(&program.Chosen() == &program.app ? "" : kProgram);
        return kExitOk;
    } catch (const CLI::ParseError& error) {
        return program.UsageError(program.Chosen(), error.what());
    }
    for (const auto& [sub, run] : program.commands) {
        if (sub->parsed()) {
            try {
                return run();
            } catch (const cli::UsageError& error) {
                return program.UsageError(*sub, error.what());
            }
        }
    }
    return program.UsageError(program.app, "no command given");
}

}  // namespace

// Memory can run out anywhere: the command then ends with a message instead
// of an abort. On the way out every file still being written under a
// temporary name is removed (its target keeps what it had), and insertion
// asks for no memory while it patches a TIM in, so nothing is half written.
int RunProgram(int argc, char** argv) {
    try {
        return RunCommand(argc, argv);
    } catch (const std::bad_alloc&) {
        ReportFailure(Error(ErrorCode::OutOfMemory));
        return kExitFailure;
    }
}

}  // namespace pixalto::cli
