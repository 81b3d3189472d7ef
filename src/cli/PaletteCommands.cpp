#include <iostream>
#include <memory>

#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "cli/Failure.h"
#include "cli/ImageSource.h"
#include "image/Palette.h"
#include "image/Writer.h"
#include "platform/File.h"

namespace pixalto::cli {
namespace {

struct PaletteArgs {
    std::string image;
    std::string palette;
    std::optional<std::string> out;
    std::uint64_t set = 0;
    OriginOptions origins;
};

PaletteFormat FormatOf(const std::string& path) {
    const auto format = PaletteFormatFor(path);
    if (!format) {
        throw UsageError("PALETTE must end in .gpl, .pal, .act, .tim or .clt: " + path);
    }
    return *format;
}

// The image with a CLUT whose set the command works on.
Error LoadWithSet(const PaletteArgs& args, ImageState& state, std::uint32_t& set) {
    if (Error error = LoadAnyImage(args.image, 0, state, args.origins)) {
        return error;
    }
    if (state.ClutSetCount() == 0) {
        return Error(ErrorCode::NoClutForPalette);
    }
    set = CheckedClutSet(state, args.set);
    return {};
}

int Finish(const Error& error, const std::string& written) {
    if (error) {
        ReportFailure(error);
        return kExitFailure;
    }
    std::cout << written << '\n';
    return kExitOk;
}

int RunExportPalette(const PaletteArgs& args) {
    const PaletteFormat format = FormatOf(args.palette);
    ImageState state;
    std::uint32_t set = 0;
    Error error = LoadWithSet(args, state, set);
    if (!error) {
        Result<std::vector<std::uint8_t>> bytes =
            ExportPalette(state, set, format, FileTitleOf(args.image));
        error = bytes ? WritePaletteFile(*bytes, args.palette) : bytes.error();
    }
    return Finish(error, args.palette);
}

int RunImportPalette(const PaletteArgs& args) {
    const PaletteFormat format = FormatOf(args.palette);
    // A TIM is replaced in place; a PNG or BMP gives a TIM beside it.
    const bool isTim = !IsPngPath(args.image) && !IsBmpPath(args.image);
    const std::string out =
        args.out.value_or(isTim ? args.image : WithExtension(args.image, ".tim"));
    ImageState state;
    std::uint32_t set = 0;
    Error error = LoadWithSet(args, state, set);
    std::vector<std::uint8_t> bytes;
    if (!error) {
        File file;
        if (!file.Open(args.palette, File::Mode::Read)) {
            error = file.LastError().As(ErrorCode::CouldntOpenFile);
        } else {
            bytes.resize(static_cast<std::size_t>(std::max<std::int64_t>(file.GetLength(), 0)));
            bytes.resize(file.Read(bytes.data(), bytes.size()));
        }
    }
    if (!error) {
        error = ImportPalette(state, set, bytes, format);
    }
    if (!error) {
        error = WriteImageFile(state, out, /*asTim=*/true);
    }
    return Finish(error, out);
}

void AddCommon(CLI::App& command, PaletteArgs& args) {
    AddArgument(command, "FILE", args.image, "a TIM with a CLUT, or a *.png or *.bmp");
    AddArgument(command, "PALETTE", args.palette,
                "the palette file: *.gpl, *.pal, *.act, or *.tim / *.clt (a CLUT only)");
}

}  // namespace

Runner DefineExportPalette(CLI::App& command) {
    auto args = std::make_shared<PaletteArgs>();
    AddCommon(command, *args);
    AddNumberOption(command, "--set", args->set, "the CLUT set written (default 0)");
    AddOriginOptions(command, args->origins);
    return [args] { return RunExportPalette(*args); };
}

Runner DefineImportPalette(CLI::App& command) {
    auto args = std::make_shared<PaletteArgs>();
    AddCommon(command, *args);
    AddOptionalArgument(command, "OUT", args->out,
                        "the TIM to write (default: FILE itself for a TIM, else FILE as .tim)");
    AddNumberOption(command, "--set", args->set, "the CLUT set replaced (default 0)");
    AddOriginOptions(command, args->origins);
    return [args] { return RunImportPalette(*args); };
}

}  // namespace pixalto::cli
