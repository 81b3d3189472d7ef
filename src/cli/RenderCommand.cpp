#include <iostream>
#include <limits>
#include <vector>

#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/ImageSource.h"
#include "cli/PngWriter.h"
#include "image/Paint.h"

namespace pixalto::cli {

namespace {

// The largest surface the tool paints onto; images wider or taller than this
// many pixels can't be rendered (a surface's coordinates are ints).
constexpr std::uint64_t kMaxSide = 1u << 16;

}  // namespace

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

    const std::uint32_t width = state.pixelWidth;
    const std::uint32_t rows = RowsToPaint(state, view.splitImage);
    if (width > kMaxSide || rows > kMaxSide) {
        std::cerr << "The image is too large to render.\n";
        return kExitFailure;
    }
    // Paint at the window's image-area corner on a surface that starts
    // undrawn, then keep just the image's rectangle.
    MemorySurface surface(kImageAreaX + static_cast<int>(width),
                          kImageAreaY + static_cast<int>(rows));
    PaintImage(state, view, surface);
    std::vector<Pixel> pixels;
    pixels.reserve(static_cast<std::size_t>(width) * rows);
    for (std::uint32_t y = 0; y < rows; ++y) {
        auto row = surface.Row(kImageAreaY + static_cast<int>(y));
        pixels.insert(pixels.end(), row.begin() + kImageAreaX, row.end());
    }
    if (std::string error =
            WritePng(line.Positional()[1], static_cast<int>(width), static_cast<int>(rows), pixels);
        !error.empty()) {
        std::cerr << error << '\n';
        return kExitFailure;
    }
    return kExitOk;
}

}  // namespace pixalto::cli
