#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "cli/CliRun.h"
#include "cli/Commands.h"
#include "support/TempDir.h"

namespace pixalto::testing {
namespace {

using Replies = std::set<std::string>;

// Runs the completion function on line (the cursor at its end) in dir and
// returns what it offers.
Replies Complete(const TempDir& dir, const std::string& line) {
    const std::string command =
        "cd '" + dir.Path().string() + "' && bash '" + dir.File("complete.sh") + "' '" + line + "'";
    FILE* pipe = ::popen(command.c_str(), "r");
    Replies replies;
    std::string reply;
    for (int c; pipe != nullptr && (c = std::fgetc(pipe)) != EOF;) {
        if (c == '\n') {
            replies.insert(reply);
            reply.clear();
        } else {
            reply += static_cast<char>(c);
        }
    }
    EXPECT_EQ(pipe != nullptr ? ::pclose(pipe) : -1, 0) << line;
    return replies;
}

// The script the program writes for bash offers its commands, each command's
// options, nothing for an option's value, and for a file argument the files
// of the kind that argument reads, in any case, with folders to go into.
TEST(CliCompletion, OffersCommandsOptionsAndTheFilesEachArgumentReads) {
    TempDir dir;
    const auto script = RunCli({"--bash-completion"});
    ASSERT_EQ(script.exitCode, 0) << script.err;
    std::ofstream(dir.File("completion.bash")) << script.out;
    std::ofstream(dir.File("complete.sh"))
        << "source ./completion.bash\n"
           "read -ra COMP_WORDS <<< \"$1\"\n"
           "[[ $1 == *' ' ]] && COMP_WORDS+=('')\n"
           "COMP_CWORD=$((${#COMP_WORDS[@]} - 1))\n"
           "_pixalto_cli\n"
           "for reply in \"${COMPREPLY[@]}\"; do echo \"$reply\"; done\n";
    for (const char* name :
         {"a.tim", "B.TIM", "c.bmp", "d.png", "list.txt", "x.bin", "p.gpl", "q.CLT"}) {
        std::ofstream(dir.File(name)) << "";
    }
    std::filesystem::create_directory(dir.File("sub"));

    Replies commands = {"--help", "-h", "--version"};
    for (const cli::Command& command : cli::AllCommands()) {
        commands.insert(command.name);
        EXPECT_TRUE(
            Complete(dir, std::string("pixalto-cli ") + command.name + " --h").contains("--help"))
            << command.name;
    }
    const Replies tims = {"sub", "a.tim", "B.TIM"};
    const Replies palettes = {"sub", "a.tim", "B.TIM", "p.gpl", "q.CLT"};
    const Replies all = {"sub",   "a.tim", "B.TIM",       "c.bmp",           "d.png", "list.txt",
                         "x.bin", "p.gpl", "complete.sh", "completion.bash", "q.CLT"};
    const struct {
        std::string line;
        Replies replies;
    } cases[] = {
        {"pixalto-cli ", commands},
        {"pixalto-cli re", {"render", "repair"}},
        {"pixalto-cli render ", tims},
        {"pixalto-cli render a.tim ", {"sub", "d.png"}},
        {"pixalto-cli render --set 1 ", tims},
        {"pixalto-cli render --set ", {}},
        {"pixalto-cli render --sp", {"--split"}},
        {"pixalto-cli thumbnail --size 64 -- ", tims},
        {"pixalto-cli info ", {"sub", "a.tim", "B.TIM", "c.bmp"}},
        {"pixalto-cli to-tim ", {"sub", "c.bmp", "d.png"}},
        {"pixalto-cli to-tim d.png ", tims},
        {"pixalto-cli to-png ", tims},
        {"pixalto-cli to-png a.tim ", {"sub", "d.png"}},
        {"pixalto-cli thumbnail a.tim ", {"sub", "d.png"}},
        {"pixalto-cli export-palette ", {"sub", "a.tim", "B.TIM", "c.bmp", "d.png"}},
        {"pixalto-cli export-palette d.png ", palettes},
        {"pixalto-cli import-palette c.bmp ", palettes},
        {"pixalto-cli extract ", all},
        {"pixalto-cli convert-folder ", {"sub"}},
        {"pixalto-cli insert ", {"sub", "list.txt"}},
        {"pixalto-cli extract x.bin ", {}},
        {"pixalto-cli scan ", all},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Complete(dir, c.line), c.replies) << c.line;
    }
}

}  // namespace
}  // namespace pixalto::testing
