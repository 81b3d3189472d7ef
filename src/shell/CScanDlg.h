#pragma once
// The progress dialog the RAW-file jobs run in: scanning, extraction and
// insertion. The main window hands it a job; the dialog runs the job's Start
// when it is shown, its Steps on the ticks of a 0 ms timer from its own modal
// loop, and its End as it closes, and shows what the job reports through the
// JobHost interface: the progress bar, the two status lines, message boxes,
// Yes/No questions, and the main window's list view as the entry table. It
// has no close box and ignores Enter and Escape; its one button, Cancel,
// shows for a scan alone, which stops where it is and keeps the entries found
// so far (an extraction or insertion stopped half way would leave files
// half written). The jobs themselves are all in raw/.

#include <QTimer>
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/qt/Controls.h"
#include "platform/qt/Dialog.h"
#include "platform/qt/Prompts.h"
#include "raw/Job.h"
#include "raw/JobHost.h"
#include "workspace/Workspace.h"

namespace pixalto::shell {

// The bar holds int values: a 64-bit range is shifted right by as many bits
// as it takes to fit, and every position with it.
int ProgressShiftFor(std::int64_t upper);
int ScaledProgress(std::int64_t value, int shift);

class CScanDlg final : public ui::Dialog, public raw::JobHost {
    Q_OBJECT
  public:
    // The jobs fill and read workspace's entries; list is the view that
    // shows them, shown once a scan has finished.
    CScanDlg(ui::Prompts& prompts, workspace::Workspace& workspace, QWidget& list, QWidget* parent);
    ~CScanDlg() override;

    // Runs job modally to its end and returns how it ended: kJobFinished,
    // or kJobStopped when it stopped on a failure (its message has been
    // shown) or the dialog was closed. A finished scan shows the list view.
    raw::JobState Run(raw::JobKind kind, std::unique_ptr<raw::Job> job);
    // Whether the last run was a scan the user cancelled; it ended
    // kJobFinished with the entries found until then.
    bool Cancelled() const { return cancelled_; }
    bool OnCommand(int id) override;

    // A tick runs consecutive steps for up to this long before it shows the
    // progress, so that the window costs a long scan almost nothing.
    static constexpr int kTickBudgetMs = 10;
    int tickBudgetMs = kTickBudgetMs;  // 0: one step per tick

    // --- raw::JobHost ---
    void SetProgressRange(std::int64_t lower, std::int64_t upper) override;
    void SetProgressPos(std::int64_t pos) override;
    void SetStatusText(raw::StatusLine line, const std::string& text) override;
    void Failed(const Error& error) override;
    bool AskYesNo(const std::string& text, const std::string& title) override;
    void DeleteAllEntries() override;
    void AddEntry(const raw::ScanEntry& entry) override { workspace_.AddEntry(entry); }
    std::size_t EntryCount() const override { return workspace_.Entries().size(); }
    std::optional<raw::ScanEntry> EntryAt(std::size_t row) const override {
        return workspace_.EntryAt(row);
    }

    // The progress as the job last set it, before it is fitted to the bar.
    std::int64_t ProgressLower() const { return progressLower_; }
    std::int64_t ProgressUpper() const { return progressUpper_; }
    std::int64_t ProgressPos() const { return progressPos_; }

    raw::JobKind jobKind = raw::JobKind::Scan;

  protected:
    // Neither Enter nor Escape (nor a window manager's close) ends a job.
    void OnOK() override {}
    void OnCancel() override {}
    void showEvent(QShowEvent* event) override;

  private:
    void OnShowWindow();
    void OnTimer();
    void EndJob();
    // Puts the texts and the progress the steps left into the widgets.
    void ShowProgress();

    ui::Prompts& prompts_;
    workspace::Workspace& workspace_;
    QWidget& list_;
    QTimer timer_;
    std::unique_ptr<raw::Job> job_;
    raw::JobState state_ = raw::JobState::Finished;
    bool started_ = false;
    bool cancelRequested_ = false;
    bool cancelled_ = false;

    std::int64_t progressLower_ = 0, progressUpper_ = 0, progressPos_ = 0;
    int progressShift_ = 0;
    bool progressChanged_ = false;
    std::array<std::string, 2> statusTexts_;
    std::array<bool, 2> statusChanged_ = {false, false};
};

}  // namespace pixalto::shell
