#include <iostream>

#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/ConsoleHost.h"
#include "raw/InsertJob.h"
#include "raw/Messages.h"

namespace pixalto::cli {

int RunInsert(const Args& args) {
    CommandLine line(args, {{"--yes", false}, {"--no", false}});
    line.ExpectPositional(1, 1);
    if (line.Has("--yes") && line.Has("--no")) {
        throw UsageError("--yes and --no exclude each other");
    }
    Answer answer = line.Has("--yes")  ? Answer::Yes
                    : line.Has("--no") ? Answer::No
                                       : Answer::AskTerminal;
    ConsoleHost host(false, answer);
    raw::InsertJob job(host, line.Positional()[0]);
    if (raw::RunJob(job) != raw::kJobFinished) {
        return kExitFailure;
    }
    std::cout << raw::msg::kFilesInserted << '\n';
    return kExitOk;
}

}  // namespace pixalto::cli
