// The view options, the choice of CLUT set with the scroll bar, and "View
// Clut", which shows the CLUT viewer.

#include <QAction>

#include "resources/ResourceIds.h"
#include "shell/CMainDlg.h"

namespace pixalto::shell {

void CMainDlg::InstallSetKeys() {
    // PageUp and PageDown, or [ and ], step through the sets as the scroll
    // bar's arrows do, wherever the focus is in the window.
    struct SetKeys {
        int code;
        QKeySequence keys[2];
    };
    for (const SetKeys& step :
         {SetKeys{ui::kLineLeft, {Qt::Key_PageUp, Qt::Key_BracketLeft}},
          SetKeys{ui::kLineRight, {Qt::Key_PageDown, Qt::Key_BracketRight}}}) {
        auto* action = new QAction(this);
        action->setShortcuts({step.keys[0], step.keys[1]});
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this,
                [this, code = step.code] { OnHScroll(code, 0); });
        addAction(action);
    }
    // Its arrow keys then choose the set too.
    SetScrollBar().setFocusPolicy(Qt::StrongFocus);
}

void CMainDlg::OnSplitImage() {
    workspace.ToggleSplitImage();
    menuBar->CheckMenuRadioItem(res::kCmdSplitImage, workspace.splitImage);
    SetMenu(menuBar.get());
    if (workspace.image.IsLoaded()) {
        // The picture changes height: what the last paint covered goes first.
        EraseImageArea(workspace.image.paintedWidth, workspace.image.paintedHeight);
        PaintImage();
    }
}

void CMainDlg::OnTransparency() {
    workspace.ToggleTransparency();
    menuBar->CheckMenuItem(res::kCmdTransparency, workspace.transparency);
    MarkCheckerboard();
    SetMenu(menuBar.get());
    PaintImage();
}

void CMainDlg::MarkCheckerboard() {
    menuBar->CheckMenuItem(res::kCmdCheckerboard, workspace.checkerboard);
    menuBar->EnableMenuItem(res::kCmdCheckerboard, workspace.transparency);
}

void CMainDlg::OnCheckerboard() {
    workspace.ToggleCheckerboard();
    MarkCheckerboard();
    SetMenu(menuBar.get());
    // Under Transparency the paint lays the new background down itself.
    PaintImage();
}

void CMainDlg::ShowCurrentSet(std::int32_t shownSet) {
    SetDlgItemText(res::kCurrentSetLabel, std::to_string(shownSet + 1));
}

void CMainDlg::SelectSet(std::int32_t set) {
    workspace.SelectSet(set);
    SetScrollBar().SetScrollPos(set);
    ShowCurrentSet(set);
    PaintImage();
}

void CMainDlg::OnHScroll(int code, int thumbPosition) {
    if (!workspace.CanChooseSet()) {
        return;
    }
    const std::int32_t currentSet = workspace.currentSet;
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

void CMainDlg::OnViewClut() {
    if (!workspace.image.clutData.empty()) {
        clutViewer.show();
        clutViewer.activateWindow();
    }
}

}  // namespace pixalto::shell
