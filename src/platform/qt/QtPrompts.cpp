#include "platform/qt/QtPrompts.h"

#include <QButtonGroup>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QRadioButton>
#include <QVBoxLayout>

#include "platform/qt/FileFilter.h"

namespace pixalto::ui {
namespace {

// Qt's own file dialog matches the patterns without regard to case on every
// system, which the native dialogs don't all do.
QFileDialog::Options DialogOptions() {
    return QFileDialog::DontUseNativeDialog;
}

std::optional<std::string> ChosenPath(QFileDialog& dialog) {
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().front().toStdString();
}

}  // namespace

Answer QtPrompts::MessageBox(const std::string& text, const std::string& title,
                             MessageButtons buttons) {
    QMessageBox::StandardButtons shown = QMessageBox::Ok;
    if (buttons == MessageButtons::YesNo) {
        shown = QMessageBox::Yes | QMessageBox::No;
    } else if (buttons == MessageButtons::SaveDiscardCancel) {
        shown = QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel;
    }
    QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(title),
                    QString::fromStdString(text), shown, owner_);
    const int result = box.exec();
    switch (buttons) {
        case MessageButtons::Ok:
            return Answer::Ok;
        case MessageButtons::YesNo:
            return result == QMessageBox::Yes ? Answer::Yes : Answer::No;
        case MessageButtons::SaveDiscardCancel:
            // Escape and the close box keep everything, as Cancel does.
            return result == QMessageBox::Save      ? Answer::Save
                   : result == QMessageBox::Discard ? Answer::Discard
                                                    : Answer::Cancel;
    }
    return Answer::Ok;
}

std::optional<std::string> QtPrompts::OpenFile(const std::string& filter) {
    QFileDialog dialog(owner_);
    dialog.setOptions(DialogOptions());
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(QtNameFilters(filter));
    return ChosenPath(dialog);
}

std::optional<std::string> QtPrompts::SaveFile(const std::string& filter,
                                               const std::string& defaultExtension) {
    QFileDialog dialog(owner_);
    dialog.setOptions(DialogOptions());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(QtNameFilters(filter));
    dialog.setDefaultSuffix(QString::fromStdString(defaultExtension));
    return ChosenPath(dialog);
}

std::optional<std::string> QtPrompts::ChooseFolder(const std::string& title) {
    const QString folder =
        QFileDialog::getExistingDirectory(owner_, QString::fromStdString(title), QString(),
                                          DialogOptions() | QFileDialog::ShowDirsOnly);
    if (folder.isEmpty()) {
        return std::nullopt;
    }
    return folder.toStdString();
}

std::optional<std::size_t> QtPrompts::Choose(const std::string& text, const std::string& title,
                                             const std::vector<std::string>& choices,
                                             std::size_t preset) {
    // A radio button per choice, so that every one is seen at once.
    QDialog dialog(owner_);
    dialog.setWindowTitle(QString::fromStdString(title));
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(QString::fromStdString(text), &dialog));
    QButtonGroup group(&dialog);
    for (std::size_t i = 0; i < choices.size(); ++i) {
        auto* button = new QRadioButton(QString::fromStdString(choices[i]), &dialog);
        button->setChecked(i == preset);
        group.addButton(button, static_cast<int>(i));
        layout->addWidget(button);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted || group.checkedId() < 0) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(group.checkedId());
}

}  // namespace pixalto::ui
