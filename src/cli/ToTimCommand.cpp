#include <iostream>
#include <memory>

#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "cli/Failure.h"
#include "cli/ImageSource.h"
#include "image/Writer.h"
#include "platform/FileFailure.h"

namespace pixalto::cli {
namespace {

constexpr const char* kFailedSavingTim = "Failed on saving TIM File!";

struct ToTimArgs {
    std::string in;
    std::optional<std::string> out;
    OriginOptions origins;
};

int RunToTim(const ToTimArgs& args) {
    const std::string out = args.out.value_or(WithExtension(args.in, ".tim"));
    ImageState state;
    if (std::string error = LoadBmpFromPath(args.in, 0, state, args.origins); !error.empty()) {
        ReportFailure(error);
        return kExitFailure;
    }
    ClearFileFailure();
    if (!WriteImageFile(state, out, /*asTim=*/true)) {
        ReportFailure(kFailedSavingTim);
        return kExitFailure;
    }
    std::cout << out << '\n';
    return kExitOk;
}

}  // namespace

Runner DefineToTim(CLI::App& command) {
    auto args = std::make_shared<ToTimArgs>();
    AddArgument(command, "FILE", args->in, "the BMP, with its sidecar file beside it");
    AddOptionalArgument(command, "OUT", args->out, "the TIM to write (default: FILE as .tim)");
    AddOriginOptions(command, args->origins);
    return [args] { return RunToTim(*args); };
}

}  // namespace pixalto::cli
