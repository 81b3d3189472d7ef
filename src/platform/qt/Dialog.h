#pragma once
// The dialog base of every window of the program: builds its controls from a
// dialog template, finds them by identifier, and offers the classic life
// cycle (DoModal or Create, OnInitDialog, OnOK, OnCancel, EndDialog).
//
// The controls live in a client area below the menu bar, so that client
// coordinates start under the menu as the templates expect.

#include <QDialog>
#include <QFont>
#include <QWidget>
#include <map>
#include <string>

#include "platform/qt/Templates.h"

namespace pixalto::ui {

class Menu;

// The client area; its owner paints it through a hook before the controls.
class ClientArea final : public QWidget {
    Q_OBJECT
  public:
    using PaintHook = std::function<void(QPainter&, const QRect& dirty)>;
    explicit ClientArea(QWidget* parent) : QWidget(parent) {}
    void SetPaintHook(PaintHook hook) { paintHook_ = std::move(hook); }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    PaintHook paintHook_;
};

class Dialog : public QDialog {
    Q_OBJECT
  public:
    explicit Dialog(const DialogTemplate& dialogTemplate, QWidget* parent = nullptr);
    ~Dialog() override;

    // Runs the dialog modally and returns the result EndDialog was given.
    int DoModal();
    // Makes the dialog ready to be shown modelessly, hidden.
    void Create();
    void EndDialog(int result);

    QWidget* GetDlgItem(int id) const;
    template <class T>
    T* Item(int id) const {
        return qobject_cast<T*>(GetDlgItem(id));
    }
    void SetDlgItemText(int id, const std::string& text);
    std::string GetDlgItemText(int id) const;
    void ShowDlgItem(int id, bool show);
    // Whether the control would be seen when the dialog is shown.
    bool IsDlgItemShown(int id) const;
    // A control's rectangle in client pixels.
    QRect ClientRectOf(int id) const;

    ClientArea* Client() const { return client_; }
    // Attaches a menu bar (nullptr: none); the menu stays owned by the caller.
    void SetMenu(Menu* menu);
    Menu* GetMenu() const { return menu_; }

    // The size of the client area that the template gives, in pixels.
    QSize TemplateClientSize() const;
    // The font the templates were laid out for.
    static QFont TemplateFont();

  protected:
    virtual bool OnInitDialog() { return true; }
    virtual void OnOK() { EndDialog(1); }
    virtual void OnCancel() { EndDialog(2); }
    // A button or a menu item; true when it was handled.
    virtual bool OnCommand(int id);

    // Dialog's own entry points all run through the handlers above.
    void accept() override { OnOK(); }
    void reject() override { OnCancel(); }

  private:
    void BuildControls();
    QWidget* MakeControl(const ControlTemplate& control);
    void Initialise();

    const DialogTemplate& template_;
    ClientArea* client_;
    Menu* menu_ = nullptr;
    std::map<int, QWidget*> items_;
};

}  // namespace pixalto::ui
