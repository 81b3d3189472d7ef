#include <iostream>
#include <memory>

#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "cli/Failure.h"
#include "cli/ImageSource.h"
#include "image/Convert.h"
#include "image/Sidecar.h"
#include "image/Writer.h"
#include "platform/File.h"
#include "platform/FileFailure.h"

namespace pixalto::cli {
namespace {

constexpr const char* kFailedSavingBmp = "Failed on saving BMP File!";
constexpr std::string_view kSidecarExtension = ".tmext";

struct ToBmpArgs {
    std::string in;
    std::optional<std::string> out;
    std::uint64_t offset = 0;
    std::uint64_t set = 0;
};

// The sidecar's name is OUT's with the extension .tmext: a BMP named so would
// be written over by its own sidecar.
bool IsSidecarName(const std::string& path) {
    return HasExtension(path, kSidecarExtension);
}

int RunToBmp(const ToBmpArgs& args) {
    const std::string out = args.out.value_or(WithExtension(args.in, ".bmp"));
    if (IsSidecarName(out)) {
        throw UsageError("OUT may not end in .tmext: the BMP's sidecar file takes that name");
    }
    ImageState state;
    if (std::string error = LoadImageFromPath(args.in, args.offset, state); !error.empty()) {
        ReportFailure(error);
        return kExitFailure;
    }
    const std::uint32_t currentSet = CheckedClutSet(state, args.set);
    if (std::string error = ConvertTimToBmp(state, currentSet); !error.empty()) {
        ReportFailure(error);
        return kExitFailure;
    }
    ClearFileFailure();
    if (!WriteImageFile(state, out, /*asTim=*/false)) {
        ReportFailure(kFailedSavingBmp);
        return kExitFailure;
    }
    std::cout << out << '\n' << SidecarPathFor(out) << '\n';
    return kExitOk;
}

}  // namespace

Runner DefineToBmp(CLI::App& command) {
    auto args = std::make_shared<ToBmpArgs>();
    AddArgument(command, "FILE", args->in, "a TIM (or a file holding one)");
    AddOptionalArgument(command, "OUT", args->out,
                        "the BMP to write (default: FILE as .bmp); not *.tmext");
    AddNumberOption(command, "--offset", args->offset, "byte where the TIM starts (default 0)");
    AddNumberOption(command, "--set", args->set, "CLUT set for the palette (default 0)");
    return [args] { return RunToBmp(*args); };
}

}  // namespace pixalto::cli
