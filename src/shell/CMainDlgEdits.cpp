// Unsaved CLUT edits: the "*" in the title, Undo and Redo, and the question
// asked before they would be lost.

#include "messages/Catalogue.h"
#include "resources/ResourceIds.h"
#include "shell/CMainDlg.h"

namespace pixalto::shell {

bool CMainDlg::ConfirmDiscard() {
    if (!workspace.HasUnsavedChanges()) {
        return true;
    }
    switch (prompts.MessageBox(msg::SaveChanges(workspace.path), msg::kProgramTitle,
                               ui::MessageButtons::SaveDiscardCancel)) {
        case ui::Answer::Save:
            return SaveTimFileAs();
        case ui::Answer::Discard:
            return true;
        default:
            return false;
    }
}

void CMainDlg::OnCloseCommand() {
    if (ConfirmDiscard()) {
        OnCloseImage();
    }
}

void CMainDlg::OnUndo() {
    if (workspace.Undo()) {
        SelectSet(workspace.currentSet);
    }
}

void CMainDlg::OnRedo() {
    if (workspace.Redo()) {
        SelectSet(workspace.currentSet);
    }
}

void CMainDlg::ShowEditState() {
    setWindowTitle(workspace.HasUnsavedChanges() ? title_ + QStringLiteral("*") : title_);
    if (menuBar != nullptr && menuBar->Id() == res::kMenuLoaded) {
        menuBar->EnableMenuItem(res::kCmdUndo, workspace.CanUndo());
        menuBar->EnableMenuItem(res::kCmdRedo, workspace.CanRedo());
    }
}

}  // namespace pixalto::shell
