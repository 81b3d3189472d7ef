#include <iostream>
#include <memory>

#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "cli/ConsoleHost.h"
#include "raw/ScanFileJob.h"

namespace pixalto::cli {

bool ScanRawFile(ConsoleHost& host, const std::string& rawPath, raw::LayoutChoice layout) {
    raw::ScanFileJob job(host, rawPath, layout);
    const bool finished = RunJobOnConsole(job) == raw::kJobFinished;
    host.FinishProgress(finished);
    return finished;
}

namespace {

struct ScanArgs {
    std::string rawPath;
    raw::LayoutChoice layout = raw::LayoutChoice::Auto;
};

int RunScan(const ScanArgs& args) {
    ConsoleHost host(Answer::No, /*wantBar=*/true);
    if (!ScanRawFile(host, args.rawPath, args.layout)) {
        return kExitFailure;
    }
    const char* separator = "";
    for (const char* header : raw::kEntryHeaders) {
        std::cout << separator << header;
        separator = "\t";
    }
    std::cout << '\n';
    for (const raw::EntryCells& row : host.Rows()) {
        std::cout << row[0] << '\t' << row[1] << '\t' << row[2] << '\t' << row[3] << '\n';
    }
    return kExitOk;
}

}  // namespace

Runner DefineScan(CLI::App& command) {
    auto args = std::make_shared<ScanArgs>();
    AddArgument(command, "RAW", args->rawPath, "the file to scan (a disc image, an archive, ...)");
    AddLayoutOption(command, args->layout);
    return [args] { return RunScan(*args); };
}

}  // namespace pixalto::cli
