#pragma once
// The RAW-file jobs' host on a terminal: messages go to stderr, questions are
// answered by a flag or asked on the terminal, and the scan's progress can be
// drawn as a bar on stderr. The entry table stays in memory. The streams and
// whether they are terminals are given to it, so that tests can drive it.

#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "raw/HeadlessHost.h"
#include "raw/Job.h"
#include "raw/RawData.h"

namespace pixalto::cli {

enum class Answer { Yes, No, AskTerminal };

bool StdinIsTerminal();
bool StdoutIsTerminal();
bool StderrIsTerminal();

// Where the host reads answers and writes everything else.
struct Console {
    std::istream* in = &std::cin;
    std::ostream* out = &std::cerr;
    bool inIsTerminal = StdinIsTerminal();
    bool outIsTerminal = StderrIsTerminal();
};

// A question answered No, and so a piece of work skipped.
struct Declined {
    std::string subject;  // what was being worked on: the job's upper status line
    bool unanswered;      // nobody could be asked (no flag, input not a terminal or closed)
};

class ConsoleHost : public raw::HeadlessHost {
  public:
    // A bar is drawn only when wantBar and the output is a terminal.
    ConsoleHost(Answer answer, bool wantBar, Console console = {});
    ~ConsoleHost() override { FinishProgress(); }

    void SetProgressRange(std::int64_t lower, std::int64_t upper) override;
    void SetProgressPos(std::int64_t pos) override;
    // A message about a file is followed by the file and the system's reason.
    void Failed(const Error& error) override;
    bool AskYesNo(const std::string& text, const std::string& title) override;

    // Ends the bar's line, so that what follows starts on a line of its own.
    // When the job has finished, the bar is shown full first: the scan's own
    // last position stops a few bytes short of the end.
    void FinishProgress(bool completed = false);
    // Wipes the bar off its line, so that text for the same terminal can be
    // written there; the next progress draws it again.
    void ClearBar();

    // Answers every question by the flag given without printing it: a dry
    // run's report already says what each answer does.
    void AnswerSilently() { silent_ = true; }

    // Every question answered No, in order.
    const std::vector<Declined>& DeclinedQuestions() const { return declined_; }

  private:
    void DrawBar(int percent);
    std::optional<bool> ReadAnswer();

    Answer answer_;
    Console console_;
    bool showProgress_;
    bool barDrawn_ = false;
    bool silent_ = false;
    int lastPercent_ = -1;
    std::vector<Declined> declined_;
};

// Scans a RAW file into host's entry table; false when the scan stopped (its
// message has been printed).
bool ScanRawFile(ConsoleHost& host, const std::string& rawPath,
                 raw::LayoutChoice layout = raw::LayoutChoice::Auto);

}  // namespace pixalto::cli
