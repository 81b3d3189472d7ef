#include "image/FolderConvert.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

#include "image/LoadImage.h"
#include "image/Writer.h"
#include "messages/Catalogue.h"
#include "platform/File.h"

namespace pixalto {
namespace {

bool HasExtension(const std::string& name, const char* extension) {
    const std::size_t length = std::char_traits<char>::length(extension);
    if (name.size() <= length) {
        return false;
    }
    return std::equal(
        name.end() - static_cast<std::ptrdiff_t>(length), name.end(), extension,
        [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; });
}

// One file of the batch: false when it failed (its message has been shown).
bool ConvertOne(const std::string& folder, const std::string& name, bool toBmp, ImageState& state,
                OriginsRequest& origins, MessageSink& messages) {
    const std::string input = folder + name;
    messages.Converting(input);
    const auto fail = [&](const Error& error, const char* title) {
        messages.Show(FailureText(error, input), title);
        return false;
    };
    File file;
    if (!file.Open(input, File::Mode::Read)) {
        return fail(file.LastError().As(ErrorCode::CouldntOpenFile), msg::kFileErrorTitle);
    }
    Error error = LoadImage(state, file, /*isTim=*/toBmp);
    file.Close();
    if (error) {
        return fail(error, toBmp ? msg::kTimErrorTitle : msg::kBmpErrorTitle);
    }
    // A folder conversion starts every image on set 0.
    error = ConvertImage(state, toBmp, 0, origins);
    if (toBmp) {
        state.EmptyTimSide();
    } else {
        state.EmptyBmpSide();
    }
    if (error) {
        return fail(error, toBmp ? msg::kTimConversionErrorTitle : msg::kBmpConversionErrorTitle);
    }
    if (Error saving = WriteImageFile(state, folder + ConvertedName(name, toBmp), !toBmp)) {
        return fail(saving, msg::kErrorTitle);
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
        if (!it->is_directory(unknownKind) && HasExtension(name, wantTim ? ".tim" : ".bmp")) {
            search.names.push_back(std::move(name));
        }
    }
    if (error) {
        // A folder read only in part is no list to convert from.
        search.names.clear();
        search.failure = Error(ErrorCode::NoFilesFound, folder, error.value());
    }
    std::sort(search.names.begin(), search.names.end());
    return search;
}

std::string NoFilesFoundText(const ImageFileSearch& search) {
    return msg::Text(search.failure ? search.failure : Error(ErrorCode::NoFilesFound));
}

std::string FailureText(const Error& error, const std::string& input) {
    const std::string message = msg::Text(error);
    const std::string reason = msg::IsAboutAFile(error.code) ? msg::SystemReason(error) : "";
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
    messages.Finished(msg::ConvertedText(result.converted, result.failed), msg::kFilesConvertedTitle);
    return result;
}

}  // namespace pixalto
