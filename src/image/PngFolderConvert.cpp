#include "image/PngFolderConvert.h"

#include "image/LoadImage.h"
#include "image/Png.h"
#include "image/Writer.h"
#include "messages/Catalogue.h"
#include "platform/File.h"

namespace pixalto {
namespace {

// A failure with the title the window shows it under.
struct Failure {
    Error error;
    const char* title = nullptr;
};

Failure TimToPng(const std::string& input, const std::string& output, ImageState& state) {
    File file;
    if (!file.Open(input, File::Mode::Read)) {
        return {file.LastError().As(ErrorCode::CouldntOpenFile), msg::kFileErrorTitle};
    }
    if (Error error = LoadImage(state, file, /*isTim=*/true)) {
        return {error, msg::kTimErrorTitle};
    }
    // A folder conversion starts every image on set 0.
    Result<PngFile> png = ConvertTimToPng(state, 0);
    if (!png) {
        return {png.error(), msg::kTimConversionErrorTitle};
    }
    return {WritePngFile(*png, output), msg::kErrorTitle};
}

Failure PngToTim(const std::string& input, const std::string& output, ImageState& state,
                 OriginsRequest& origins) {
    if (Error error = LoadPngFile(state, input, kPngDepthAuto, origins)) {
        return {error, msg::kPngConversionErrorTitle};
    }
    return {WriteImageFile(state, output, /*asTim=*/true), msg::kErrorTitle};
}

}  // namespace

FolderConversionResult ConvertFolderPng(const std::string& folder,
                                        const std::vector<std::string>& names, bool toPng,
                                        ImageState& state, OriginsRequest& origins,
                                        MessageSink& messages) {
    const std::string prefix = FolderWithSeparator(folder);
    FolderConversionResult result;
    for (const std::string& name : names) {
        const std::string input = prefix + name;
        const std::string output =
            prefix + name.substr(0, name.size() - 3) + (toPng ? "png" : "tim");
        messages.Converting(input);
        const Failure failure =
            toPng ? TimToPng(input, output, state) : PngToTim(input, output, state, origins);
        if (failure.error) {
            messages.Show(FailureText(failure.error, input), failure.title);
        }
        ++(failure.error ? result.failed : result.converted);
        messages.Progress(result.converted + result.failed, names.size());
        state.EmptyTimSide();
    }
    messages.Finished(msg::ConvertedText(result.converted, result.failed),
                      msg::kFilesConvertedTitle);
    return result;
}

}  // namespace pixalto
