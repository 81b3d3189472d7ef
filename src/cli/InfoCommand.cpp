#include <iostream>

#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/ImageSource.h"

namespace pixalto::cli {

int RunInfo(const Args& args) {
    CommandLine line(args, {{"--offset", true}});
    line.ExpectPositional(1, 1);
    std::uint64_t offset = 0;
    if (auto text = line.Value("--offset")) {
        offset = ParseUnsigned(*text, "--offset");
    }

    ImageState state;
    if (std::string error = LoadImageFromPath(line.Positional()[0], offset, state); !error.empty()) {
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
