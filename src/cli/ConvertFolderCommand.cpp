#include <iostream>
#include <memory>

#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "cli/ImageSource.h"
#include "image/FolderConvert.h"
#include "image/PngFolderConvert.h"

namespace pixalto::cli {
namespace {

struct ConvertFolderArgs {
    std::string folder;
    std::string to;
    std::string from = "bmp";
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
    // PNGs on either side: TIMs become PNGs, or PNGs TIMs.
    const bool png = args.to == "png" || args.from == "png";
    if (args.from == "png" && args.to != "tim") {
        throw UsageError("--from png goes with --to tim");
    }
    // The files to convert are the other kind: TIMs become BMPs.
    const ImageFileSearch search =
        png ? FindFilesEndingIn(args.folder, args.to == "png" ? ".tim" : ".png")
            : FindImageFiles(args.folder, /*wantTim=*/toBmp);
    if (search.names.empty()) {
        std::cerr << NoFilesFoundText(search) << '\n';
        return kExitFailure;
    }
    OptionOrigins origins(args.origins);
    ConsoleMessages messages(origins);
    ImageState state;
    const FolderConversionResult result =
        png ? ConvertFolderPng(args.folder, search.names, args.to == "png", state, origins,
                               messages)
            : ConvertFolder(args.folder, search.names, toBmp, state, origins, messages);
    return result.failed == 0 ? kExitOk : kExitFailure;
}

}  // namespace

Runner DefineConvertFolder(CLI::App& command) {
    auto args = std::make_shared<ConvertFolderArgs>();
    AddArgument(command, "DIR", args->folder, "the folder whose files are converted");
    command
        .add_option("--to", args->to,
                    "bmp or png: every TIM becomes one; tim: every BMP (or PNG) a TIM")
        ->required()
        ->type_name("bmp|png|tim")
        ->check(CLI::Validator(
            [](const std::string& value) {
                return value == "bmp" || value == "tim" || value == "png"
                           ? std::string()
                           : "must be bmp, png or tim, not '" + value + "'";
            },
            ""));
    command
        .add_option("--from", args->from,
                    "with --to tim: bmp (default) or png, the files converted")
        ->type_name("bmp|png")
        ->check(CLI::Validator(
            [](const std::string& value) {
                return value == "bmp" || value == "png" ? std::string()
                                                        : "must be bmp or png, not '" + value + "'";
            },
            ""));
    AddOriginOptions(command, args->origins);
    return [args] { return RunConvertFolder(*args); };
}

}  // namespace pixalto::cli
