#include <iostream>
#include <vector>

#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/ImageSource.h"
#include "cli/PngWriter.h"
#include "image/Paint.h"

namespace pixalto::cli {

int RunRender(const Args& args) {
    CommandLine line(
        args, {{"--offset", true}, {"--set", true}, {"--transparency", false}, {"--split", false}});
    line.ExpectPositional(2, 2);
    const std::uint64_t offset = line.UnsignedValue("--offset");
    const std::uint64_t set = line.UnsignedValue("--set");
    ViewOptions view;
    view.splitImage = line.Has("--split");
    view.transparency = line.Has("--transparency");

    ImageState state;
    if (std::string error = LoadImageFromPath(line.Positional()[0], offset, state);
        !error.empty()) {
        std::cerr << error << '\n';
        return kExitFailure;
    }
    view.currentSet = CheckedClutSet(state, set);

    // Sized by the pixels that exist: a header that claims 65535 x 65535
    // pixels over a few bytes renders those bytes, not 16 GiB of nothing.
    const DrawableExtent extent = DrawableExtentOf(state, view.splitImage);
    const auto width = static_cast<int>(extent.width);
    const auto rows = static_cast<int>(extent.rows);
    // Pixels that the paint leaves undrawn stay transparent.
    MemorySurface surface(width, rows);
    PaintImage(state, view, surface, {0, 0});
    if (std::string error = WritePng(line.Positional()[1], width, rows, surface.Pixels());
        !error.empty()) {
        std::cerr << error << '\n';
        return kExitFailure;
    }
    return kExitOk;
}

}  // namespace pixalto::cli
