#include "platform/qt/QtPrompts.h"

#include <QButtonGroup>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

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
    // A name typed without an extension takes that of the type chosen, when
    // the type has one alone ("PPF patches (*.ppf)"), else the default.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog, defaultExtension](const QString& chosen) {
                         static const QRegularExpression single(R"(\(\*\.(\w+)\)$)");
                         const QRegularExpressionMatch match = single.match(chosen);
                         dialog.setDefaultSuffix(match.hasMatch()
                                                     ? match.captured(1)
                                                     : QString::fromStdString(defaultExtension));
                     });
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

std::optional<std::size_t> QtPrompts::ReviewTable(const std::string& text, const std::string& title,
                                                  const std::vector<std::string>& headers,
                                                  const std::vector<std::vector<std::string>>& rows,
                                                  const std::vector<std::string>& actions) {
    QDialog dialog(owner_);
    dialog.setWindowTitle(QString::fromStdString(title));
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(QString::fromStdString(text), &dialog));

    auto* table =
        new QTableWidget(static_cast<int>(rows.size()), static_cast<int>(headers.size()), &dialog);
    QStringList labels;
    for (const std::string& header : headers) {
        labels << QString::fromStdString(header);
    }
    table->setHorizontalHeaderLabels(labels);
    for (std::size_t row = 0; row < rows.size(); ++row) {
        for (std::size_t column = 0; column < rows[row].size() && column < headers.size();
             ++column) {
            auto* cell = new QTableWidgetItem(QString::fromStdString(rows[row][column]));
            cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            table->setItem(static_cast<int>(row), static_cast<int>(column), cell);
        }
    }
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    // Every column as wide as its cells, up to about 60 characters; a longer
    // text (a refusal's reason) wraps within its cell.
    table->setWordWrap(true);
    table->resizeColumnsToContents();
    const int widest = table->fontMetrics().averageCharWidth() * 60;
    int width = 2 * table->frameWidth();
    for (int column = 0; column < table->columnCount(); ++column) {
        table->setColumnWidth(column, std::min(table->columnWidth(column), widest));
        width += table->columnWidth(column);
    }
    table->resizeRowsToContents();
    // Every row shows without scrolling, up to two thirds of the screen's
    // height; a longer table scrolls.
    int height = 2 * table->frameWidth() + table->horizontalHeader()->sizeHint().height();
    for (int row = 0; row < table->rowCount(); ++row) {
        height += table->rowHeight(row);
    }
    const int tallest = dialog.screen()->availableGeometry().height() * 2 / 3;
    if (height > tallest) {
        width += table->verticalScrollBar()->sizeHint().width();
        height = tallest;
    }
    table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table->horizontalHeader()->setStretchLastSection(true);
    table->setFixedSize(width, height);
    layout->addWidget(table);

    auto* buttons = new QDialogButtonBox(&dialog);
    std::optional<std::size_t> taken;
    for (std::size_t i = 0; i < actions.size(); ++i) {
        QPushButton* button =
            buttons->addButton(QString::fromStdString(actions[i]), QDialogButtonBox::AcceptRole);
        button->setDefault(i == 0);
        if (i == 0) {
            button->setFocus();
        }
        QObject::connect(button, &QPushButton::clicked, &dialog, [&taken, &dialog, i] {
            taken = i;
            dialog.accept();
        });
    }
    // Escape and the close box cancel, as this button does.
    QObject::connect(buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole),
                     &QPushButton::clicked, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return taken;
}

}  // namespace pixalto::ui
