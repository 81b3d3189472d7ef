#include <iostream>
#include <memory>

#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "cli/ConsoleHost.h"
#include "messages/Catalogue.h"
#include "raw/ExtractJob.h"
#include "raw/SelectedEntries.h"

namespace pixalto::cli {
namespace {

struct ExtractArgs {
    std::string rawPath;
    std::string selection;
    raw::LayoutChoice layout = raw::LayoutChoice::Auto;
};

// The scan keeps only the entries the selection chooses: memory grows with
// the files to write, not with the TIMs in the RAW file.
class SelectingHost : public ConsoleHost {
  public:
    explicit SelectingHost(const std::string& selection)
        : ConsoleHost(Answer::No, /*wantBar=*/true), entries_(selection) {}

    void DeleteAllEntries() override { entries_.Clear(); }
    void AddEntry(const raw::ScanEntry& entry) override { entries_.Add(entry); }
    std::size_t EntryCount() const override { return entries_.Count(); }
    std::optional<raw::ScanEntry> EntryAt(std::size_t row) const override {
        return entries_.At(row);
    }

  private:
    raw::SelectedEntries entries_;
};

int RunExtract(const ExtractArgs& args) {
    SelectingHost host(args.selection);
    if (!ScanRawFile(host, args.rawPath, args.layout)) {
        return kExitFailure;
    }
    // Said plainly rather than as an invalid selection: no selection could
    // have been right, and nothing is written.
    if (host.EntryCount() == 0) {
        std::cerr << "No TIMs found in " << args.rawPath << ".\n";
        return kExitFailure;
    }
    // The job checks the selection against the entries the scan found and
    // reports an invalid one itself.
    raw::ExtractJob job(host, args.rawPath, args.selection, args.layout);
    if (raw::RunJob(job) != raw::kJobFinished) {
        return kExitFailure;
    }
    std::cout << msg::kFilesSaved << '\n';
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
