#include "image/FolderConvert.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

#include "image/LoadImage.h"
#include "image/Writer.h"
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
    messages.Converting(folder + name);
    File file;
    if (!file.Open(folder + name, File::Mode::Read)) {
        messages.Show(msg::kCouldntOpenFile, msg::kFileErrorTitle);
        return false;
    }
    std::string message = LoadImage(state, file, /*isTim=*/toBmp);
    file.Close();
    if (!message.empty()) {
        messages.Show(message, toBmp ? msg::kTimErrorTitle : msg::kBmpErrorTitle);
        return false;
    }
    // A folder conversion starts every image on set 0.
    message = ConvertImage(state, toBmp, 0, origins);
    if (toBmp) {
        state.EmptyTimSide();
    } else {
        state.EmptyBmpSide();
    }
    if (!message.empty()) {
        messages.Show(message,
                      toBmp ? msg::kTimConversionErrorTitle : msg::kBmpConversionErrorTitle);
        return false;
    }
    const bool written = WriteImageFile(state, folder + ConvertedName(name, toBmp), !toBmp);
    if (!written) {
        messages.Show(toBmp ? msg::kFailedSavingBmp : msg::kFailedSavingTim, msg::kErrorTitle);
    }
    return written;
}

}  // namespace

std::vector<std::string> FindImageFiles(const std::string& folder, bool wantTim) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        std::string name = entry.path().filename().string();
        // Like the system's file search, everything but folders: a file that
        // can't be read is then reported instead of passed over in silence.
        if (!entry.is_directory(error) && HasExtension(name, wantTim ? ".tim" : ".bmp")) {
            names.push_back(std::move(name));
        }
    }
    std::sort(names.begin(), names.end());
    return names;
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
    messages.Show(msg::kFilesConverted, msg::kFilesConvertedTitle);
    return result;
}

}  // namespace pixalto
