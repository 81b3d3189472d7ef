#include "shell/CScanDlg.h"

#include <QElapsedTimer>
#include <QProgressBar>
#include <QShowEvent>
#include <algorithm>
#include <limits>

#include "messages/Catalogue.h"
#include "resources/ResourceIds.h"
#include "resources/Resources.h"

namespace pixalto::shell {

int ProgressShiftFor(std::int64_t upper) {
    int shift = 0;
    while ((upper >> shift) > std::numeric_limits<int>::max()) {
        ++shift;
    }
    return shift;
}

int ScaledProgress(std::int64_t value, int shift) {
    return static_cast<int>(std::clamp<std::int64_t>(
        value >> shift, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

CScanDlg::CScanDlg(ui::Prompts& prompts, workspace::Workspace& workspace, QWidget& list,
                   QWidget* parent)
    : Dialog(res::DialogResource(res::kScanDialog), parent),
      prompts_(prompts),
      workspace_(workspace),
      list_(list) {
    timer_.setInterval(0);
    connect(&timer_, &QTimer::timeout, this, &CScanDlg::OnTimer);
}

CScanDlg::~CScanDlg() {
    // A job still held here never ran to its end; its files are closed.
    if (job_) {
        job_->End();
    }
}

raw::JobState CScanDlg::Run(raw::JobKind kind, std::unique_ptr<raw::Job> job) {
    jobKind = kind;
    job_ = std::move(job);
    started_ = false;
    cancelRequested_ = false;
    cancelled_ = false;
    GetDlgItem(res::kScanCancel)->setVisible(kind == raw::JobKind::Scan);
    auto* bar = Item<QProgressBar>(res::kScanProgress);
    bar->setTextVisible(kind == raw::JobKind::Scan);
    bar->setFormat(QString());
    return DoModal() == static_cast<int>(raw::kJobFinished) ? raw::kJobFinished : raw::kJobStopped;
}

void CScanDlg::showEvent(QShowEvent* event) {
    Dialog::showEvent(event);
    // A window restored by the user shows again; the job starts only once.
    if (!event->spontaneous()) {
        OnShowWindow();
    }
}

void CScanDlg::OnShowWindow() {
    if (!job_ || started_) {
        return;
    }
    started_ = true;
    state_ = job_->Start();
    ShowProgress();
    // Even a job that stopped at its start ends from the loop, once the
    // dialog's modal loop runs and can be left.
    timer_.start();
}

void CScanDlg::OnTimer() {
    // Stopped while the steps run, so that a question a step asks can't let
    // another tick begin.
    timer_.stop();
    QElapsedTimer clock;
    clock.start();
    while (state_ == raw::JobState::Running && !cancelRequested_) {
        state_ = job_->Step();
        if (clock.elapsed() >= tickBudgetMs) {
            break;
        }
    }
    ShowProgress();
    cancelled_ = cancelRequested_ && state_ == raw::JobState::Running;
    if (state_ == raw::JobState::Running && !cancelled_) {
        timer_.start();
    } else {
        EndJob();
    }
}

void CScanDlg::EndJob() {
    const raw::JobState result = job_->End();
    job_.reset();
    started_ = false;
    if (jobKind == raw::JobKind::Scan && result == raw::kJobFinished) {
        workspace_.EntriesSettled();
        list_.show();
    }
    EndDialog(static_cast<int>(result));
}

bool CScanDlg::OnCommand(int id) {
    if (id == res::kScanCancel) {
        // Taken at the end of the running tick: a step is never cut short.
        cancelRequested_ = true;
        return true;
    }
    return Dialog::OnCommand(id);
}

void CScanDlg::ShowProgress() {
    if (progressChanged_) {
        auto* bar = Item<QProgressBar>(res::kScanProgress);
        if (jobKind == raw::JobKind::Scan) {
            bar->setFormat(QString::fromStdString(msg::ScanProgress(
                static_cast<std::uint64_t>(std::max<std::int64_t>(progressPos_, 0)),
                static_cast<std::uint64_t>(std::max<std::int64_t>(progressUpper_, 0)))));
        }
        const int lower = ScaledProgress(progressLower_, progressShift_);
        const int upper = std::max(lower, ScaledProgress(progressUpper_, progressShift_));
        bar->setRange(lower, upper);
        bar->setValue(std::clamp(ScaledProgress(progressPos_, progressShift_), lower, upper));
        progressChanged_ = false;
    }
    constexpr std::array<int, 2> kLines = {res::kScanStatusUpper, res::kScanStatusLower};
    for (std::size_t i = 0; i < kLines.size(); ++i) {
        if (statusChanged_[i]) {
            SetDlgItemText(kLines[i], statusTexts_[i]);
            statusChanged_[i] = false;
        }
    }
}

void CScanDlg::SetProgressRange(std::int64_t lower, std::int64_t upper) {
    progressLower_ = lower;
    progressUpper_ = upper;
    progressShift_ = ProgressShiftFor(std::max(lower, upper));
    progressChanged_ = true;
}

void CScanDlg::SetProgressPos(std::int64_t pos) {
    progressPos_ = pos;
    progressChanged_ = true;
}

void CScanDlg::SetStatusText(raw::StatusLine line, const std::string& text) {
    const std::size_t index = line == raw::StatusLine::Upper ? 0 : 1;
    statusTexts_[index] = text;
    statusChanged_[index] = true;
}

void CScanDlg::Failed(const Error& error) {
    // The user sees where the job is while the message waits.
    ShowProgress();
    prompts_.MessageBox(msg::Text(error), msg::JobFailureTitle(error.code), ui::MessageButtons::Ok);
}

bool CScanDlg::AskYesNo(const std::string& text, const std::string& title) {
    ShowProgress();
    return prompts_.MessageBox(text, title, ui::MessageButtons::YesNo) == ui::Answer::Yes;
}

void CScanDlg::DeleteAllEntries() {
    workspace_.ClearEntries();
}

}  // namespace pixalto::shell
