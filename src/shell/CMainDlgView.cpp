// The view options and the choice of CLUT set with the scroll bar.

#include "resources/ResourceIds.h"
#include "shell/CMainDlg.h"

namespace pixalto::shell {

void CMainDlg::OnSplitImage() {
    splitImage = !splitImage;
    menuBar->CheckMenuRadioItem(res::kCmdSplitImage, splitImage);
    SetMenu(menuBar.get());
    if (image.IsLoaded()) {
        // The picture changes height: what the last paint covered goes first.
        EraseImageArea(image.paintedWidth, image.paintedHeight);
        PaintImage();
    }
}

void CMainDlg::OnTransparency() {
    transparency = !transparency;
    menuBar->CheckMenuItem(res::kCmdTransparency, transparency);
    SetMenu(menuBar.get());
    if (image.IsLoaded()) {
        PaintImage();
    }
}

void CMainDlg::ShowCurrentSet(std::int32_t shownSet) {
    currentSetText = std::to_string(shownSet + 1);
    SetDlgItemText(res::kCurrentSetLabel, currentSetText);
}

void CMainDlg::SelectSet(std::int32_t set) {
    currentSet = set;
    SetScrollBar().SetScrollPos(currentSet);
    ShowCurrentSet(currentSet);
    PaintImage();
}

void CMainDlg::OnHScroll(int code, int thumbPosition) {
    // Nothing to choose from: no CLUT, one set, or less than one whole set.
    if (image.clutData.empty() || image.ClutSetCount() <= 1) {
        return;
    }
    const int limit = SetScrollBar().GetScrollLimit();
    switch (code) {
        case ui::kLineLeft:
        case ui::kPageLeft:
            if (currentSet != 0) {
                SelectSet(currentSet - 1);
            }
            break;
        case ui::kLineRight:
        case ui::kPageRight:
            if (currentSet < limit) {
                SelectSet(currentSet + 1);
            }
            break;
        case ui::kThumbPosition:
            if (thumbPosition != currentSet) {
                SelectSet(thumbPosition);
            }
            break;
        case ui::kThumbTrack:
            ShowCurrentSet(thumbPosition);
            break;
        default:
            break;
    }
}

}  // namespace pixalto::shell
