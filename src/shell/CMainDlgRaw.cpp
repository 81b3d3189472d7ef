// The RAW-file commands: "Scan RAW File", "Save Multiple Files" and "Insert
// TIM File(s)", each run as a job in the progress dialog.

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>

#include "messages/Catalogue.h"
#include "raw/ExtractJob.h"
#include "raw/InsertJob.h"
#include "raw/ScanFileJob.h"
#include "resources/ResourceIds.h"
#include "shell/CMainDlg.h"

namespace pixalto::shell {

void CMainDlg::OnScanRawFile() {
    if (PromptOpenFile(kRawFilter)) {
        ScanChosenFile();
    }
}

void CMainDlg::ScanChosenFile() {
    SetDlgItemText(res::kPathEdit, workspace.path);
    // The file is opened and its layout detected once, here: the scan and
    // every TIM shown from the list read it as it is now.
    workspace.OpenRawFile();
    GetDlgItem(res::kPathEdit)->setToolTip(QString::fromStdString(workspace.RawLayoutNote()));
    UpdateMenuBar(true, true);
    workspace.selectedRow = -1;
    const raw::JobState result = scanDlg.Run(
        raw::JobKind::Scan, std::make_unique<raw::ScanFileJob>(scanDlg, workspace.RawFile()));
    if (result != raw::kJobFinished) {
        // The file couldn't be read, and the scan has said so: the window
        // must not offer to extract from it what an earlier scan listed.
        OnCloseImage();
    } else {
        RememberFile(workspace::OpenedAs::Raw);
        // Said once for the file, in the status bar with the scan's own
        // result, not per row: the rows still show their sectors.
        std::string said;
        if (scanDlg.Cancelled()) {
            said = msg::ScanCancelled(workspace.Entries().size());
        }
        if (workspace.DiscWithoutFileSystem()) {
            said += (said.empty() ? "" : " ") + msg::NoFileSystem(workspace.path);
        }
        if (!said.empty()) {
            statusBar->showMessage(QString::fromStdString(said));
        }
    }
}

void CMainDlg::OnSaveMultipleFiles() {
    std::string selection;
    extractNumbers.entryCount =
        static_cast<std::uint32_t>(std::min<std::size_t>(workspace.Entries().size(), UINT32_MAX));
    extractNumbers.acceptedText = &selection;
    if (extractNumbers.DoModal() != res::kIdOk) {
        return;
    }
    const raw::JobState result =
        scanDlg.Run(raw::JobKind::Extract,
                    std::make_unique<raw::ExtractJob>(scanDlg, workspace.path, selection));
    // A job that stopped has shown its own message; nothing was saved whole.
    if (result == raw::kJobFinished) {
        prompts.MessageBox(msg::kFilesSaved, msg::kFilesSavedTitle);
    }
}

void CMainDlg::OnInsertTimFiles() {
    if (!PromptOpenFile(kExtractionListFilter)) {
        return;
    }
    std::uint64_t inserted = 0;
    raw::InsertOptions options;
    options.insertedCount = &inserted;
    const raw::JobState result = scanDlg.Run(
        raw::JobKind::Insert, std::make_unique<raw::InsertJob>(scanDlg, workspace.path, options));
    // Skipping every record is the user's choice, but nothing may be called
    // inserted when nothing was.
    if (result == raw::kJobFinished && inserted > 0) {
        prompts.MessageBox(msg::kFilesInserted, msg::kFilesInsertedTitle);
    } else if (result == raw::kJobFinished) {
        prompts.MessageBox(msg::kNoneInserted, msg::kNoneInsertedTitle);
    }
}

}  // namespace pixalto::shell
