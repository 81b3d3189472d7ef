#include "image/FolderConvert.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "image/LoadImage.h"
#include "image/Writer.h"
#include "platform/File.h"
#include "platform/FileFailure.h"

namespace pixalto {
namespace {

// A file of the batch: a name in the chosen kind's extension, and more than
// that extension alone.
bool IsBatchFile(const std::string& name, std::string_view extension) {
    return name.size() > extension.size() && HasExtension(name, extension);
}

// One file of the batch: false when it failed (its message has been shown).
bool ConvertOne(const std::string& folder, const std::string& name, bool toBmp, ImageState& state,
                OriginsRequest& origins, MessageSink& messages) {
    const std::string input = folder + name;
    messages.Converting(input);
    ClearFileFailure();
    const auto fail = [&](const std::string& message, const char* title, bool aboutAFile) {
        messages.Show(FailureText(message, input, aboutAFile ? DescribeLastFileFailure() : ""),
                      title);
        return false;
    };
    File file;
    if (!file.Open(input, File::Mode::Read)) {
        return fail(msg::kCouldntOpenFile, msg::kFileErrorTitle, true);
    }
    std::string message = LoadImage(state, file, /*isTim=*/toBmp);
    file.Close();
    if (!message.empty()) {
        return fail(message, toBmp ? msg::kTimErrorTitle : msg::kBmpErrorTitle, false);
    }
    // A folder conversion starts every image on set 0.
    message = ConvertImage(state, toBmp, 0, origins);
    if (toBmp) {
        state.EmptyTimSide();
    } else {
        state.EmptyBmpSide();
    }
    if (!message.empty()) {
        return fail(message, toBmp ? msg::kTimConversionErrorTitle : msg::kBmpConversionErrorTitle,
                    false);
    }
    if (!WriteImageFile(state, folder + ConvertedName(name, toBmp), !toBmp)) {
        return fail(toBmp ? msg::kFailedSavingBmp : msg::kFailedSavingTim, msg::kErrorTitle, true);
    }
    return true;
}

}  // namespace

ImageFileSearch FindImageFiles(const std::string& folder, bool wantTim) {
    ImageFileSearch search;
    std::error_code error;
    namespace fs = std::filesystem;
    for (fs::directory_iterator it(folder, error); !error && it != fs::directory_iterator();
         it.increment(error)) {
        std::string name = it->path().filename().string();
        // Like the system's file search, everything but folders: a file that
        // can't be read is then reported instead of passed over in silence.
        std::error_code unknownKind;
        if (!it->is_directory(unknownKind) && IsBatchFile(name, wantTim ? ".tim" : ".bmp")) {
            search.names.push_back(std::move(name));
        }
    }
    if (error) {
        // A folder read only in part is no list to convert from.
        search.names.clear();
        search.failure = folder + ": " + error.message();
    }
    std::sort(search.names.begin(), search.names.end());
    return search;
}

std::string NoFilesFoundText(const ImageFileSearch& search) {
    return search.failure.empty() ? msg::kNoFilesFound
                                  : std::string(msg::kNoFilesFound) + '\n' + search.failure;
}

std::string ConvertedText(const FolderConversionResult& result) {
    if (result.failed == 0) {
        return msg::kFilesConverted;
    }
    return std::to_string(result.converted) + " of " +
           std::to_string(result.converted + result.failed) + " file(s) converted; " +
           std::to_string(result.failed) + " failed!";
}

std::string FailureText(const std::string& message, const std::string& input,
                        const std::string& reason) {
    std::string text = message;
    if (message.rfind(input, 0) != 0 && reason.rfind(input + ": ", 0) != 0) {
        text += '\n' + input;
    }
    if (!reason.empty()) {
        text += '\n' + reason;
    }
    return text;
}

std::string FolderWithSeparator(const std::string& folder) {
    return !folder.empty() && folder.back() == '/' ? folder : folder + '/';
}

std::string ConvertedName(const std::string& name, bool toBmp) {
    return name.substr(0, name.size() < 3 ? 0 : name.size() - 3) + (toBmp ? "bmp" : "tim");
}

FolderConversionResult ConvertFolder(const std::string& folder,
                                     const std::vector<std::string>& names, bool toBmp,
                                     ImageState& state, OriginsRequest& origins,
                                     MessageSink& messages) {
    const std::string prefix = FolderWithSeparator(folder);
    FolderConversionResult result;
    for (const std::string& name : names) {
        const bool converted = ConvertOne(prefix, name, toBmp, state, origins, messages);
        ++(converted ? result.converted : result.failed);
        state.EmptyTimSide();
        state.EmptyBmpSide();
    }
    messages.Show(ConvertedText(result), msg::kFilesConvertedTitle);
    return result;
}

}  // namespace pixalto
