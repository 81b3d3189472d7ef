#include "shell/CMainApp.h"

#include <QTimer>

#include "platform/qt/QtPrompts.h"
#include "shell/CMainDlg.h"

namespace pixalto::shell {

bool CMainApp::InitInstance(const std::string& startFile) {
    ui::QtPrompts prompts;
    CMainDlg dialog(prompts);
    prompts.SetOwner(&dialog);
    if (!startFile.empty()) {
        // Once the window is up, so that a message box has an owner to sit on.
        QTimer::singleShot(0, &dialog, [&dialog, startFile] { dialog.OpenGivenFile(startFile); });
    }
    // Placed once its start has sized it, before it shows.
    dialog.Create();
    dialog.RestorePlacement();
    dialog.exec();
    dialog.SavePlacement();
    return false;
}

}  // namespace pixalto::shell
