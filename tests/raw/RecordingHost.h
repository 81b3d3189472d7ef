#pragma once
// A headless host for the job tests: remembers every message box and
// question in order, answers questions from a queue (No once it runs out),
// and keeps the entry table and the last progress and status values.

#include <deque>
#include <string>
#include <vector>

#include "messages/Catalogue.h"
#include "raw/HeadlessHost.h"

namespace pixalto::testing {

struct Shown {
    std::string text;
    std::string title;
    bool operator==(const Shown&) const = default;
};

class RecordingHost : public raw::HeadlessHost {
  public:
    // Worded and titled as the window's job dialog shows it.
    void Failed(const Error& error) override {
        messages.push_back({msg::Text(error), msg::JobFailureTitle(error.code)});
    }
    bool AskYesNo(const std::string& text, const std::string& title) override {
        questions.push_back({text, title});
        if (answers.empty()) {
            return false;
        }
        bool answer = answers.front();
        answers.pop_front();
        return answer;
    }

    std::vector<Shown> messages;
    std::vector<Shown> questions;
    std::deque<bool> answers;
};

}  // namespace pixalto::testing
