#include "cli/ConsoleHost.h"

#include <unistd.h>

#include "cli/Failure.h"

namespace pixalto::cli {
namespace {

constexpr int kBarWidth = 40;

}  // namespace

bool StdinIsTerminal() {
    return ::isatty(STDIN_FILENO) == 1;
}

bool StdoutIsTerminal() {
    return ::isatty(STDOUT_FILENO) == 1;
}

bool StderrIsTerminal() {
    return ::isatty(STDERR_FILENO) == 1;
}

ConsoleHost::ConsoleHost(Answer answer, bool wantBar, Console console)
    : answer_(answer), console_(console), showProgress_(wantBar && console.outIsTerminal) {}

void ConsoleHost::SetProgressRange(std::int64_t lower, std::int64_t upper) {
    HeadlessHost::SetProgressRange(lower, upper);
    lastPercent_ = -1;
}

void ConsoleHost::SetProgressPos(std::int64_t pos) {
    HeadlessHost::SetProgressPos(pos);
    if (!showProgress_) {
        return;
    }
    std::int64_t span = ProgressUpper() - ProgressLower();
    int percent = span <= 0 ? 100 : static_cast<int>((pos - ProgressLower()) * 100 / span);
    DrawBar(percent < 0 ? 0 : percent > 100 ? 100 : percent);
}

void ConsoleHost::DrawBar(int percent) {
    if (percent == lastPercent_) {
        return;  // redraw only when the bar changes
    }
    lastPercent_ = percent;
    int filled = percent * kBarWidth / 100;
    *console_.out << "\r[" << std::string(static_cast<std::size_t>(filled), '#')
                  << std::string(static_cast<std::size_t>(kBarWidth - filled), ' ') << "] "
                  << percent << "% " << StatusText(raw::StatusLine::Lower) << std::flush;
    barDrawn_ = true;
}

void ConsoleHost::FinishProgress(bool completed) {
    if (barDrawn_) {
        if (completed) {
            DrawBar(100);
        }
        *console_.out << '\n';
        barDrawn_ = false;
    }
}

void ConsoleHost::ClearBar() {
    if (barDrawn_) {
        // Back to the line's start, and erase to its end.
        *console_.out << "\r\x1b[K" << std::flush;
        barDrawn_ = false;
        lastPercent_ = -1;
    }
}

void ConsoleHost::Failed(const Error& error) {
    FinishProgress();
    ReportFailure(error, *console_.out);
}

// Reads lines until one is a yes or a no; nothing at the end of the input.
std::optional<bool> ConsoleHost::ReadAnswer() {
    std::string line;
    while (std::getline(*console_.in, line)) {
        if (line == "y" || line == "Y" || line == "yes") {
            return true;
        }
        if (line == "n" || line == "N" || line == "no") {
            return false;
        }
        *console_.out << "Please answer y or n: " << std::flush;
    }
    return std::nullopt;
}

bool ConsoleHost::AskYesNo(const std::string& text, const std::string&) {
    if (silent_ && answer_ != Answer::AskTerminal) {
        return answer_ == Answer::Yes;
    }
    FinishProgress();
    std::ostream& out = *console_.out;
    out << text;
    std::optional<bool> answer;
    switch (answer_) {
        case Answer::Yes:
            out << " yes\n";
            answer = true;
            break;
        case Answer::No:
            out << " no\n";
            answer = false;
            break;
        case Answer::AskTerminal:
            if (!console_.inIsTerminal) {
                out << " no (standard input is not a terminal)\n";
            } else {
                out << " (y/n) " << std::flush;
                answer = ReadAnswer();
                if (!answer) {
                    out << "no (end of input)\n";
                }
            }
            break;
    }
    if (answer.value_or(false)) {
        return true;
    }
    declined_.push_back({StatusText(raw::StatusLine::Upper), !answer.has_value()});
    return false;
}

}  // namespace pixalto::cli
