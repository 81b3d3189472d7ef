#include <iostream>
#include <memory>

#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "cli/ImageSource.h"
#include "image/FolderConvert.h"

namespace pixalto::cli {
namespace {

struct ConvertFolderArgs {
    std::string folder;
    std::string to;
    OriginOptions origins;
};

// The window's message boxes as lines: each failure on stderr (the message,
// then the file it was about and the system's reason under it), the closing
// message on stdout.
class ConsoleMessages : public MessageSink {
  public:
    explicit ConsoleMessages(OptionOrigins& origins) : origins_(origins) {}

    void Converting(const std::string& path) override { origins_.SetPath(path); }
    void Show(const std::string& text, const std::string&) override { std::cerr << text << '\n'; }
    void Finished(const std::string& text, const std::string&) override {
        std::cout << text << '\n';
    }

  private:
    OptionOrigins& origins_;
};

int RunConvertFolder(const ConvertFolderArgs& args) {
    const bool toBmp = args.to == "bmp";
    // The files to convert are the other kind: TIMs become BMPs.
    const ImageFileSearch search = FindImageFiles(args.folder, /*wantTim=*/toBmp);
    if (search.names.empty()) {
        std::cerr << NoFilesFoundText(search) << '\n';
        return kExitFailure;
    }
    OptionOrigins origins(args.origins);
    ConsoleMessages messages(origins);
    ImageState state;
    const FolderConversionResult result =
        ConvertFolder(args.folder, search.names, toBmp, state, origins, messages);
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
