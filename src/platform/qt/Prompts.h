#pragma once
// Every question the program puts to the user goes through this one
// interface: message boxes, the file dialogs, the folder chooser, choices
// and tables to decide on. The
// program answers it with Qt's dialogs (QtPrompts); tests answer it from a
// script and read back what was shown (ScriptedPrompts).

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace pixalto::ui {

enum class MessageButtons { Ok, YesNo, SaveDiscardCancel };
enum class Answer { Ok, Yes, No, Save, Discard, Cancel };

class Prompts {
  public:
    virtual ~Prompts() = default;

    virtual Answer MessageBox(const std::string& text, const std::string& title,
                              MessageButtons buttons = MessageButtons::Ok) = 0;

    // filter is a list of "description|pattern" pairs ending in "||", such as
    // "BMP Graphics|*.bmp||". Each returns the chosen path, or nothing when
    // the user cancelled.
    virtual std::optional<std::string> OpenFile(const std::string& filter) = 0;
    virtual std::optional<std::string> SaveFile(const std::string& filter,
                                                const std::string& defaultExtension) = 0;
    virtual std::optional<std::string> ChooseFolder(const std::string& title) = 0;
    // One of several exclusive choices, preset chosen to begin with: the
    // index of the one taken, or nothing when the user cancelled.
    virtual std::optional<std::size_t> Choose(const std::string& text, const std::string& title,
                                              const std::vector<std::string>& choices,
                                              std::size_t preset) = 0;
    // A table to look over before something is done (headers over rows, text
    // above it) and a button for each action, then Cancel: the index of the
    // action taken, or nothing when the user cancelled.
    virtual std::optional<std::size_t> ReviewTable(
        const std::string& text, const std::string& title, const std::vector<std::string>& headers,
        const std::vector<std::vector<std::string>>& rows,
        const std::vector<std::string>& actions) = 0;
};

}  // namespace pixalto::ui
