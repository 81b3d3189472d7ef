#include <iostream>

#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/ConsoleHost.h"
#include "raw/ExtractJob.h"
#include "raw/Messages.h"

namespace pixalto::cli {

int RunExtract(const Args& args) {
    CommandLine line(args, {});
    line.ExpectPositional(2, 2);
    const std::string& rawPath = line.Positional()[0];
    ConsoleHost host(StderrIsTerminal(), Answer::No);
    if (!ScanRawFile(host, rawPath)) {
        return kExitFailure;
    }
    // The job checks the selection against the entries the scan found and
    // reports an invalid one itself.
    raw::ExtractJob job(host, rawPath, line.Positional()[1]);
    if (raw::RunJob(job) != raw::kJobFinished) {
        return kExitFailure;
    }
    std::cout << raw::msg::kFilesSaved << '\n';
    return kExitOk;
}

}  // namespace pixalto::cli
