// The RAW-file commands: "Scan RAW File", "Save Multiple Files" and "Insert
// TIM File(s)", each run as a job in the scan dialog, and showing a listed TIM
// as the scan read the file.

#include <algorithm>
#include <memory>

#include "disc/DiscLayout.h"
#include "messages/Catalogue.h"
#include "raw/ExtractJob.h"
#include "raw/InsertJob.h"
#include "raw/RawData.h"
#include "raw/RawImage.h"
#include "raw/ScanFileJob.h"
#include "resources/ResourceIds.h"
#include "shell/CMainDlg.h"

namespace pixalto::shell {

void CMainDlg::OnScanRawFile() {
    if (PromptOpenFile(kRawFilter, filePath)) {
        ScanChosenFile();
    }
}

void CMainDlg::ScanChosenFile() {
    SetDlgItemText(res::kPathEdit, filePath);
    ShowRawLayout();
    UpdateMenuBar(true, true);
    selectedRow = -1;
    const raw::JobState result =
        scanDlg.Run(raw::ScanJob::Scan, std::make_unique<raw::ScanFileJob>(scanDlg, filePath));
    if (result != raw::kJobFinished) {
        // The file couldn't be read, and the scan has said so: the window
        // must not offer to extract from it what an earlier scan listed.
        OnCloseImage();
    }
}

void CMainDlg::ShowRawLayout() {
    // The same detection the jobs make; the window's texts stay as they are.
    raw::RawData data;
    std::string note;
    if (data.Open(filePath, File::Mode::ReadRaw, raw::LayoutChoice::Auto) && data.IsDisc()) {
        note = "Read as a " + std::string(disc::LayoutName(data.Layout())) + " disc image";
    }
    GetDlgItem(res::kPathEdit)->setToolTip(QString::fromStdString(note));
}

void CMainDlg::OnSaveMultipleFiles() {
    extractNumbers.entryCount = static_cast<std::uint32_t>(std::max(List().GetItemCount(), 0));
    extractNumbers.acceptedText = &textBuffer;
    if (extractNumbers.DoModal() != res::kIdOk) {
        return;
    }
    const raw::JobState result = scanDlg.Run(
        raw::ScanJob::Extract, std::make_unique<raw::ExtractJob>(scanDlg, filePath, textBuffer));
    // A job that stopped has shown its own message; nothing was saved whole.
    if (result == raw::kJobFinished) {
        prompts.MessageBox(msg::kFilesSaved, msg::kFilesSavedTitle);
    }
}

void CMainDlg::OnInsertTimFiles() {
    if (!PromptOpenFile(kExtractionListFilter, filePath)) {
        return;
    }
    std::uint64_t inserted = 0;
    raw::InsertOptions options;
    options.insertedCount = &inserted;
    const raw::JobState result = scanDlg.Run(
        raw::ScanJob::Insert, std::make_unique<raw::InsertJob>(scanDlg, filePath, options));
    // Skipping every record is the user's choice, but nothing may be called
    // inserted when nothing was.
    if (result == raw::kJobFinished && inserted > 0) {
        prompts.MessageBox(msg::kFilesInserted, msg::kFilesInsertedTitle);
    } else if (result == raw::kJobFinished) {
        prompts.MessageBox(msg::kNoneInserted, msg::kNoneInsertedTitle);
    }
}

bool CMainDlg::ReadListedTim(std::int64_t offset) {
    const Error error = raw::LoadTimAt(filePath, static_cast<std::uint64_t>(offset),
                                       raw::LayoutChoice::Auto, image);
    if (error) {
        FailLoad(error, error.code == ErrorCode::CouldntOpenFile ? msg::kFileErrorTitle
                                                                 : msg::kTimErrorTitle);
        return false;
    }
    return true;
}

}  // namespace pixalto::shell
