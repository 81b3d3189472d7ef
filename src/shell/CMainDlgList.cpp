// The list of TIMs found in a RAW file: its columns and thumbnails, sorting by
// a header, the filter box under it, Enter and double click, View >
// "Follow Selection", which shows each TIM as it is selected, and the handle
// that widens the list.

#include <QEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOption>
#include <algorithm>
#include <limits>

#include "messages/Catalogue.h"
#include "resources/ResourceIds.h"
#include "shell/CMainDlg.h"

namespace pixalto::shell {
namespace {

// A scan widens the list to show its columns, by at least this many client
// pixels when they need it, and further as far as the screen leaves room for
// a texture page of kPageRoom pixels beside the panel; the rest of a disc's
// long paths is left for the handle.
constexpr int kLeastWideningToFit = 420;
constexpr int kPageRoom = 256;

// The strip between the list and the info panel: dragging it sideways
// widens or narrows the list, a double click fits the list to its columns.
class WideningHandle final : public QWidget {
  public:
    explicit WideningHandle(CMainDlg& window) : QWidget(window.Client()), window_(window) {
        setCursor(Qt::SplitHCursor);
        setToolTip(QStringLiteral("Drag to widen the list; double-click to fit its columns"));
    }

  protected:
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton) {
            dragFrom_ = ScreenX(event);
            startWidening_ = window_.ListWidening();
        }
    }
    void mouseMoveEvent(QMouseEvent* event) override {
        if (dragFrom_ && (event->buttons() & Qt::LeftButton)) {
            window_.SetListWidening(startWidening_ + ScreenX(event) - *dragFrom_);
        }
    }
    void mouseReleaseEvent(QMouseEvent*) override { dragFrom_.reset(); }
    void mouseDoubleClickEvent(QMouseEvent*) override {
        window_.SetListWidening(window_.ListWideningToFit());
    }
    // Drawn as the style draws a splitter's handle, so that it reads as one.
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        QStyleOption option;
        option.initFrom(this);
        option.state |= QStyle::State_Horizontal;
        style()->drawControl(QStyle::CE_Splitter, &option, &painter, this);
    }

  private:
    // The cursor's place on the screen. The handle moves as it is dragged, so
    // the point in it is taken where the handle is when the event comes.
    int ScreenX(const QMouseEvent* event) const {
        return mapToGlobal(event->position().toPoint()).x();
    }

    CMainDlg& window_;
    std::optional<int> dragFrom_;
    int startWidening_ = 0;
};

}  // namespace

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
    listHandle_ = new WideningHandle(*this);
    listHandle_->hide();
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
    if (!list.isHidden()) {
        WidenListToItsColumns();
    }
}

void CMainDlg::WidenListToItsColumns() {
    int most = kLeastWideningToFit;
    if (const QScreen* shown = screen()) {
        const int frame = frameGeometry().width() - Client()->width();
        most = std::max(most, shown->availableGeometry().width() - frame -
                                  TemplateClientSize().width() - kPageRoom);
    }
    SetListWidening(std::max(listWidening_, std::min(ListWideningToFit(), most)));
}

int CMainDlg::ListWideningToFit() const {
    const auto& list = List();
    int width = 2 * list.frameWidth() + list.verticalHeader()->width() +
                list.verticalScrollBar()->sizeHint().width();
    for (int column = 0; column < list.model()->columnCount(); ++column) {
        width += list.columnWidth(column);
    }
    return std::max(width - (listRight_ - list.x()), 0);
}

void CMainDlg::SetListWidening(int pixels) {
    const int widening = std::clamp(pixels, 0, std::max(ListWideningToFit(), listWidening_));
    if (widening != listWidening_) {
        listWidening_ = widening;
        LayOutPanel();
    }
}

void CMainDlg::KeepPanelLayout() {
    for (QWidget* child : Client()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        panelLayout_.emplace_back(child, child->geometry());
    }
    listRight_ = List().geometry().x() + List().geometry().width();
}

void CMainDlg::LayOutPanel() {
    const int widening = List().isHidden() ? 0 : listWidening_;
    // The handle fills the gap between the list and the controls right of it.
    int gapRight = std::numeric_limits<int>::max();
    for (auto& [widget, place] : panelLayout_) {
        if (widget == nullptr) {
            continue;
        }
        QRect moved = place;
        if (place.x() >= listRight_) {
            // Right of the list: the info panel.
            moved.translate(widening, 0);
            gapRight = std::min(gapRight, place.x());
        } else if (place.x() + place.width() >= listRight_) {
            // Across the list's right edge: the list itself, its filter box,
            // the path box and the frame around them all.
            moved.setWidth(place.width() + widening);
        }
        widget->setGeometry(moved);
    }
    if (listHandle_ == nullptr) {
        return;  // the window is still being made
    }
    const QRect list = List().geometry();
    const int gap = gapRight == std::numeric_limits<int>::max() ? 4 : gapRight - listRight_;
    listHandle_->setGeometry(listRight_ + widening, list.y(), std::max(gap, 2), list.height());
    listHandle_->setVisible(!List().isHidden());
    Client()->setMinimumSize(TemplateClientSize() + QSize(widening, 0));
    // The picture moves: what it covered is now under the panel.
    FitSurfaceToClient();
    const QSize size = drawSurface.Image().size();
    drawSurface.FillSolidRect(0, 0, size.width(), size.height(), drawSurface.ButtonFaceColor());
    PaintImage();
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
    if (watched == &List() &&
        (event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent)) {
        LayOutPanel();
        if (event->type() == QEvent::ShowToParent) {
            WidenListToItsColumns();
        }
    }
    return false;
}

}  // namespace pixalto::shell
