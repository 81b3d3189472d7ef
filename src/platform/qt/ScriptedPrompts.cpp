#include "platform/qt/ScriptedPrompts.h"

namespace pixalto::ui {

Answer ScriptedPrompts::MessageBox(const std::string& text, const std::string& title,
                                   MessageButtons buttons) {
    messages.push_back({text, title, buttons});
    if (buttons == MessageButtons::Ok) {
        return Answer::Ok;
    }
    if (answers.empty()) {
        return buttons == MessageButtons::SaveDiscardCancel ? Answer::Cancel : Answer::No;
    }
    const Answer answer = answers.front();
    answers.pop_front();
    return answer;
}

std::optional<std::string> ScriptedPrompts::OpenFile(const std::string& filter) {
    filters.push_back(filter);
    return Next(files);
}

std::optional<std::string> ScriptedPrompts::SaveFile(const std::string& filter,
                                                     const std::string& defaultExtension) {
    filters.push_back(filter);
    defaultExtensions.push_back(defaultExtension);
    return Next(files);
}

std::optional<std::string> ScriptedPrompts::ChooseFolder(const std::string&) {
    return Next(folders);
}

std::optional<std::size_t> ScriptedPrompts::ReviewTable(
    const std::string& text, const std::string& title, const std::vector<std::string>& headers,
    const std::vector<std::vector<std::string>>& rows, const std::vector<std::string>& actions) {
    tablesShown.push_back({text, title, headers, rows, actions});
    return Next(tableActions);
}

std::optional<std::size_t> ScriptedPrompts::Choose(const std::string& text,
                                                   const std::string& title,
                                                   const std::vector<std::string>& choices,
                                                   std::size_t preset) {
    std::vector<std::string> shown = {text, title, preset < choices.size() ? choices[preset] : ""};
    shown.insert(shown.end(), choices.begin(), choices.end());
    choicesShown.push_back(std::move(shown));
    return Next(picks);
}

}  // namespace pixalto::ui
