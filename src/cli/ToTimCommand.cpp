#include <iostream>
#include <memory>

#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "cli/Failure.h"
#include "cli/ImageSource.h"
#include "image/Writer.h"

namespace pixalto::cli {
namespace {

struct ToTimArgs {
    std::string in;
    std::optional<std::string> out;
    OriginOptions origins;
};

int RunToTim(const ToTimArgs& args) {
    const std::string out = args.out.value_or(WithExtension(args.in, ".tim"));
    ImageState state;
    if (Error error = LoadBmpFromPath(args.in, 0, state, args.origins)) {
        ReportFailure(error);
        return kExitFailure;
    }
    if (Error error = WriteImageFile(state, out, /*asTim=*/true)) {
        ReportFailure(error);
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
