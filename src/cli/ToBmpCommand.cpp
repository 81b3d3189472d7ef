#include <iostream>

#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/ImageSource.h"
#include "image/Convert.h"
#include "image/Sidecar.h"
#include "image/Writer.h"

namespace pixalto::cli {

namespace {
constexpr const char* kFailedSavingBmp = "Failed on saving BMP File!";
}  // namespace

int RunToBmp(const Args& args) {
    CommandLine line(args, {{"--offset", true}, {"--set", true}});
    line.ExpectPositional(1, 2);
    const std::uint64_t offset = line.UnsignedValue("--offset");
    const std::uint64_t set = line.UnsignedValue("--set");
    const std::string& in = line.Positional()[0];
    const std::string out =
        line.Positional().size() > 1 ? line.Positional()[1] : WithExtension(in, ".bmp");

    ImageState state;
    if (std::string error = LoadImageFromPath(in, offset, state); !error.empty()) {
        std::cerr << error << '\n';
        return kExitFailure;
    }
    const std::uint32_t currentSet = CheckedClutSet(state, set);
    if (std::string error = ConvertTimToBmp(state, currentSet); !error.empty()) {
        std::cerr << error << '\n';
        return kExitFailure;
    }
    if (!WriteImageFile(state, out, /*asTim=*/false)) {
        std::cerr << kFailedSavingBmp << '\n';
        return kExitFailure;
    }
    std::cout << out << '\n' << SidecarPathFor(out) << '\n';
    return kExitOk;
}

}  // namespace pixalto::cli
