#include <iostream>
#include <memory>

#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "cli/ConsoleHost.h"
#include "messages/Catalogue.h"
#include "raw/InsertJob.h"

namespace pixalto::cli {
namespace {

struct InsertArgs {
    std::string listPath;
    bool yes = false;
    bool no = false;
    raw::InsertOptions options;
};

// Names every record skipped; true when any was skipped only because nobody
// could be asked, which is not the user's choice and so not a success.
bool ReportSkipped(const ConsoleHost& host) {
    bool unanswered = false;
    for (const Declined& skipped : host.DeclinedQuestions()) {
        std::cerr << "Skipped " << skipped.subject << ": its size changed.\n";
        unanswered = unanswered || skipped.unanswered;
    }
    if (unanswered) {
        std::cerr << "Nobody could be asked about a size change: answer with --yes or --no.\n";
    }
    return unanswered;
}

int RunInsert(const InsertArgs& args) {
    const Answer answer = args.yes ? Answer::Yes : args.no ? Answer::No : Answer::AskTerminal;
    ConsoleHost host(answer, /*wantBar=*/false);
    raw::InsertJob job(host, args.listPath, args.options);
    const bool finished = raw::RunJob(job) == raw::kJobFinished;
    const bool unanswered = ReportSkipped(host);
    if (!finished || unanswered) {
        return kExitFailure;
    }
    // Every record skipped by the user's own answer: nothing to claim.
    std::cout << (job.InsertedCount() > 0 ? msg::kFilesInserted : msg::kNoneInserted) << '\n';
    return kExitOk;
}

}  // namespace

Runner DefineInsert(CLI::App& command) {
    auto args = std::make_shared<InsertArgs>();
    AddArgument(command, "LIST", args->listPath, "the extraction list (timextracts.txt)");
    CLI::Option* yes = AddFlag(command, "--yes", args->yes, "write files whose size changed");
    CLI::Option* no = AddFlag(command, "--no", args->no, "skip files whose size changed");
    yes->excludes(no);
    AddLayoutOption(command, args->options.layout)
        ->description(
            "auto (default): as the list's Layout line says, and the RAW file must agree (a "
            "list without one is refused for a disc image); plain or disc: what the RAW file "
            "is, whatever the list says and its first sector shows (disc also when that sector "
            "is damaged)");
    AddFlag(command, "--rebuild-damaged", args->options.rebuildDamaged,
            "write into sectors whose EDC or ECC was already wrong (their damage is then "
            "hidden); without it such a TIM is not inserted");
    return [args] { return RunInsert(*args); };
}

}  // namespace pixalto::cli
