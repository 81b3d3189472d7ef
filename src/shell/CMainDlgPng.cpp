// PNGs and palettes: "Open PNG" (and a .png given or dropped), "Export PNG",
// "Export Palette", "Import Palette", and the Convert menu's folder
// conversions to and from PNG.

#include "image/Png.h"
#include "image/PngFolderConvert.h"
#include "messages/Catalogue.h"
#include "resources/ResourceIds.h"
#include "shell/CMainDlg.h"

namespace pixalto::shell {
namespace {

void ConvertPngFolder(CMainDlg& window, bool toPng) {
    if (const auto matches = window.BrowseForFolderOf(toPng ? ".tim" : ".png")) {
        window.ConvertFoundFiles(
            *matches, [toPng](const std::string& folder, const std::vector<std::string>& names,
                              ImageState& work, OriginsRequest& origins, MessageSink& messages) {
                ConvertFolderPng(folder, names, toPng, work, origins, messages);
            });
    }
}

}  // namespace

void CMainDlg::OnOpenPng() {
    if (PromptOpenFile(kPngFilter)) {
        OpenChosenPng();
    }
}

void CMainDlg::OpenChosenPng() {
    SetDlgItemText(res::kPathEdit, workspace.path);
    EraseForLoad();
    std::uint32_t depth = kPngDepthAuto;
    if (PngNeedsDepth(workspace.path)) {
        // 4 and 8 bits quantise the colours to a palette, as the command
        // line's --bpp does; 16 bits, the depth a truecolour PNG takes when
        // nothing is asked, comes preset.
        constexpr std::uint32_t kDepths[] = {4, 8, 16, 24};
        const auto chosen =
            prompts.Choose(msg::kPngDepthQuestion, msg::kProgramTitle,
                           {std::begin(msg::kPngDepthChoices), std::end(msg::kPngDepthChoices)}, 2);
        if (!chosen || *chosen >= std::size(kDepths)) {
            OnCloseImage();  // cancelled: nothing is opened
            return;
        }
        depth = kDepths[*chosen];
    }
    ExtraFieldsRequest origins(extraFields);
    origins.SetBmpPath(workspace.path);
    if (ShowLoad(workspace.OpenPng(depth, origins))) {
        PaintImage();
    } else {
        OnCloseImage();
    }
}

void CMainDlg::OnExportPng() {
    if (!workspace.image.IsLoaded()) {
        return;
    }
    if (const auto path = prompts.SaveFile(kPngFilter, ".png")) {
        if (const auto failure = workspace.SavePng(*path)) {
            ShowFailure(*failure);
        } else {
            prompts.MessageBox(msg::kPngSaved, msg::kFileSavedTitle);
        }
    }
}

void CMainDlg::OnExportPalette() {
    if (workspace.image.clutData.empty()) {
        return;
    }
    if (const auto path = prompts.SaveFile(kPaletteFilter, ".gpl")) {
        if (const auto failure = workspace.SavePalette(*path)) {
            ShowFailure(*failure);
        } else {
            prompts.MessageBox(msg::kPaletteSaved, msg::kFileSavedTitle);
        }
    }
}

void CMainDlg::OnImportPalette() {
    if (workspace.image.clutData.empty()) {
        return;
    }
    if (const auto path = prompts.OpenFile(kPaletteFilter)) {
        if (const auto failure = workspace.ImportPaletteFile(*path)) {
            ShowFailure(*failure);
        } else {
            // The new colours show at once, as after an edit in the viewer.
            PaintImage();
        }
    }
}

void CMainDlg::ConvertFolderTimToPng() {
    ConvertPngFolder(*this, /*toPng=*/true);
}

void CMainDlg::ConvertFolderPngToTim() {
    ConvertPngFolder(*this, /*toPng=*/false);
}

}  // namespace pixalto::shell
