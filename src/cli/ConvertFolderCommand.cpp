#include <iostream>
#include <memory>

#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "cli/Failure.h"
#include "cli/ImageSource.h"
#include "image/FolderConvert.h"
#include "platform/FileFailure.h"

namespace pixalto::cli {
namespace {

struct ConvertFolderArgs {
    std::string folder;
    std::string to;
    OriginOptions origins;
};

// The window's message boxes as lines: each failure on stderr, with the file
// it was about (and the system's reason, for a file that couldn't be read or
// written) on the line under it; the closing message on stdout.
class ConsoleMessages : public MessageSink {
  public:
    explicit ConsoleMessages(OptionOrigins& origins) : origins_(origins) {}

    void Converting(const std::string& path) override {
        path_ = path;
        origins_.SetPath(path);
        ClearFileFailure();
    }
    void Show(const std::string& text, const std::string& title) override {
        if (title == msg::kFilesConvertedTitle) {
            std::cout << text << '\n';
            return;
        }
        std::cerr << text << '\n';
        const std::string reason = IsAboutAFile(text) ? DescribeLastFileFailure() : std::string();
        if (!reason.empty()) {
            std::cerr << reason << '\n';
        } else if (text.rfind(path_, 0) != 0) {
            std::cerr << path_ << '\n';
        }
    }

  private:
    OptionOrigins& origins_;
    std::string path_;
};

int RunConvertFolder(const ConvertFolderArgs& args) {
    const bool toBmp = args.to == "bmp";
    // The files to convert are the other kind: TIMs become BMPs.
    const std::vector<std::string> names = FindImageFiles(args.folder, /*wantTim=*/toBmp);
    if (names.empty()) {
        std::cerr << msg::kNoFilesFound << '\n';
        return kExitFailure;
    }
    OptionOrigins origins(args.origins);
    ConsoleMessages messages(origins);
    ImageState state;
    const FolderConversionResult result =
        ConvertFolder(args.folder, names, toBmp, state, origins, messages);
    return result.failed == 0 ? kExitOk : kExitFailure;
}

}  // namespace

Runner DefineConvertFolder(CLI::App& command) {
    auto args = std::make_shared<ConvertFolderArgs>();
    AddArgument(command, "DIR", args->folder, "the folder whose files are converted");
    command.add_option("--to", args->to, "bmp: every TIM becomes a BMP; tim: every BMP a TIM")
        ->required()
        ->type_name("bmp|tim")
        ->check(CLI::Validator(
            [](const std::string& value) {
                return value == "bmp" || value == "tim" ? std::string()
                                                        : "must be bmp or tim, not '" + value + "'";
            },
            ""));
    AddOriginOptions(command, args->origins);
    return [args] { return RunConvertFolder(*args); };
}

}  // namespace pixalto::cli
