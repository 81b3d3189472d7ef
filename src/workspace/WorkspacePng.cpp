// The workspace's PNG and palette commands.

#include "image/Palette.h"
#include "image/Png.h"
#include "platform/File.h"
#include "workspace/Workspace.h"

namespace pixalto::workspace {

LoadOutcome Workspace::OpenPng(std::uint32_t depth, OriginsRequest& origins) {
    image.clutData = {};
    image.imageData = {};
    std::optional<Failure> failure;
    if (Error error = LoadPngFile(image, path, depth, origins)) {
        const Step step =
            error.code == ErrorCode::CouldntOpenFile ? Step::Opening : Step::ReadingPng;
        failure = Failure{std::move(error), step};
    }
    return FinishLoad(std::move(failure), 0);
}

std::optional<Failure> Workspace::SavePng(const std::string& target) {
    Result<PngFile> png = ConvertTimToPng(image, static_cast<std::uint32_t>(currentSet));
    if (!png) {
        return Failure{png.error(), Step::ConvertingToBmp};
    }
    if (Error error = WritePngFile(*png, target)) {
        return Failure{std::move(error), Step::Writing};
    }
    return std::nullopt;
}

std::optional<Failure> Workspace::SavePalette(const std::string& target) {
    const auto format = PaletteFormatFor(target);
    if (!format) {
        return Failure{Error(ErrorCode::PaletteFormatUnknown, target), Step::ConvertingToBmp};
    }
    Result<std::vector<std::uint8_t>> bytes =
        ExportPalette(image, static_cast<std::uint32_t>(currentSet), *format, FileTitleOf(path));
    if (!bytes) {
        return Failure{bytes.error(), Step::ConvertingToBmp};
    }
    if (Error error = WritePaletteFile(*bytes, target)) {
        return Failure{std::move(error), Step::Writing};
    }
    return std::nullopt;
}

std::optional<Failure> Workspace::ImportPaletteFile(const std::string& palettePath) {
    const auto format = PaletteFormatFor(palettePath);
    if (!format) {
        return Failure{Error(ErrorCode::PaletteFormatUnknown, palettePath), Step::ReadingPalette};
    }
    File file;
    if (!file.Open(palettePath, File::Mode::Read)) {
        return Failure{file.LastError().As(ErrorCode::CouldntOpenFile), Step::Opening};
    }
    std::vector<std::uint8_t> bytes(
        static_cast<std::size_t>(std::max<std::int64_t>(file.GetLength(), 0)));
    bytes.resize(file.Read(bytes.data(), bytes.size()));
    // The palette goes onto a copy of the CLUT first; then each entry it
    // changed becomes an edit of its own, which Undo takes back.
    ImageState scratch;
    scratch.bpp = image.bpp;
    scratch.clutData = image.clutData;
    scratch.clutDataSize = image.clutDataSize;
    const auto set = static_cast<std::uint32_t>(currentSet);
    if (Error error = ImportPalette(scratch, set, bytes, *format)) {
        return Failure{std::move(error), Step::ReadingPalette};
    }
    for (std::uint32_t i = 0; i < ClutSetSize(); ++i) {
        const std::size_t at = (std::size_t{set} * ClutSetSize() + i) * 2;
        if (at + 2 <= scratch.clutData.size() && ClutColor(i) != ReadU16LE(&scratch.clutData[at])) {
            SetClutColor(i, ReadU16LE(&scratch.clutData[at]));
        }
    }
    return std::nullopt;
}

}  // namespace pixalto::workspace
