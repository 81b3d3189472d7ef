// The RAW-file commands: "Scan RAW File", "Save Multiple Files" and "Insert
// TIM File(s)", each run as a job in the progress dialog. Insertion runs a
// dry run first and shows its report, then writes, saves a patch or does
// nothing, as the user says.

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "messages/Catalogue.h"
#include "raw/ExtractJob.h"
#include "raw/InsertJob.h"
#include "raw/InsertPatch.h"
#include "raw/ScanFileJob.h"
#include "resources/ResourceIds.h"
#include "shell/CMainDlg.h"

namespace pixalto::shell {
namespace {

// The scan dialog as the host of an insertion's dry run, answering Yes to
// every question about a size change: the preview tells what writing would
// do once the user agrees, and Write asks the questions itself.
class AnswersYes final : public raw::JobHost {
  public:
    explicit AnswersYes(raw::JobHost& host) : host_(host) {}
    void SetProgressRange(std::int64_t lower, std::int64_t upper) override {
        host_.SetProgressRange(lower, upper);
    }
    void SetProgressPos(std::int64_t pos) override { host_.SetProgressPos(pos); }
    void SetStatusText(raw::StatusLine line, const std::string& text) override {
        host_.SetStatusText(line, text);
    }
    void Failed(const Error& error) override { host_.Failed(error); }
    bool AskYesNo(const std::string&, const std::string&) override { return true; }
    void DeleteAllEntries() override { host_.DeleteAllEntries(); }
    void AddEntry(const raw::ScanEntry& entry) override { host_.AddEntry(entry); }
    std::size_t EntryCount() const override { return host_.EntryCount(); }
    std::optional<raw::ScanEntry> EntryAt(std::size_t row) const override {
        return host_.EntryAt(row);
    }

  private:
    raw::JobHost& host_;
};

// A job run by the scan dialog, which deletes the job it is given, but kept
// by the caller for what it learnt (the RAW file the list named).
class KeptJob final : public raw::Job {
  public:
    explicit KeptJob(raw::Job& job) : job_(job) {}
    raw::JobState Start() override { return job_.Start(); }
    raw::JobState Step() override { return job_.Step(); }
    raw::JobState End() override { return job_.End(); }

  private:
    raw::Job& job_;
};

// The dry run's report, row by row, with what the question above it says.
struct InsertPreview {
    std::vector<std::vector<std::string>> rows;
    std::uint64_t written = 0;
    std::uint64_t damagedSectors = 0;
    bool sizeChanged = false;
};

// The actions of the preview, in the order of msg::kInsertActions.
constexpr std::size_t kWriteAction = 0;
constexpr std::size_t kSavePatchAction = 1;

}  // namespace

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
            // Without the path, which the path box shows: the status bar
            // cuts what is wider than the window.
            said += (said.empty() ? "" : " ") + msg::NoFileSystem("");
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
    const std::string listPath = workspace.path;
    // What writing would do, told before anything is written: a list whose
    // head or layout is refused stops here, having said why.
    InsertPreview preview;
    raw::InsertOptions options;
    options.dryRun = true;
    options.report = [&preview](const raw::InsertRecordReport& report) {
        preview.rows.push_back(raw::ReportCells(report));
        preview.written += report.written ? 1 : 0;
        preview.damagedSectors += report.damagedSectors;
        preview.sizeChanged =
            preview.sizeChanged || (report.timSize && *report.timSize != report.listedSize);
    };
    AnswersYes previewHost(scanDlg);
    raw::InsertJob dryRun(previewHost, listPath, options);
    if (scanDlg.Run(raw::JobKind::Insert, std::make_unique<KeptJob>(dryRun)) != raw::kJobFinished) {
        return;
    }
    const auto action = prompts.ReviewTable(
        msg::InsertPreview(dryRun.RawPath(), preview.written, preview.rows.size(),
                           preview.sizeChanged),
        msg::kInsertPreviewTitle, {std::begin(msg::kDryRunHeaders), std::end(msg::kDryRunHeaders)},
        preview.rows, {std::begin(msg::kInsertActions), std::end(msg::kInsertActions)});
    if (action != kWriteAction && action != kSavePatchAction) {
        return;
    }
    // Sectors already damaged are only written over when the user says so:
    // rebuilding their codes would hide the damage.
    const bool rebuildDamaged =
        preview.damagedSectors != 0 &&
        prompts.MessageBox(msg::RebuildDamagedQuestion(preview.damagedSectors),
                           msg::kDamagedSectorsTitle, ui::MessageButtons::YesNo) == ui::Answer::Yes;
    if (action == kWriteAction) {
        WriteInsertion(listPath, rebuildDamaged);
    } else {
        SaveInsertionPatch(listPath, rebuildDamaged);
    }
}

void CMainDlg::WriteInsertion(const std::string& listPath, bool rebuildDamaged) {
    std::uint64_t inserted = 0;
    raw::InsertOptions options;
    options.insertedCount = &inserted;
    options.rebuildDamaged = rebuildDamaged;
    const raw::JobState result = scanDlg.Run(
        raw::JobKind::Insert, std::make_unique<raw::InsertJob>(scanDlg, listPath, options));
    // Skipping every record is the user's choice, but nothing may be called
    // inserted when nothing was.
    if (result == raw::kJobFinished && inserted > 0) {
        prompts.MessageBox(msg::kFilesInserted, msg::kFilesInsertedTitle);
    } else if (result == raw::kJobFinished) {
        prompts.MessageBox(msg::kNoneInserted, msg::kNoneInsertedTitle);
    }
}

// The insertion runs as Write's does, its questions asked, but what it would
// write is kept and saved as a patch; the image is only read.
void CMainDlg::SaveInsertionPatch(const std::string& listPath, bool rebuildDamaged) {
    const auto patchPath = prompts.SaveFile(kPatchFilter, ".ppf");
    if (!patchPath) {
        return;
    }
    disc::PendingWrites pending;
    raw::InsertOptions options;
    options.divert = &pending;
    options.rebuildDamaged = rebuildDamaged;
    raw::InsertJob job(scanDlg, listPath, options);
    if (scanDlg.Run(raw::JobKind::Insert, std::make_unique<KeptJob>(job)) != raw::kJobFinished) {
        return;
    }
    // A name the dialog left without either extension is saved as the
    // dialog's first type.
    const auto changed =
        raw::WriteInsertPatch(job.RawPath(), listPath, pending, *patchPath,
                              raw::PatchFormatOf(*patchPath).value_or(raw::PatchFormat::Ppf));
    if (!changed) {
        prompts.MessageBox(msg::Text(changed.error()), msg::kInsertionErrorTitle);
        return;
    }
    prompts.MessageBox(msg::PatchWritten(*patchPath, *changed), msg::kPatchSavedTitle);
}

}  // namespace pixalto::shell
