#include <iostream>
#include <memory>

#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "cli/ConsoleHost.h"
#include "raw/ExtractJob.h"
#include "raw/Messages.h"

namespace pixalto::cli {
namespace {

struct ExtractArgs {
    std::string rawPath;
    std::string selection;
    raw::LayoutChoice layout = raw::LayoutChoice::Auto;
};

int RunExtract(const ExtractArgs& args) {
    ConsoleHost host(Answer::No, /*wantBar=*/true);
    if (!ScanRawFile(host, args.rawPath, args.layout)) {
        return kExitFailure;
    }
    // Said plainly rather than as an invalid selection: no selection could
    // have been right, and nothing is written.
    if (host.Rows().empty()) {
        std::cerr << "No TIMs found in " << args.rawPath << ".\n";
        return kExitFailure;
    }
    // The job checks the selection against the entries the scan found and
    // reports an invalid one itself.
    raw::ExtractJob job(host, args.rawPath, args.selection, args.layout);
    if (RunJobOnConsole(job) != raw::kJobFinished) {
        return kExitFailure;
    }
    std::cout << raw::msg::kFilesSaved << '\n';
    return kExitOk;
}

}  // namespace

Runner DefineExtract(CLI::App& command) {
    auto args = std::make_shared<ExtractArgs>();
    AddArgument(command, "RAW", args->rawPath, "the file the TIMs are in");
    AddArgument(command, "SELECTION", args->selection, "file numbers, such as 1,2-3,5-");
    AddLayoutOption(command, args->layout);
    return [args] { return RunExtract(*args); };
}

}  // namespace pixalto::cli
