#pragma once
// A menu bar built from a menu template, with its items found by command
// identifier: enabling and greying, the check mark and the radio bullet.
// Choosing an item calls the command handler with the item's identifier.

#include <QAction>
#include <QMenuBar>
#include <QPointer>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/qt/Templates.h"

namespace pixalto::ui {

enum class MenuMark { None, Check, Radio };

class Menu {
  public:
    using CommandHandler = std::function<void(int id)>;

    Menu(const MenuTemplate& menu, CommandHandler onCommand);
    ~Menu();
    Menu(const Menu&) = delete;
    Menu& operator=(const Menu&) = delete;

    int Id() const { return id_; }
    QMenuBar* Bar() const { return bar_; }

    void EnableMenuItem(int id, bool enabled);
    // A check mark when on, no mark when off.
    void CheckMenuItem(int id, bool on);
    // A radio bullet when on, no mark when off.
    void CheckMenuRadioItem(int id, bool on);

    bool HasItem(int id) const { return actions_.count(id) != 0; }
    bool IsEnabled(int id) const;
    MenuMark MarkOf(int id) const;
    QAction* Action(int id) const;

    // The popups' titles, and each popup's entries (0 for a separator).
    std::vector<std::string> PopupTitles() const;
    std::vector<int> ItemIds(int popupIndex) const;

  private:
    int id_;
    QPointer<QMenuBar> bar_;
    std::map<int, QAction*> actions_;
    std::vector<std::vector<int>> layout_;
    std::vector<std::string> titles_;
};

}  // namespace pixalto::ui
