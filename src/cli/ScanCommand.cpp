#include <iostream>
#include <memory>

#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "cli/ConsoleHost.h"
#include "raw/ScanFileJob.h"

namespace pixalto::cli {

bool ScanRawFile(ConsoleHost& host, const std::string& rawPath) {
    raw::ScanFileJob job(host, rawPath);
    const bool finished = RunJobOnConsole(job) == raw::kJobFinished;
    host.FinishProgress(finished);
    return finished;
}

namespace {

int RunScan(const std::string& rawPath) {
    ConsoleHost host(Answer::No, /*wantBar=*/true);
    if (!ScanRawFile(host, rawPath)) {
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
    auto rawPath = std::make_shared<std::string>();
    AddArgument(command, "RAW", *rawPath, "the file to scan (a disc image, an archive, ...)");
    return [rawPath] { return RunScan(*rawPath); };
}

}  // namespace pixalto::cli
