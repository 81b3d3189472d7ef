#include <iostream>
#include <memory>

#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "cli/Failure.h"
#include "cli/ImageSource.h"
#include "image/TimRepair.h"

namespace pixalto::cli {
namespace {

struct InfoArgs {
    std::string path;
    std::uint64_t offset = 0;
    OriginOptions origins;
    raw::LayoutChoice layout = raw::LayoutChoice::Auto;
};

int RunInfo(const InfoArgs& args) {
    // A BMP shows as the TIM it becomes, as opening it in the window does.
    const bool isBmp = IsBmpPath(args.path);
    ImageState state;
    Error error = isBmp ? LoadBmpFromPath(args.path, args.offset, state, args.origins)
                        : LoadImageFromPath(args.path, args.offset, state, args.layout);
    if (error) {
        ReportFailure(error);
        return kExitFailure;
    }
    std::cout << "bpp: " << state.bpp << '\n'
              << "width: " << state.pixelWidth << '\n'
              << "height: " << state.imageHeight << '\n'
              << "image-data-size: " << state.imageDataSize << '\n'
              << "clut-data-size: " << state.clutDataSize << '\n'
              << "clut-sets: " << state.ClutSetCount() << '\n'
              << "image-origin: " << state.imageOrgX << ',' << state.imageOrgY << '\n'
              << "clut-origin: " << state.clutOrgX << ',' << state.clutOrgY << '\n';
    // The reader trusts the block lengths; say when they don't fit the
    // header's sizes, as the picture then isn't what those sizes promise.
    // A BMP's TIM is built by the conversion, whose lengths always fit.
    if (!isBmp) {
        for (const std::string& warning : BlockLengthWarnings(state)) {
            std::cerr << "warning: " << warning << " (pixalto-cli repair can fix this)\n";
        }
    }
    return kExitOk;
}

}  // namespace

Runner DefineInfo(CLI::App& command) {
    auto args = std::make_shared<InfoArgs>();
    AddArgument(command, "FILE", args->path, "a TIM (or a file holding one), or a *.bmp");
    AddNumberOption(command, "--offset", args->offset, "byte where the TIM starts (default 0)");
    AddOriginOptions(command, args->origins);
    AddLayoutOption(command, args->layout);
    return [args] { return RunInfo(*args); };
}

}  // namespace pixalto::cli
