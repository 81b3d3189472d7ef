#include <iostream>

#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/ImageSource.h"
#include "image/Writer.h"

namespace pixalto::cli {

namespace {
constexpr const char* kFailedSavingTim = "Failed on saving TIM File!";
}  // namespace

int RunToTim(const Args& args) {
    CommandLine line(args, kOriginOptionSpecs);
    line.ExpectPositional(1, 2);
    const OriginOptions origins = ParseOriginOptions(line);
    const std::string& in = line.Positional()[0];
    const std::string out =
        line.Positional().size() > 1 ? line.Positional()[1] : WithExtension(in, ".tim");

    ImageState state;
    if (std::string error = LoadBmpFromPath(in, 0, state, origins); !error.empty()) {
        std::cerr << error << '\n';
        return kExitFailure;
    }
    if (!WriteImageFile(state, out, /*asTim=*/true)) {
        std::cerr << kFailedSavingTim << '\n';
        return kExitFailure;
    }
    std::cout << out << '\n';
    return kExitOk;
}

}  // namespace pixalto::cli
