// The list of TIMs found in a RAW file: its columns and thumbnails, sorting by
// a header, the filter box under it, Enter and double click, and View >
// "Follow Selection", which shows each TIM as it is selected.

#include <QEvent>
#include <QHeaderView>
#include <QLineEdit>

#include "messages/Catalogue.h"
#include "resources/ResourceIds.h"
#include "shell/CMainDlg.h"

namespace pixalto::shell {

QLineEdit& CMainDlg::FilterBox() const {
    return *Item<QLineEdit>(res::kEntryFilter);
}

void CMainDlg::SetUpEntryList() {
    auto& list = List();
    list.setModel(&entryModel);
    list.SetFullRowSelect(true);
    // Rows as tall as a thumbnail; the picture is drawn in one pixel each.
    list.verticalHeader()->setDefaultSectionSize(static_cast<int>(workspace::kThumbnailSide) + 2);
    list.setIconSize(QSize(workspace::kThumbnailSide, workspace::kThumbnailSide));
    // Nothing sorted until a header is clicked; a third click goes back to
    // the order found.
    list.horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    list.horizontalHeader()->setSortIndicatorClearable(true);
    list.setSortingEnabled(true);
    connect(&entryModel, &QAbstractItemModel::modelReset, this, &CMainDlg::SizeListColumns);
    SizeListColumns();

    // The filter box shows and hides with the list.
    list.installEventFilter(this);
    FilterBox().setPlaceholderText(QStringLiteral("64x64 4bpp"));
    FilterBox().setToolTip(QString::fromStdString(msg::kEntryFilterHelp));
    connect(&FilterBox(), &QLineEdit::textChanged, this, &CMainDlg::OnFilterEdited);
}

void CMainDlg::SizeListColumns() {
    auto& list = List();
    for (int column = 0; column < entryModel.columnCount(); ++column) {
        if (entryModel.ColumnAt(column) == workspace::ListColumn::Thumbnail) {
            list.setColumnWidth(column, static_cast<int>(workspace::kThumbnailSide) + 8);
        } else {
            // The header and the rows a view measures (the first thousand or
            // so), never every row of millions.
            list.resizeColumnToContents(column);
        }
    }
}

void CMainDlg::OnFilterEdited(const QString& text) {
    const auto filter = workspace::ParseEntryFilter(text.toStdString());
    // A filter half typed leaves the rows as they were, in red until it reads.
    FilterBox().setStyleSheet(filter ? QString() : QStringLiteral("color: red"));
    if (filter && *filter != workspace.Filter()) {
        workspace.FilterEntries(*filter);
    }
}

void CMainDlg::OnFollowSelection() {
    workspace.followSelection = !workspace.followSelection;
    menuBar->CheckMenuItem(res::kCmdFollowSelection, workspace.followSelection);
    SetMenu(menuBar.get());
}

void CMainDlg::OnListItemChanged(int item, unsigned oldState, unsigned newState) {
    workspace.OnEntryStateChanged(item, oldState, newState);
    if (workspace.followSelection && newState == (ui::kItemFocused | ui::kItemSelected) &&
        workspace.selectedRow == item) {
        ShowSelectedEntry(/*following=*/true);
    }
}

void CMainDlg::OnListDblClk() {
    ShowSelectedEntry(/*following=*/false);
}

void CMainDlg::ShowSelectedEntry(bool following) {
    if (workspace.selectedRow < 0 ||
        !workspace.ShownEntryIndex(static_cast<std::size_t>(workspace.selectedRow))) {
        return;
    }
    // Moving through the list must not lose an edit without a word.
    if (following && !ConfirmDiscard()) {
        return;
    }
    EraseForLoad();
    workspace::LoadOutcome outcome = workspace.OpenSelectedEntry();
    // Following the selection through a list says in the status bar what
    // a row can't show, rather than stopping each step with a message box.
    std::optional<workspace::Failure> failure;
    if (following) {
        failure = std::exchange(outcome.failure, std::nullopt);
    }
    if (ShowLoad(outcome)) {
        PaintImage();
    } else if (failure) {
        statusBar->showMessage(QString::fromStdString(msg::Text(failure->error)));
    }
}

bool CMainDlg::ListEvent(QObject* watched, QEvent* event) {
    if (watched == &List() && (event->type() == QEvent::Show || event->type() == QEvent::Hide)) {
        FilterBox().setVisible(event->type() == QEvent::Show);
    }
    return false;
}

}  // namespace pixalto::shell
