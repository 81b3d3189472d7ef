#include "platform/qt/Dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPaintEvent>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "platform/qt/Controls.h"
#include "platform/qt/DialogUnits.h"
#include "platform/qt/Menu.h"

namespace pixalto::ui {

void ClientArea::paintEvent(QPaintEvent* event) {
    if (paintHook_) {
        QPainter painter(this);
        paintHook_(painter, event->rect());
    }
}

namespace {

// The templates were laid out for a font narrower than the ones a Linux
// desktop has, so a one-line, left-aligned label or a check box whose text
// doesn't fit grows to the right (into the gap beside it) rather than cut its
// text.
bool GrowsToItsText(QWidget* widget, const ControlTemplate& control) {
    if (qobject_cast<QCheckBox*>(widget) != nullptr) {
        return true;
    }
    const auto* label = qobject_cast<QLabel*>(widget);
    return label != nullptr && !label->wordWrap() && !(control.style & (kCentered | kAlignRight));
}

void FitLabelText(QWidget* widget, const ControlTemplate& control) {
    // A label of several lines can't grow sideways; it grows down, over the
    // space the templates leave below such texts, rather than lose its last
    // line.
    if (const auto* label = qobject_cast<QLabel*>(widget); label != nullptr && label->wordWrap()) {
        const int tall = label->heightForWidth(label->width());
        if (tall > label->height()) {
            widget->resize(widget->width(), tall);
        }
        return;
    }
    const int wanted = widget->sizeHint().width();
    if (GrowsToItsText(widget, control) && wanted > widget->width()) {
        widget->resize(wanted, widget->height());
    }
}

Qt::Alignment AlignmentOf(unsigned style) {
    if (style & kCentered) {
        return Qt::AlignHCenter;
    }
    return (style & kAlignRight) ? Qt::AlignRight : Qt::AlignLeft;
}

}  // namespace

Dialog::Dialog(const DialogTemplate& dialogTemplate, QWidget* parent)
    : QDialog(parent), template_(dialogTemplate), client_(new ClientArea(this)) {
    setWindowTitle(QString::fromUtf8(dialogTemplate.title));
    setFont(TemplateFont());
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (dialogTemplate.style & kSystemMenu) {
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    }
    if (dialogTemplate.style & kMinimizeBox) {
        flags = (flags & ~Qt::Dialog) | Qt::Window | Qt::WindowMinimizeButtonHint;
    }
    setWindowFlags(flags);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(client_);
    BuildControls();
    if (!(dialogTemplate.style & kSizingBorder)) {
        client_->setFixedSize(TemplateClientSize());
        layout->setSizeConstraint(QLayout::SetFixedSize);
    }
}

Dialog::~Dialog() = default;

QFont Dialog::TemplateFont() {
    // An 8-point font at the 96 dots per inch the layouts assume.
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(11);
    return font;
}

QSize Dialog::TemplateClientSize() const {
    return DialogRectToPixels(0, 0, template_.width, template_.height).size();
}

void Dialog::BuildControls() {
    for (const auto& control : template_.controls) {
        QWidget* widget = MakeControl(control);
        widget->setGeometry(
            DialogRectToPixels(control.x, control.y, control.width, control.height));
        FitLabelText(widget, control);
        if (control.style & kHidden) {
            widget->setVisible(false);
        }
        if (control.id != kStaticId) {
            items_[control.id] = widget;
        }
    }
}

QWidget* Dialog::MakeControl(const ControlTemplate& control) {
    const QString text = QString::fromUtf8(control.text);
    switch (control.kind) {
        case ControlKind::GroupBox:
            return new QGroupBox(text, client_);
        case ControlKind::Label: {
            auto* label = new QLabel(text, client_);
            const bool multiLine = control.height > 10;
            label->setWordWrap(multiLine);
            label->setAlignment(AlignmentOf(control.style) |
                                (multiLine ? Qt::AlignTop : Qt::AlignVCenter));
            return label;
        }
        case ControlKind::Edit: {
            auto* edit = new QLineEdit(text, client_);
            edit->setReadOnly(control.style & kReadOnly);
            edit->setAlignment(AlignmentOf(control.style) | Qt::AlignVCenter);
            edit->setFrame(control.style & kBorder);
            edit->setTextMargins(0, 0, 0, 0);
            if (control.style & kDigitsOnly) {
                edit->setValidator(new QRegularExpressionValidator(
                    QRegularExpression(QStringLiteral("[0-9]*")), edit));
            }
            if (control.style & kUpperCase) {
                connect(edit, &QLineEdit::textEdited, edit, [edit](const QString& typed) {
                    const int cursor = edit->cursorPosition();
                    edit->setText(typed.toUpper());
                    edit->setCursorPosition(cursor);
                });
            }
            return edit;
        }
        case ControlKind::ListView:
            return new ListView(client_);
        case ControlKind::ScrollBar:
            return new ScrollBar(client_);
        case ControlKind::PushButton:
        case ControlKind::DefaultPushButton: {
            auto* button = new QPushButton(text, client_);
            button->setAutoDefault(false);
            button->setDefault(control.kind == ControlKind::DefaultPushButton);
            const int id = control.id;
            connect(button, &QPushButton::clicked, this, [this, id] { OnCommand(id); });
            return button;
        }
        case ControlKind::ProgressBar: {
            auto* bar = new QProgressBar(client_);
            bar->setTextVisible(false);
            return bar;
        }
        case ControlKind::CheckBox: {
            auto* box = new QCheckBox(text, client_);
            const int id = control.id;
            connect(box, &QCheckBox::clicked, this, [this, id] { OnCommand(id); });
            return box;
        }
        case ControlKind::Icon: {
            auto* label = new QLabel(client_);
            label->setPixmap(QApplication::windowIcon().pixmap(32, 32));
            return label;
        }
    }
    return new QWidget(client_);
}

void Dialog::Initialise() {
    OnInitDialog();
    resize(TemplateClientSize() +
           QSize(0, menu_ != nullptr ? menu_->Bar()->sizeHint().height() : 0));
}

int Dialog::DoModal() {
    Initialise();
    return exec();
}

void Dialog::Create() {
    Initialise();
    hide();
}

void Dialog::EndDialog(int result) {
    done(result);
}

bool Dialog::OnCommand(int id) {
    if (id == 1) {
        OnOK();
        return true;
    }
    if (id == 2) {
        OnCancel();
        return true;
    }
    return false;
}

QWidget* Dialog::GetDlgItem(int id) const {
    auto found = items_.find(id);
    return found == items_.end() ? nullptr : found->second;
}

void Dialog::SetDlgItemText(int id, const std::string& text) {
    const QString value = QString::fromStdString(text);
    QWidget* item = GetDlgItem(id);
    if (auto* edit = qobject_cast<QLineEdit*>(item)) {
        edit->setText(value);
        edit->setCursorPosition(0);
    } else if (auto* label = qobject_cast<QLabel*>(item)) {
        label->setText(value);
    } else if (auto* button = qobject_cast<QAbstractButton*>(item)) {
        button->setText(value);
    } else if (auto* group = qobject_cast<QGroupBox*>(item)) {
        group->setTitle(value);
    }
}

std::string Dialog::GetDlgItemText(int id) const {
    QWidget* item = GetDlgItem(id);
    if (auto* edit = qobject_cast<QLineEdit*>(item)) {
        return edit->text().toStdString();
    }
    if (auto* label = qobject_cast<QLabel*>(item)) {
        return label->text().toStdString();
    }
    if (auto* button = qobject_cast<QAbstractButton*>(item)) {
        return button->text().toStdString();
    }
    return {};
}

void Dialog::ShowDlgItem(int id, bool show) {
    if (QWidget* item = GetDlgItem(id)) {
        item->setVisible(show);
    }
}

bool Dialog::IsDlgItemShown(int id) const {
    const QWidget* item = GetDlgItem(id);
    return item != nullptr && !item->isHidden();
}

QRect Dialog::ClientRectOf(int id) const {
    const QWidget* item = GetDlgItem(id);
    return item != nullptr ? item->geometry() : QRect();
}

void Dialog::SetMenu(Menu* menu) {
    menu_ = menu;
    layout()->setMenuBar(menu != nullptr ? menu->Bar() : nullptr);
    if (menu != nullptr) {
        menu->Bar()->setFont(font());
        menu->Bar()->show();
    }
}

}  // namespace pixalto::ui
