#include <iostream>
#include <memory>

#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "cli/Failure.h"
#include "cli/ImageSource.h"
#include "image/Png.h"
#include "image/Sidecar.h"
#include "platform/File.h"

namespace pixalto::cli {
namespace {

struct ToPngArgs {
    std::string in;
    std::optional<std::string> out;
    std::uint64_t offset = 0;
    std::uint64_t set = 0;
    bool allSets = false;
    raw::LayoutChoice layout = raw::LayoutChoice::Auto;
};

// Converts state with set as the palette and writes it and its sidecar.
bool WriteOnePng(const ImageState& state, std::uint32_t set, const std::string& out) {
    Result<PngFile> png = ConvertTimToPng(state, set);
    Error error = png ? WritePngFile(*png, out) : png.error();
    if (error) {
        ReportFailure(error);
        return false;
    }
    std::cout << out << '\n' << SidecarPathFor(out) << '\n';
    return true;
}

int RunToPng(const ToPngArgs& args) {
    const std::string out = args.out.value_or(WithExtension(args.in, ".png"));
    if (HasExtension(out, ".tmext")) {
        throw UsageError("OUT may not end in .tmext: the PNG's sidecar file takes that name");
    }
    ImageState state;
    if (Error error = LoadImageFromPath(args.in, args.offset, state, args.layout)) {
        ReportFailure(error);
        return kExitFailure;
    }
    if (!args.allSets || state.ClutSetCount() == 0) {
        return WriteOnePng(state, CheckedClutSet(state, args.set), out) ? kExitOk : kExitFailure;
    }
    // NAME_set1.png for the first set, as people count them.
    for (std::uint32_t set = 0; set < state.ClutSetCount(); ++set) {
        const std::string name =
            FolderOf(out) + FileTitleOf(out) + "_set" + std::to_string(set + 1) + ".png";
        if (!WriteOnePng(state, set, name)) {
            return kExitFailure;
        }
    }
    return kExitOk;
}

}  // namespace

Runner DefineToPng(CLI::App& command) {
    auto args = std::make_shared<ToPngArgs>();
    AddArgument(command, "FILE", args->in, "a TIM (or a file holding one)");
    AddOptionalArgument(command, "OUT", args->out,
                        "the PNG to write (default: FILE as .png); not *.tmext");
    AddNumberOption(command, "--offset", args->offset, "byte where the TIM starts (default 0)");
    CLI::Option* set =
        AddNumberOption(command, "--set", args->set, "CLUT set for the palette (default 0)");
    AddFlag(command, "--all-sets", args->allSets,
            "one PNG for each CLUT set, OUT's name with _set1, _set2 ...")
        ->excludes(set);
    AddLayoutOption(command, args->layout);
    return [args] { return RunToPng(*args); };
}

}  // namespace pixalto::cli
