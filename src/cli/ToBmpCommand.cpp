#include <algorithm>
#include <cctype>
#include <iostream>
#include <memory>

#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "cli/Failure.h"
#include "cli/ImageSource.h"
#include "image/Convert.h"
#include "image/Sidecar.h"
#include "image/Writer.h"

namespace pixalto::cli {
namespace {

constexpr std::string_view kSidecarExtension = ".tmext";

struct ToBmpArgs {
    std::string in;
    std::optional<std::string> out;
    std::uint64_t offset = 0;
    std::uint64_t set = 0;
};

// The sidecar's name is OUT's with the extension .tmext: a BMP named so would
// be written over by its own sidecar.
bool IsSidecarName(const std::string& path) {
    if (path.size() < kSidecarExtension.size()) {
        return false;
    }
    return std::equal(
        kSidecarExtension.begin(), kSidecarExtension.end(),
        path.end() - static_cast<std::ptrdiff_t>(kSidecarExtension.size()),
        [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); });
}

int RunToBmp(const ToBmpArgs& args) {
    const std::string out = args.out.value_or(WithExtension(args.in, ".bmp"));
    if (IsSidecarName(out)) {
        throw UsageError("OUT may not end in .tmext: the BMP's sidecar file takes that name");
    }
    ImageState state;
    if (Error error = LoadImageFromPath(args.in, args.offset, state)) {
        ReportFailure(error);
        return kExitFailure;
    }
    const std::uint32_t currentSet = CheckedClutSet(state, args.set);
    if (Error error = ConvertTimToBmp(state, currentSet)) {
        ReportFailure(error);
        return kExitFailure;
    }
    if (Error error = WriteImageFile(state, out, /*asTim=*/false)) {
        ReportFailure(error);
        return kExitFailure;
    }
    std::cout << out << '\n' << SidecarPathFor(out) << '\n';
    return kExitOk;
}

}  // namespace

Runner DefineToBmp(CLI::App& command) {
    auto args = std::make_shared<ToBmpArgs>();
    AddArgument(command, "FILE", args->in, "a TIM (or a file holding one)");
    AddOptionalArgument(command, "OUT", args->out,
                        "the BMP to write (default: FILE as .bmp); not *.tmext");
    AddNumberOption(command, "--offset", args->offset, "byte where the TIM starts (default 0)");
    AddNumberOption(command, "--set", args->set, "CLUT set for the palette (default 0)");
    return [args] { return RunToBmp(*args); };
}

}  // namespace pixalto::cli
