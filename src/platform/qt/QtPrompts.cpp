#include "platform/qt/QtPrompts.h"

#include <QFileDialog>
#include <QMessageBox>

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

}  // namespace pixalto::ui
