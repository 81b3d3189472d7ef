#include <iostream>

#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/ImageSource.h"

namespace pixalto::cli {

int RunInfo(const Args& args) {
    std::vector<OptionSpec> specs = kOriginOptionSpecs;
    specs.push_back({"--offset", true});
    CommandLine line(args, specs);
    line.ExpectPositional(1, 1);
    const std::uint64_t offset = line.UnsignedValue("--offset");
    const OriginOptions origins = ParseOriginOptions(line);

    // A BMP shows as the TIM it becomes, as opening it in the window does.
    const std::string& path = line.Positional()[0];
    ImageState state;
    std::string error = IsBmpPath(path) ? LoadBmpFromPath(path, offset, state, origins)
                                        : LoadImageFromPath(path, offset, state);
    if (!error.empty()) {
        std::cerr << error << '\n';
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
    return kExitOk;
}

}  // namespace pixalto::cli
