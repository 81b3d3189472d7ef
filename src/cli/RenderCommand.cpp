#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <memory>

#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "cli/Failure.h"
#include "cli/ImageSource.h"
#include "cli/PngFile.h"
#include "cli/PngWriter.h"
#include "image/Paint.h"

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

    const std::optional<MemorySurface> surface = PaintForPng(state, view);
    if (!surface) {
        return kExitFailure;
    }
    const int width = surface->Width();
    const int rows = surface->Height();
    return args.out == kStandardOutput ? WritePngToStdout(width, rows, *surface)
                                       : WritePngFile(args.out, width, rows, surface->Pixels());
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
