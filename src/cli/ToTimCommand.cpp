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
    std::uint32_t depth = 0;
};

int RunToTim(const ToTimArgs& args) {
    const std::string out = args.out.value_or(WithExtension(args.in, ".tim"));
    ImageState state;
    Error loaded = IsPngPath(args.in) ? LoadPngFromPath(args.in, state, args.origins, args.depth)
                                      : LoadBmpFromPath(args.in, 0, state, args.origins);
    if (Error error = loaded) {
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
    AddArgument(command, "FILE", args->in,
                "the BMP or PNG (*.png), with its sidecar file beside it");
    AddOptionalArgument(command, "OUT", args->out, "the TIM to write (default: FILE as .tim)");
    AddOriginOptions(command, args->origins);
    AddDepthOption(command, args->depth);
    return [args] { return RunToTim(*args); };
}

}  // namespace pixalto::cli
