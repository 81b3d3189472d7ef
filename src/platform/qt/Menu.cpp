#include "platform/qt/Menu.h"

#include <QActionGroup>
#include <QMenu>

namespace pixalto::ui {

Menu::Menu(const MenuTemplate& menu, CommandHandler onCommand) : id_(menu.id), bar_(new QMenuBar) {
    for (const auto& popup : menu.popups) {
        QMenu* submenu = bar_->addMenu(QString::fromUtf8(popup.text));
        titles_.emplace_back(popup.text);
        std::vector<int>& ids = layout_.emplace_back();
        for (const auto& item : popup.items) {
            if (item.text == nullptr) {
                submenu->addSeparator();
                ids.push_back(0);
                continue;
            }
            QAction* action = submenu->addAction(QString::fromUtf8(item.text));
            if (item.shortcut != nullptr) {
                action->setShortcut(QKeySequence(QString::fromUtf8(item.shortcut)));
            }
            const int id = item.id;
            // Queued, so that a command may replace this very menu bar once
            // the menu has finished with the item.
            QObject::connect(
                action, &QAction::triggered, bar_, [onCommand, id] { onCommand(id); },
                Qt::QueuedConnection);
            actions_[id] = action;
            ids.push_back(id);
        }
    }
}

Menu::~Menu() {
    delete bar_.data();
}

QAction* Menu::Action(int id) const {
    auto found = actions_.find(id);
    return found == actions_.end() ? nullptr : found->second;
}

void Menu::EnableMenuItem(int id, bool enabled) {
    if (QAction* action = Action(id)) {
        action->setEnabled(enabled);
    }
}

void Menu::CheckMenuItem(int id, bool on) {
    if (QAction* action = Action(id)) {
        if (action->actionGroup() != nullptr) {
            action->actionGroup()->removeAction(action);
        }
        action->setCheckable(true);
        action->setChecked(on);
    }
}

void Menu::CheckMenuRadioItem(int id, bool on) {
    if (QAction* action = Action(id)) {
        // A style draws the bullet for an action of an exclusive group; the
        // optional kind lets its one member be unmarked too.
        if (action->actionGroup() == nullptr) {
            auto* group = new QActionGroup(action);
            group->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
            group->addAction(action);
        }
        action->setCheckable(true);
        action->setChecked(on);
    }
}

bool Menu::IsEnabled(int id) const {
    const QAction* action = Action(id);
    return action != nullptr && action->isEnabled();
}

MenuMark Menu::MarkOf(int id) const {
    const QAction* action = Action(id);
    if (action == nullptr || !action->isCheckable() || !action->isChecked()) {
        return MenuMark::None;
    }
    return action->actionGroup() != nullptr ? MenuMark::Radio : MenuMark::Check;
}

std::vector<std::string> Menu::PopupTitles() const {
    return titles_;
}

std::vector<int> Menu::ItemIds(int popupIndex) const {
    if (popupIndex < 0 || popupIndex >= static_cast<int>(layout_.size())) {
        return {};
    }
    return layout_[popupIndex];
}

}  // namespace pixalto::ui
