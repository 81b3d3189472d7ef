#pragma once
// The prompts as Qt's own dialogs, owned by a window.

#include <QWidget>

#include "platform/qt/Prompts.h"

namespace pixalto::ui {

class QtPrompts final : public Prompts {
  public:
    explicit QtPrompts(QWidget* owner = nullptr) : owner_(owner) {}
    void SetOwner(QWidget* owner) { owner_ = owner; }

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

  private:
    QWidget* owner_;
};

}  // namespace pixalto::ui
