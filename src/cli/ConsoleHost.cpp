#include "cli/ConsoleHost.h"

#include <unistd.h>

#include <iostream>
#include <string>

namespace pixalto::cli {
namespace {

constexpr int kBarWidth = 40;

bool ReadTerminalAnswer() {
    std::string line;
    while (std::getline(std::cin, line)) {
        if (line == "y" || line == "Y" || line == "yes") {
            return true;
        }
        if (line == "n" || line == "N" || line == "no") {
            return false;
        }
        std::cerr << "Please answer y or n: " << std::flush;
    }
    return false;  // end of input: the safe answer
}

}  // namespace

bool StderrIsTerminal() {
    return ::isatty(STDERR_FILENO) == 1;
}

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
    std::cerr << "\r[" << std::string(static_cast<std::size_t>(filled), '#')
              << std::string(static_cast<std::size_t>(kBarWidth - filled), ' ') << "] " << percent
              << "% " << StatusText(raw::StatusLine::Lower) << std::flush;
    barDrawn_ = true;
}

void ConsoleHost::FinishProgress(bool completed) {
    if (barDrawn_) {
        if (completed) {
            DrawBar(100);
        }
        std::cerr << '\n';
        barDrawn_ = false;
    }
}

void ConsoleHost::MessageBox(const std::string& text, const std::string&) {
    FinishProgress();
    std::cerr << text << '\n';
}

bool ConsoleHost::AskYesNo(const std::string& text, const std::string&) {
    FinishProgress();
    std::cerr << text;
    switch (answer_) {
        case Answer::Yes:
            std::cerr << " yes\n";
            return true;
        case Answer::No:
            std::cerr << " no\n";
            return false;
        case Answer::AskTerminal:
            break;
    }
    if (::isatty(STDIN_FILENO) != 1) {
        std::cerr << " no (standard input is not a terminal)\n";
        return false;
    }
    std::cerr << " (y/n) " << std::flush;
    return ReadTerminalAnswer();
}

}  // namespace pixalto::cli
