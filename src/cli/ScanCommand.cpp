#include <iostream>

#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/ConsoleHost.h"
#include "raw/ScanFileJob.h"

namespace pixalto::cli {

bool ScanRawFile(ConsoleHost& host, const std::string& rawPath) {
    raw::ScanFileJob job(host, rawPath);
    const bool finished = raw::RunJob(job) == raw::kJobFinished;
    host.FinishProgress(finished);
    return finished;
}

int RunScan(const Args& args) {
    CommandLine line(args, {});
    line.ExpectPositional(1, 1);
    ConsoleHost host(StderrIsTerminal(), Answer::No);
    if (!ScanRawFile(host, line.Positional()[0])) {
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

}  // namespace pixalto::cli
