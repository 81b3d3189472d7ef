#pragma once
// The RAW-file jobs' host on a terminal: messages go to stderr, questions are
// answered by a flag or asked on the terminal, and the scan's progress can be
// drawn as a bar on stderr. The entry table stays in memory.

#include <string>

#include "raw/HeadlessHost.h"

namespace pixalto::cli {

enum class Answer { Yes, No, AskTerminal };

class ConsoleHost : public raw::HeadlessHost {
  public:
    // showProgress draws a bar on stderr; only worth it when stderr is a terminal.
    ConsoleHost(bool showProgress, Answer answer) : showProgress_(showProgress), answer_(answer) {}
    ~ConsoleHost() override { FinishProgress(); }

    void SetProgressRange(std::int64_t lower, std::int64_t upper) override;
    void SetProgressPos(std::int64_t pos) override;
    void MessageBox(const std::string& text, const std::string& title) override;
    bool AskYesNo(const std::string& text, const std::string& title) override;

    // Ends the bar's line, so that what follows starts on a line of its own.
    // When the job has finished, the bar is shown full first: the scan's own
    // last position stops a few bytes short of the end.
    void FinishProgress(bool completed = false);

  private:
    void DrawBar(int percent);

    bool showProgress_;
    Answer answer_;
    bool barDrawn_ = false;
    int lastPercent_ = -1;
};

// Whether a bar is worth drawing: stderr is a terminal.
bool StderrIsTerminal();

// Scans a RAW file into host's entry table; false when the scan stopped (its
// message has been printed).
bool ScanRawFile(ConsoleHost& host, const std::string& rawPath);

}  // namespace pixalto::cli
