// Storing images: "Save TIM File", "Convert to BMP", and the folder
// conversions of the Convert menu with the folder chooser they share.

#include "image/Convert.h"
#include "image/FolderConvert.h"
#include "image/Writer.h"
#include "messages/Catalogue.h"
#include "shell/CMainDlg.h"

namespace pixalto::shell {
namespace {

constexpr const char* kSaveTimFilter = "*.tim|*.tim||";
constexpr const char* kSaveBmpFilter = "*.bmp|*.bmp||";

// A folder conversion's messages, one message box each. The extra-fields
// dialog is told which BMP it will be asking about.
class MessageBoxSink final : public MessageSink {
  public:
    MessageBoxSink(ui::Prompts& prompts, ExtraFieldsRequest& origins)
        : prompts_(prompts), origins_(origins) {}
    void Show(const std::string& text, const std::string& title) override {
        prompts_.MessageBox(text, title);
    }
    void Converting(const std::string& path) override { origins_.SetBmpPath(path); }

  private:
    ui::Prompts& prompts_;
    ExtraFieldsRequest& origins_;
};

void ConvertChosenFolder(CMainDlg& window, bool timToBmp) {
    if (!window.BrowseForImageFolder(window.filePath, /*wantTim=*/timToBmp)) {
        return;
    }
    window.OnCloseImage();
    window.UpdateMenuBar(false, false);
    window.filePath = FolderWithSeparator(window.filePath);

    // The batch works in an image record of its own: the window may repaint
    // while a message box or the extra-fields dialog is up, and must not
    // draw a file of the batch then.
    ImageState work;
    ExtraFieldsRequest origins(window.extraFields);
    MessageBoxSink messages(window.prompts, origins);
    ConvertFolder(window.filePath, window.folderMatches, timToBmp, work, origins, messages);
    window.folderMatches.clear();
}

}  // namespace

void CMainDlg::SaveTimFile() {
    // The menu item is greyed without an image; the command can still come.
    if (!image.IsLoaded()) {
        return;
    }
    const auto path = prompts.SaveFile(kSaveTimFilter, ".tim");
    if (!path) {
        return;
    }
    if (Error error = WriteImageFile(image, *path, /*asTim=*/true)) {
        prompts.MessageBox(msg::Text(error), msg::kErrorTitle);
    } else {
        prompts.MessageBox(msg::kTimSaved, msg::kFileSavedTitle);
    }
}

void CMainDlg::ConvertToBmpFile() {
    if (!image.IsLoaded()) {
        return;
    }
    const auto path = prompts.SaveFile(kSaveBmpFilter, ".bmp");
    if (!path) {
        return;
    }
    ExtraFieldsRequest unused(extraFields);  // only BMP to TIM asks for origins
    if (Error error =
            ConvertImage(image, /*toBmp=*/true, static_cast<std::uint32_t>(currentSet), unused)) {
        image.ReleaseBmpSide();
        prompts.MessageBox(msg::Text(error), msg::kConversionErrorTitle);
        return;
    }
    const Error error = WriteImageFile(image, *path, /*asTim=*/false);
    image.ReleaseBmpSide();
    if (error) {
        prompts.MessageBox(msg::Text(error), msg::kErrorTitle);
    } else {
        prompts.MessageBox(msg::kBmpSaved, msg::kFileSavedTitle);
    }
}

bool CMainDlg::BrowseForImageFolder(std::string& folderPath, bool wantTim) {
    const auto folder = prompts.ChooseFolder("");
    if (!folder) {
        return false;
    }
    folderPath = *folder;
    ImageFileSearch search = FindImageFiles(folderPath, wantTim);
    folderMatches = std::move(search.names);
    if (folderMatches.empty()) {
        prompts.MessageBox(NoFilesFoundText(search), msg::kNoFilesFoundTitle);
        return false;
    }
    return true;
}

void CMainDlg::ConvertFolderTimToBmp() {
    ConvertChosenFolder(*this, /*timToBmp=*/true);
}

void CMainDlg::ConvertFolderBmpToTim() {
    ConvertChosenFolder(*this, /*timToBmp=*/false);
}

}  // namespace pixalto::shell
