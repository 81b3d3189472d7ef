#include "cli/PngFile.h"

#include <iostream>

#include "cli/Arguments.h"
#include "cli/Failure.h"
#include "cli/PngWriter.h"
#include "platform/FileReplace.h"

namespace pixalto::cli {

std::optional<DrawableExtent> ExtentForPng(const ImageState& state, const ViewOptions& view) {
    const DrawableExtent extent = DrawableExtentOf(state, view.splitImage);
    if (extent.width == 0 || extent.rows == 0) {
        std::cerr << "nothing to write: the painted area is empty\n";
        return std::nullopt;
    }
    return extent;
}

std::optional<MemorySurface> PaintForPng(ImageState& state, const ViewOptions& view) {
    const std::optional<DrawableExtent> extent = ExtentForPng(state, view);
    if (!extent) {
        return std::nullopt;
    }
    std::optional<MemorySurface> surface(std::in_place, static_cast<int>(extent->width),
                                         static_cast<int>(extent->rows));
    PaintImage(state, view, *surface, {0, 0});
    return surface;
}

int WritePngFile(const std::string& path, int width, int rows, std::span<const Pixel> pixels,
                 bool quick) {
    PendingFile png(path);
    if (!png.Create()) {
        ReportFailure(png.LastError().As(ErrorCode::CouldntCreateFile).About(path));
        return kExitFailure;
    }
    File& file = png.file();
    const bool written = WritePng(
        width, rows, pixels,
        [&file](const std::uint8_t* bytes, std::size_t count) { return file.Write(bytes, count); },
        quick);
    if (!written || !png.Finish() || !png.Commit()) {
        ReportFailure(png.LastError().As(ErrorCode::CouldntWriteFile).About(path));
        return kExitFailure;
    }
    return kExitOk;
}

}  // namespace pixalto::cli
