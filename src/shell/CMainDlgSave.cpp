// Storing images: "Save TIM File", "Convert to BMP", and the folder
// conversions of the Convert menu with the folder chooser they share.

#include <QCoreApplication>
#include <QProgressBar>
#include <functional>

#include "image/FolderConvert.h"
#include "messages/Catalogue.h"
#include "shell/CMainDlg.h"

namespace pixalto::shell {
namespace {

constexpr const char* kSaveTimFilter = "*.tim|*.tim||";
constexpr const char* kSaveBmpFilter = "*.bmp|*.bmp||";
constexpr const char* kBatchProgress = "batchProgress";
constexpr int kBarSteps = 1000;

// A folder conversion's messages, one message box each. The extra-fields
// dialog is told which BMP it will be asking about.
class MessageBoxSink final : public MessageSink {
  public:
    MessageBoxSink(ui::Prompts& prompts, ExtraFieldsRequest& origins,
                   std::function<void(std::size_t, std::size_t)> progress)
        : prompts_(prompts), origins_(origins), progress_(std::move(progress)) {}
    void Show(const std::string& text, const std::string& title) override {
        prompts_.MessageBox(text, title);
    }
    void Converting(const std::string& path) override { origins_.SetBmpPath(path); }
    void Progress(std::size_t done, std::size_t total) override { progress_(done, total); }

  private:
    ui::Prompts& prompts_;
    ExtraFieldsRequest& origins_;
    std::function<void(std::size_t, std::size_t)> progress_;
};

void ConvertChosenFolder(CMainDlg& window, bool timToBmp) {
    if (const auto matches = window.BrowseForImageFolder(/*wantTim=*/timToBmp)) {
        window.ConvertFoundFiles(
            *matches, [timToBmp](const std::string& folder, const std::vector<std::string>& names,
                                 ImageState& work, OriginsRequest& origins, MessageSink& messages) {
                ConvertFolder(folder, names, timToBmp, work, origins, messages);
            });
    }
}

}  // namespace

void CMainDlg::SaveTimFile() {
    SaveTimFileAs();
}

bool CMainDlg::SaveTimFileAs() {
    // The menu item is greyed without an image; the command can still come.
    if (!workspace.image.IsLoaded()) {
        return false;
    }
    const auto path = prompts.SaveFile(kSaveTimFilter, ".tim");
    if (!path) {
        return false;
    }
    const auto failure = workspace.SaveTim(*path);
    ShowEditState();
    if (failure) {
        ShowFailure(*failure);
        return false;
    }
    prompts.MessageBox(msg::kTimSaved, msg::kFileSavedTitle);
    return true;
}

void CMainDlg::ConvertToBmpFile() {
    if (!workspace.image.IsLoaded()) {
        return;
    }
    if (const auto path = prompts.SaveFile(kSaveBmpFilter, ".bmp")) {
        ExtraFieldsRequest unused(extraFields);  // only BMP to TIM asks for origins
        if (const auto failure = workspace.SaveBmp(*path, unused)) {
            ShowFailure(*failure);
        } else {
            prompts.MessageBox(msg::kBmpSaved, msg::kFileSavedTitle);
        }
    }
}

void CMainDlg::ConvertFoundFiles(const std::vector<std::string>& names,
                                 const FolderConversion& convert) {
    const std::string folder = workspace.path;
    OnCloseImage();
    UpdateMenuBar(false, false);
    workspace.path = FolderWithSeparator(folder);

    // The batch works in an image record of its own: the window may repaint
    // while a message box or the extra-fields dialog is up, and must not
    // draw a file of the batch then.
    ImageState work;
    ExtraFieldsRequest origins(extraFields);
    MessageBoxSink messages(prompts, origins, [this](std::size_t done, std::size_t total) {
        ShowBatchProgress(done, total);
    });
    ShowBatchProgress(0, names.size());
    convert(workspace.path, names, work, origins, messages);
    EndBatchProgress();
}

void CMainDlg::ShowBatchProgress(std::size_t done, std::size_t total) {
    auto* bar = statusBar->findChild<QProgressBar*>(kBatchProgress);
    if (bar == nullptr) {
        bar = new QProgressBar(statusBar);
        bar->setObjectName(kBatchProgress);
        bar->setTextVisible(false);
        bar->setMaximumWidth(160);
        statusBar->addPermanentWidget(bar);
    }
    // In thousandths, whatever the number of files.
    bar->setRange(0, kBarSteps);
    bar->setValue(total == 0 ? kBarSteps : static_cast<int>(done * kBarSteps / total));
    bar->show();
    statusBar->showMessage(QString::fromStdString(msg::ConvertingProgressText(done, total)));
    // The batch runs on this thread: let the bar and the text be drawn,
    // but take no clicks or keys until it ends.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void CMainDlg::EndBatchProgress() {
    if (auto* bar = statusBar->findChild<QProgressBar*>(kBatchProgress)) {
        bar->hide();
    }
    statusBar->clearMessage();
}

std::optional<std::vector<std::string>> CMainDlg::BrowseForImageFolder(bool wantTim) {
    return BrowseForFolderOf(wantTim ? ".tim" : ".bmp");
}

std::optional<std::vector<std::string>> CMainDlg::BrowseForFolderOf(std::string_view extension) {
    const auto folder = prompts.ChooseFolder("");
    if (!folder) {
        return std::nullopt;
    }
    workspace.path = *folder;
    ImageFileSearch search = FindFilesEndingIn(workspace.path, extension);
    if (search.names.empty()) {
        prompts.MessageBox(NoFilesFoundText(search), msg::kNoFilesFoundTitle);
        return std::nullopt;
    }
    return std::move(search.names);
}

void CMainDlg::ConvertFolderTimToBmp() {
    ConvertChosenFolder(*this, /*timToBmp=*/true);
}

void CMainDlg::ConvertFolderBmpToTim() {
    ConvertChosenFolder(*this, /*timToBmp=*/false);
}

}  // namespace pixalto::shell
