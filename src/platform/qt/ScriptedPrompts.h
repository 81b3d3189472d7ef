#pragma once
// Prompts answered from a script, for tests: each question takes the next
// answer of its queue (an empty queue means Cancel: OK/No for message boxes,
// Cancel for Save/Discard/Cancel), and every message box is recorded in order.

#include <deque>
#include <vector>

#include "platform/qt/Prompts.h"

namespace pixalto::ui {

struct ShownMessage {
    std::string text;
    std::string title;
    MessageButtons buttons = MessageButtons::Ok;
    bool operator==(const ShownMessage&) const = default;
};

struct ShownTable {
    std::string text;
    std::string title;
    std::vector<std::string> headers;
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> actions;
    bool operator==(const ShownTable&) const = default;
};

class ScriptedPrompts final : public Prompts {
  public:
    Answer MessageBox(const std::string& text, const std::string& title,
                      MessageButtons buttons) override;
    std::optional<std::string> OpenFile(const std::string& filter) override;
    std::optional<std::string> SaveFile(const std::string& filter,
                                        const std::string& defaultExtension) override;
    std::optional<std::string> ChooseFolder(const std::string& title) override;
    std::optional<std::size_t> Choose(const std::string& text, const std::string& title,
                                      const std::vector<std::string>& choices,
                                      std::size_t preset) override;
    std::optional<std::size_t> ReviewTable(const std::string& text, const std::string& title,
                                           const std::vector<std::string>& headers,
                                           const std::vector<std::vector<std::string>>& rows,
                                           const std::vector<std::string>& actions) override;

    // The script.
    std::deque<std::optional<std::size_t>> picks;         // choices; empty: Cancel
    std::deque<std::optional<std::size_t>> tableActions;  // tables reviewed; empty: Cancel
    std::deque<Answer> answers;                           // for Yes/No questions
    std::deque<std::optional<std::string>> files;         // open and save dialogs
    std::deque<std::optional<std::string>> folders;       // folder chooser

    // What was shown.
    std::vector<ShownMessage> messages;
    std::vector<std::string> filters;  // of every file dialog, in order
    std::vector<std::string> defaultExtensions;
    // Each choice as its text, its title and its choices, the preset first.
    std::vector<std::vector<std::string>> choicesShown;
    std::vector<ShownTable> tablesShown;

  private:
    // The next answer of queue, taken from it; nothing when it is empty.
    template <typename T>
    static std::optional<T> Next(std::deque<std::optional<T>>& queue) {
        if (queue.empty()) {
            return std::nullopt;
        }
        auto next = std::move(queue.front());
        queue.pop_front();
        return next;
    }
};

}  // namespace pixalto::ui
