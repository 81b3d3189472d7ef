// Opening images: the file prompt, "Open TIM" and "Open BMP", the one load
// routine, the info panel, and showing an image listed from a RAW file.

#include <algorithm>

#include "image/Convert.h"
#include "image/LoadImage.h"
#include "messages/Catalogue.h"
#include "raw/NumberText.h"
#include "resources/ResourceIds.h"
#include "shell/CMainDlg.h"

namespace pixalto::shell {
namespace {

std::string PrintedInt(std::uint64_t value) {
    return std::to_string(static_cast<std::int32_t>(value));
}

std::string LowerCaseExtension(const std::string& path) {
    const std::string name = FileNameOf(path);
    const std::size_t dot = name.rfind('.');
    std::string extension = dot == std::string::npos ? std::string() : name.substr(dot);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

// The longest cell text read back from the list, terminating zero included.
constexpr std::size_t kCellTextLimit = 50;

}  // namespace

bool CMainDlg::PromptOpenFile(const std::string& filter, std::string& path) {
    const auto chosen = prompts.OpenFile(filter);
    if (!chosen) {
        return false;
    }
    OnCloseImage();
    path = *chosen;
    return true;
}

void CMainDlg::OnOpenTim() {
    if (PromptOpenFile(kTimFilter, filePath)) {
        OpenChosenFile(true);
    }
}

void CMainDlg::OnOpenBmp() {
    if (PromptOpenFile(kBmpFilter, filePath)) {
        OpenChosenFile(false);
    }
}

void CMainDlg::OpenChosenFile(bool isTim) {
    SetDlgItemText(res::kPathEdit, filePath);
    if (OpenImageFile(isTim, 0)) {
        PaintImage();
    } else {
        OnCloseImage();
    }
}

void CMainDlg::OpenGivenFile(const std::string& path) {
    const std::string extension = LowerCaseExtension(path);
    OnCloseImage();
    filePath = path;
    if (extension == ".tim" || extension == ".bmp") {
        OpenChosenFile(extension == ".tim");
    } else {
        ScanChosenFile();
    }
}

void CMainDlg::FailLoad(const Error& error, const std::string& title) {
    prompts.MessageBox(msg::Text(error), title);
    mainFile.Close();
    // Nothing of a failed load stays: no half-read CLUT, no BMP side, and no
    // command that needs an image may act on the released one.
    image.ReleaseBuffers();
    image.ReleaseBmpSide();
    if (clutViewer.IsWindowVisible()) {
        clutViewer.Hide();
    }
    if (menuBar != nullptr && menuBar->Id() == res::kMenuLoaded) {
        menuBar->EnableMenuItem(res::kCmdSaveTimFile, false);
        menuBar->EnableMenuItem(res::kCmdConvertToBmp, false);
        menuBar->EnableMenuItem(res::kCmdViewClut, false);
    }
}

bool CMainDlg::OpenImageFile(bool isTim, std::int64_t offset, bool fromRawFile) {
    image.clutData = {};
    if (image.IsLoaded()) {
        image.imageData = {};
        EraseImageArea(image.paintedWidth, image.paintedHeight);
    }
    SetScrollBar().SetScrollPos(currentSet);
    if (!(fromRawFile ? ReadListedTim(offset) : ReadImage(isTim, offset))) {
        return false;
    }

    UpdateMenuBar(true, offset != 0);
    // A set beyond this image's sets (kept from the previous list entry)
    // becomes its last set.
    const auto sets = static_cast<std::int32_t>(image.ClutSetCount());
    if (currentSet >= sets) {
        currentSet = std::max(sets - 1, 0);
    }
    SetScrollBar().SetScrollRange(0, image.bpp > 8 ? 0 : std::max(sets - 1, 0));
    SetScrollBar().SetScrollPos(currentSet);
    FillInfoPanel();
    currentSetText = std::to_string(currentSet + 1);
    SetDlgItemText(res::kCurrentSetLabel, currentSetText);
    return true;
}

bool CMainDlg::ReadImage(bool isTim, std::int64_t offset) {
    if (!mainFile.Open(filePath, File::Mode::Read)) {
        FailLoad(mainFile.LastError().As(ErrorCode::CouldntOpenFile), msg::kFileErrorTitle);
        return false;
    }
    const char* title = isTim ? msg::kTimErrorTitle : msg::kBmpErrorTitle;
    if (mainFile.Seek(offset) != offset) {
        // A position no file can have: no TIM starts there.
        FailLoad(Error(ErrorCode::TimHeaderNotFound), title);
        return false;
    }
    if (Error error = LoadImage(image, mainFile, isTim)) {
        FailLoad(error, title);
        return false;
    }
    if (!isTim) {
        ExtraFieldsRequest request(extraFields);
        if (Error error =
                ConvertImage(image, false, static_cast<std::uint32_t>(currentSet), request)) {
            FailLoad(error, msg::kBmpOpenConversionErrorTitle);
            return false;
        }
        image.ReleaseBmpSide();
    }
    mainFile.Close();
    return true;
}

void CMainDlg::FillInfoPanel() {
    SetDlgItemText(res::kImageSizeEdit, PrintedInt(image.imageDataSize));
    SetDlgItemText(res::kBppEdit, PrintedInt(image.bpp));
    SetDlgItemText(res::kClutSizeEdit, PrintedInt(image.clutDataSize));
    SetDlgItemText(res::kSetCountEdit,
                   PrintedInt(image.clutDataSize / 2 / (image.bpp == 4 ? 16 : 256)));
}

void CMainDlg::OnListItemChanged(int item, unsigned oldState, unsigned newState) {
    if (oldState == ui::kItemSelected) {
        selectedRow = -1;
    } else if (newState == 0) {
        selectedRow = 0;
    } else if (newState == (ui::kItemFocused | ui::kItemSelected)) {
        selectedRow = item;
    }
}

void CMainDlg::OnListDblClk() {
    if (selectedRow == -1) {
        return;
    }
    std::string text = List().GetItemText(selectedRow, 1);
    text.resize(std::min(text.size(), kCellTextLimit - 1));
    // Positions are read as 64-bit values, so that TIMs beyond 2 GiB of a
    // disc image can be shown; a cell without a number shows nothing.
    const auto position = raw::ReadInt64(text);
    if (!position) {
        return;
    }
    if (OpenImageFile(true, static_cast<std::int64_t>(position->value), /*fromRawFile=*/true)) {
        PaintImage();
    }
}

}  // namespace pixalto::shell
