// Opening images: the file prompt, "Open TIM" and "Open BMP", showing what a
// load left, the info panel, and showing an image listed from a RAW file.

#include "image/Png.h"
#include "messages/Catalogue.h"
#include "resources/ResourceIds.h"
#include "shell/CMainDlg.h"

namespace pixalto::shell {
namespace {

std::string PrintedInt(std::uint64_t value) {
    return std::to_string(static_cast<std::int32_t>(value));
}

// The list reports its rows' states in the workspace's terms.
static_assert(unsigned{ui::kItemFocused} == workspace::kEntryFocused &&
              unsigned{ui::kItemSelected} == workspace::kEntrySelected);

}  // namespace

bool CMainDlg::PromptOpenFile(const std::string& filter) {
    // Asked once a file is chosen: a cancelled file dialog loses nothing.
    const auto chosen = prompts.OpenFile(filter);
    if (!chosen || !ConfirmDiscard()) {
        return false;
    }
    OnCloseImage();
    workspace.path = *chosen;
    return true;
}

void CMainDlg::OnOpenTim() {
    if (PromptOpenFile(kTimFilter)) {
        OpenChosenFile(true);
    }
}

void CMainDlg::OnOpenBmp() {
    if (PromptOpenFile(kBmpFilter)) {
        OpenChosenFile(false);
    }
}

void CMainDlg::OpenChosenFile(bool isTim) {
    SetDlgItemText(res::kPathEdit, workspace.path);
    EraseForLoad();
    ExtraFieldsRequest origins(extraFields);
    if (ShowLoad(workspace.OpenImage(isTim, origins))) {
        RememberFile(isTim ? workspace::OpenedAs::Tim : workspace::OpenedAs::Bmp);
        PaintImage();
    } else {
        OnCloseImage();
    }
}

void CMainDlg::OpenGivenFile(const std::string& path) {
    if (!ConfirmDiscard()) {
        return;
    }
    const bool isTim = HasExtension(path, ".tim");
    OnCloseImage();
    workspace.path = path;
    if (IsPngPath(path)) {
        OpenChosenPng();
    } else if (isTim || HasExtension(path, ".bmp")) {
        OpenChosenFile(isTim);
    } else {
        ScanChosenFile();
    }
}

void CMainDlg::EraseForLoad() {
    if (workspace.image.IsLoaded()) {
        EraseImageArea(workspace.image.paintedWidth, workspace.image.paintedHeight);
    }
    SetScrollBar().SetScrollPos(workspace.currentSet);
}

bool CMainDlg::ShowLoad(const workspace::LoadOutcome& outcome) {
    if (outcome.result != workspace::LoadResult::Loaded) {
        if (outcome.failure) {
            ShowFailure(*outcome.failure);
        }
        // No command that needs an image may act on the released one.
        if (clutViewer.IsWindowVisible()) {
            clutViewer.Hide();
        }
        if (menuBar != nullptr && menuBar->Id() == res::kMenuLoaded) {
            menuBar->EnableMenuItem(res::kCmdSaveTimFile, false);
            menuBar->EnableMenuItem(res::kCmdConvertToBmp, false);
            menuBar->EnableMenuItem(res::kCmdViewClut, false);
        }
        return false;
    }
    UpdateMenuBar(true, workspace.ImageFromEntry());
    GrowForImage();
    SetScrollBar().SetScrollRange(0, workspace.LastSelectableSet());
    SetScrollBar().SetScrollPos(workspace.currentSet);
    FillInfoPanel();
    ShowCurrentSet(workspace.currentSet);
    return true;
}

void CMainDlg::ShowFailure(const workspace::Failure& failure) {
    // The title of each step's message, in the order of workspace::Step.
    static constexpr const char* kTitles[] = {
        msg::kFileErrorTitle,       msg::kTimErrorTitle,
        msg::kBmpErrorTitle,        msg::kBmpOpenConversionErrorTitle,
        msg::kConversionErrorTitle, msg::kPngConversionErrorTitle,
        msg::kPaletteErrorTitle,    msg::kErrorTitle,
    };
    static_assert(std::size(kTitles) == static_cast<std::size_t>(workspace::Step::Writing) + 1);
    prompts.MessageBox(msg::Text(failure.error), kTitles[static_cast<std::size_t>(failure.step)]);
}

void CMainDlg::FillInfoPanel() {
    const ImageState& image = workspace.image;
    SetDlgItemText(res::kImageSizeEdit, PrintedInt(image.imageDataSize));
    SetDlgItemText(res::kBppEdit, PrintedInt(image.bpp));
    SetDlgItemText(res::kClutSizeEdit, PrintedInt(image.clutDataSize));
    SetDlgItemText(res::kSetCountEdit,
                   PrintedInt(image.clutDataSize / 2 / ClutSetEntries(image.bpp)));
}

}  // namespace pixalto::shell
