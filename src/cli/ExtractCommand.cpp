#include <fnmatch.h>

#include <algorithm>
#include <iostream>
#include <memory>
#include <vector>

#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "cli/ConsoleHost.h"
#include "disc/DiscFiles.h"
#include "messages/Catalogue.h"
#include "raw/ExtractJob.h"
#include "raw/SelectedEntries.h"

namespace pixalto::cli {
namespace {

struct ExtractArgs {
    std::optional<std::string> selection;
    std::string rawPath;
    std::vector<std::string> paths;
    raw::LayoutChoice layout = raw::LayoutChoice::Auto;
};

// The scan keeps only the entries the selection chooses, or that lie in a
// file of the disc a --path pattern matches: memory grows with the files to
// write, not with the TIMs in the RAW file.
class SelectingHost : public ConsoleHost {
  public:
    SelectingHost(const std::string& selection, const std::vector<std::string>& patterns,
                  const disc::DiscFiles* files)
        : ConsoleHost(Answer::No, /*wantBar=*/true),
          entries_(selection),
          patterns_(patterns),
          files_(files) {}

    void DeleteAllEntries() override {
        entries_.Clear();
        matched_.clear();
    }
    void AddEntry(const raw::ScanEntry& entry) override {
        const bool matches = InMatchingFile(entry.position);
        if (matches) {
            matched_.push_back(static_cast<std::uint64_t>(entry.fileNumber));
        }
        entries_.Add(entry, matches);
    }
    // The selection with the numbers of the entries --path chose added, as
    // ranges.
    std::string Selection(const std::string& numbers) const {
        std::string text = numbers;
        for (std::size_t i = 0; i < matched_.size();) {
            std::size_t end = i;
            while (end + 1 < matched_.size() && matched_[end + 1] == matched_[end] + 1) {
                ++end;
            }
            text += (text.empty() ? "" : ",") + std::to_string(matched_[i]);
            if (end > i) {
                text += "-" + std::to_string(matched_[end]);
            }
            i = end + 1;
        }
        return text;
    }
    std::size_t MatchedCount() const { return matched_.size(); }
    std::size_t EntryCount() const override { return entries_.Count(); }
    std::optional<raw::ScanEntry> EntryAt(std::size_t row) const override {
        return entries_.At(row);
    }

  private:
    bool InMatchingFile(std::uint64_t position) const {
        if (files_ == nullptr) {
            return false;
        }
        const std::string path(files_->PlaceOf(position).path);
        return !path.empty() && std::any_of(patterns_.begin(), patterns_.end(), [&](const auto& p) {
            return fnmatch(p.c_str(), path.c_str(), FNM_PATHNAME) == 0;
        });
    }

    raw::SelectedEntries entries_;
    const std::vector<std::string>& patterns_;
    const disc::DiscFiles* files_;
    std::vector<std::uint64_t> matched_;  // file numbers, in order
};

int RunExtract(const ExtractArgs& args) {
    if (!args.selection && args.paths.empty()) {
        throw UsageError("give the file numbers to extract, --path, or both");
    }
    // The file system is read once, before the scan, and only for --path.
    std::optional<disc::DiscFiles> files;
    if (!args.paths.empty()) {
        raw::RawData raw;
        if (raw.Open(args.rawPath, File::Mode::ReadRaw, args.layout)) {
            files = disc::DiscFiles::Read(args.rawPath, raw.Layout());
            if (!files) {
                std::cerr << msg::NoFileSystem(args.rawPath) << '\n';
                return kExitFailure;
            }
        }
    }
    const std::string numbers = args.selection.value_or("");
    SelectingHost host(numbers, args.paths, files ? &*files : nullptr);
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
    if (!args.paths.empty() && host.MatchedCount() == 0 && numbers.empty()) {
        std::cerr << msg::kNoTimInPaths << '\n';
        return kExitFailure;
    }
    raw::ExtractJob job(host, args.rawPath, host.Selection(numbers), args.layout);
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
    AddOptionalArgument(command, "SELECTION", args->selection, "file numbers, such as 1,2-3,5-");
    command
        .add_option("--path", args->paths,
                    "the TIMs in this file of the disc image, such as /DATA/CHARA.BIN or "
                    "/DATA/*.BIN (glob patterns; may be given again; adds to the numbers)")
        ->type_name("PATH")
        ->expected(1)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    AddLayoutOption(command, args->layout);
    return [args] { return RunExtract(*args); };
}

}  // namespace pixalto::cli
