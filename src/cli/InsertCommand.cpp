#include <iostream>
#include <memory>

#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "cli/ConsoleHost.h"
#include "cli/Failure.h"
#include "messages/Catalogue.h"
#include "raw/InsertJob.h"
#include "raw/InsertPatch.h"

namespace pixalto::cli {
namespace {

struct InsertArgs {
    std::string listPath;
    bool yes = false;
    bool no = false;
    bool dryRun = false;
    std::optional<std::string> patch;
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

Answer AnswerOf(const InsertArgs& args) {
    // A dry run asks nobody: a size change counts as written only with --yes.
    if (args.dryRun) {
        return args.yes ? Answer::Yes : Answer::No;
    }
    return args.yes ? Answer::Yes : args.no ? Answer::No : Answer::AskTerminal;
}

// One row of the dry run's table, its cells apart by tabs.
template <typename Cells>
void PrintRow(const Cells& cells) {
    const char* separator = "";
    for (const auto& cell : cells) {
        std::cout << separator << cell;
        separator = "\t";
    }
    std::cout << '\n';
}

int RunDryRun(const InsertArgs& args) {
    ConsoleHost host(AnswerOf(args), /*wantBar=*/false);
    host.AnswerSilently();
    raw::InsertOptions options = args.options;
    options.dryRun = true;
    std::uint64_t records = 0;
    options.report = [&records](const raw::InsertRecordReport& report) {
        if (records++ == 0) {
            PrintRow(msg::kDryRunHeaders);
        }
        PrintRow(raw::ReportCells(report));
    };
    raw::InsertJob job(host, args.listPath, options);
    if (raw::RunJob(job) != raw::kJobFinished) {
        return kExitFailure;
    }
    std::cout << msg::DryRunSummary(job.InsertedCount(), records) << '\n';
    return job.InsertedCount() == records ? kExitOk : kExitFailure;
}

int RunPatch(const InsertArgs& args, raw::PatchFormat format) {
    ConsoleHost host(AnswerOf(args), /*wantBar=*/false);
    raw::InsertOptions options = args.options;
    disc::PendingWrites pending;
    options.divert = &pending;
    raw::InsertJob job(host, args.listPath, options);
    const bool finished = raw::RunJob(job) == raw::kJobFinished;
    if (ReportSkipped(host) || !finished) {
        return kExitFailure;
    }
    const auto changedBytes =
        raw::WriteInsertPatch(job.RawPath(), args.listPath, pending, *args.patch, format);
    if (!changedBytes) {
        ReportFailure(changedBytes.error());
        return kExitFailure;
    }
    std::cout << msg::PatchWritten(*args.patch, *changedBytes) << '\n';
    return kExitOk;
}

int RunInsert(const InsertArgs& args) {
    if (args.dryRun) {
        return RunDryRun(args);
    }
    if (args.patch) {
        const auto format = raw::PatchFormatOf(*args.patch);
        if (!format) {
            throw UsageError("--patch must name a .ppf or .ips file, not '" + *args.patch + "'");
        }
        return RunPatch(args, *format);
    }
    ConsoleHost host(AnswerOf(args), /*wantBar=*/false);
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
    CLI::Option* dryRun =
        AddFlag(command, "--dry-run", args->dryRun,
                "read everything and write nothing: tell for each TIM whether its size "
                "changed, the sectors it touches and how many of them are already damaged, and "
                "whether it would be written (exit code 0 only when all would be)");
    command
        .add_option("--patch", args->patch,
                    "write nothing into the RAW file but a patch of the bytes the insertion "
                    "changes: OUT.ppf (PPF 3.0, with undo data) or OUT.ips (files up to 16 MiB)")
        ->type_name("OUT")
        ->excludes(dryRun);
    return [args] { return RunInsert(*args); };
}

}  // namespace pixalto::cli
