#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <memory>

#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "cli/Failure.h"
#include "cli/ImageSource.h"
#include "cli/PngWriter.h"
#include "image/Paint.h"
#include "platform/FileReplace.h"

namespace pixalto::cli {
namespace {

constexpr const char* kStandardOutput = "-";

struct RenderArgs {
    std::string in;
    std::string out;
    std::uint64_t offset = 0;
    std::uint64_t set = 0;
    bool transparency = false;
    bool split = false;
    raw::LayoutChoice layout = raw::LayoutChoice::Auto;
};

// Through the safe replacement: an old PNG stays whole until the new one is.
int WritePngFile(const std::string& path, int width, int rows, const MemorySurface& surface) {
    PendingFile png(path);
    if (!png.Create()) {
        ReportFailure(png.LastError().As(ErrorCode::CouldntCreateFile).About(path));
        return kExitFailure;
    }
    File& file = png.file();
    const bool written = WritePng(
        width, rows, surface.Pixels(),
        [&file](const std::uint8_t* bytes, std::size_t count) { return file.Write(bytes, count); });
    if (!written || !png.Finish() || !png.Commit()) {
        ReportFailure(png.LastError().As(ErrorCode::CouldntWriteFile).About(path));
        return kExitFailure;
    }
    return kExitOk;
}

int WritePngToStdout(int width, int rows, const MemorySurface& surface) {
    int error = 0;
    const bool written = WritePng(width, rows, surface.Pixels(),
                                  [&error](const std::uint8_t* bytes, std::size_t count) {
                                      while (count != 0) {
                                          const ssize_t n = ::write(STDOUT_FILENO, bytes, count);
                                          if (n < 0 && errno == EINTR) {
                                              continue;
                                          }
                                          if (n <= 0) {
                                              error = n < 0 ? errno : EIO;
                                              return false;
                                          }
                                          bytes += n;
                                          count -= static_cast<std::size_t>(n);
                                      }
                                      return true;
                                  });
    if (!written) {
        std::cerr << "Couldn't write the PNG to standard output\n";
        if (error != 0) {
            std::cerr << "standard output: " << std::strerror(error) << '\n';
        }
        return kExitFailure;
    }
    return kExitOk;
}

int RunRender(const RenderArgs& args) {
    ImageState state;
    if (Error error = LoadImageFromPath(args.in, args.offset, state, args.layout)) {
        ReportFailure(error);
        return kExitFailure;
    }
    ViewOptions view;
    view.splitImage = args.split;
    view.transparency = args.transparency;
    view.currentSet = CheckedClutSet(state, args.set);

    // Sized by the pixels that exist: a header that claims 65535 x 65535
    // pixels over a few bytes renders those bytes, not 16 GiB of nothing.
    const DrawableExtent extent = DrawableExtentOf(state, view.splitImage);
    const auto width = static_cast<int>(extent.width);
    const auto rows = static_cast<int>(extent.rows);
    if (width <= 0 || rows <= 0) {
        std::cerr << "nothing to write: the painted area is empty\n";
        return kExitFailure;
    }
    // Pixels that the paint leaves undrawn stay transparent.
    MemorySurface surface(width, rows);
    PaintImage(state, view, surface, {0, 0});
    return args.out == kStandardOutput ? WritePngToStdout(width, rows, surface)
                                       : WritePngFile(args.out, width, rows, surface);
}

}  // namespace

Runner DefineRender(CLI::App& command) {
    auto args = std::make_shared<RenderArgs>();
    AddArgument(command, "FILE", args->in, "a TIM (or a file holding one)");
    AddArgument(command, "OUT", args->out, "the PNG to write, or - for standard output");
    AddNumberOption(command, "--offset", args->offset, "byte where the TIM starts (default 0)");
    AddNumberOption(command, "--set", args->set, "CLUT set to draw with (default 0)");
    AddFlag(command, "--transparency", args->transparency, "leave colour word 0 undrawn");
    AddFlag(command, "--split", args->split, "OR the lower half of the image onto the upper half");
    AddLayoutOption(command, args->layout);
    return [args] { return RunRender(*args); };
}

}  // namespace pixalto::cli
