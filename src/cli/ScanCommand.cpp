#include <iostream>
#include <memory>

#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "cli/ConsoleHost.h"
#include "raw/ScanFileJob.h"

namespace pixalto::cli {

bool ScanRawFile(ConsoleHost& host, const std::string& rawPath, raw::LayoutChoice layout) {
    raw::ScanFileJob job(host, rawPath, layout);
    const bool finished = raw::RunJob(job) == raw::kJobFinished;
    host.FinishProgress(finished);
    return finished;
}

namespace {

struct ScanArgs {
    std::string rawPath;
    raw::LayoutChoice layout = raw::LayoutChoice::Auto;
};

// Prints each entry the moment the scan finds it and keeps none, so that
// memory stays the same however many TIMs the file holds. The header line
// comes first: before the first row, or at the end for a file without TIMs.
class PrintingHost : public ConsoleHost {
  public:
    PrintingHost()
        : ConsoleHost(Answer::No, /*wantBar=*/true), rowsOnTerminal_(StdoutIsTerminal()) {}

    void DeleteAllEntries() override { count_ = 0; }
    void AddEntry(const raw::ScanEntry& entry) override {
        // A row for the terminal the bar is drawn on takes the bar's line.
        if (rowsOnTerminal_) {
            ClearBar();
        }
        PrintHeader();
        std::cout << entry.fileNumber << '\t' << entry.position << '\t' << entry.width << '\t'
                  << entry.height << '\n';
        if (rowsOnTerminal_) {
            std::cout << std::flush;
        }
        ++count_;
    }
    std::size_t EntryCount() const override { return count_; }
    std::optional<raw::ScanEntry> EntryAt(std::size_t) const override { return std::nullopt; }

    void PrintHeader() {
        if (headerPrinted_) {
            return;
        }
        const char* separator = "";
        for (const char* header : raw::kEntryHeaders) {
            std::cout << separator << header;
            separator = "\t";
        }
        std::cout << '\n';
        headerPrinted_ = true;
    }

  private:
    bool rowsOnTerminal_;
    bool headerPrinted_ = false;
    std::size_t count_ = 0;
};

int RunScan(const ScanArgs& args) {
    PrintingHost host;
    if (!ScanRawFile(host, args.rawPath, args.layout)) {
        return kExitFailure;
    }
    host.PrintHeader();
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
