#include "platform/qt/Controls.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <algorithm>

namespace pixalto::ui {
namespace {

// Draws the focus frame of the list's current row around the whole row, as
// a report list does, where a table would frame the current cell alone:
// each cell of the row draws its own part of the one frame.
class WholeRowFocus final : public QStyledItemDelegate {
  public:
    explicit WholeRowFocus(QTableView& view) : QStyledItemDelegate(&view), view_(view) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem cell(option);
        cell.state &= ~QStyle::State_HasFocus;
        QStyledItemDelegate::paint(painter, cell, index);
        if (!view_.hasFocus() || index.row() != view_.currentIndex().row()) {
            return;
        }
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(cell);
        focus.state |= QStyle::State_KeyboardFocusChange;
        const QPalette::ColorGroup group =
            (cell.state & QStyle::State_Enabled) ? QPalette::Normal : QPalette::Disabled;
        focus.backgroundColor = cell.palette.color(
            group, (cell.state & QStyle::State_Selected) ? QPalette::Highlight : QPalette::Window);
        const QHeaderView& header = *view_.horizontalHeader();
        focus.rect = QRect(-header.offset(), cell.rect.y(), header.length(), cell.rect.height());
        painter->save();
        painter->setClipRect(cell.rect);
        view_.style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, &view_);
        painter->restore();
    }

  private:
    QTableView& view_;
};

}  // namespace

ScrollBar::ScrollBar(QWidget* parent) : QScrollBar(Qt::Horizontal, parent) {
    // The value follows the owner's SetScrollPos only, never a drag.
    setTracking(false);
    setSingleStep(1);
    setPageStep(1);
    setRange(0, 0);
    connect(this, &QAbstractSlider::actionTriggered, this, &ScrollBar::OnAction);
    connect(this, &QAbstractSlider::sliderReleased, this, &ScrollBar::OnReleased);
    // Without tracking, a drag reports nothing but sliderMoved.
    connect(this, &QAbstractSlider::sliderMoved, this,
            [this](int position) { emit Scrolled(kThumbTrack, position); });
}

void ScrollBar::SetScrollRange(int minimum, int maximum) {
    setRange(minimum, std::max(minimum, maximum));
    SetScrollPos(position_);
}

void ScrollBar::SetScrollPos(int position) {
    position_ = std::clamp(position, minimum(), maximum());
    setValue(position_);
    setSliderPosition(position_);
}

void ScrollBar::OnAction(int action) {
    switch (action) {
        case SliderSingleStepSub:
            Report(kLineLeft, sliderPosition());
            break;
        case SliderSingleStepAdd:
            Report(kLineRight, sliderPosition());
            break;
        case SliderPageStepSub:
            Report(kPageLeft, sliderPosition());
            break;
        case SliderPageStepAdd:
            Report(kPageRight, sliderPosition());
            break;
        case SliderToMinimum:
            Report(kLeft, sliderPosition());
            break;
        case SliderToMaximum:
            Report(kRight, sliderPosition());
            break;
        default:
            break;
    }
}

void ScrollBar::OnReleased() {
    Report(kThumbPosition, sliderPosition());
}

void ScrollBar::Report(int code, int thumbPosition) {
    emit Scrolled(code, thumbPosition);
    // Whatever the action computed, the bar shows the position last set.
    setSliderPosition(position_);
    setValue(position_);
}

ListView::ListView(QWidget* parent) : QTableView(parent) {
    // A report list: no row numbers, no grid, rows one text line high.
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height());
    horizontalHeader()->setStretchLastSection(false);
    horizontalHeader()->setHighlightSections(false);
    setShowGrid(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setTabKeyNavigation(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setItemDelegate(new WholeRowFocus(*this));
    connect(this, &QTableView::doubleClicked, this, [this] { emit DoubleClicked(); });
}

void ListView::setModel(QAbstractItemModel* model) {
    QTableView::setModel(model);
    if (model == nullptr) {
        return;
    }
    // A reset of the model clears the current row without a word: the
    // owner's idea of the selected row must not jump to a row that is gone.
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current, const QModelIndex& previous) {
                if (previous.isValid()) {
                    emit ItemChanged(previous.row(), kItemFocused | kItemSelected, 0);
                }
                if (current.isValid()) {
                    emit ItemChanged(current.row(), 0, kItemFocused | kItemSelected);
                }
            });
}

void ListView::SetFullRowSelect(bool on) {
    setSelectionBehavior(on ? QAbstractItemView::SelectRows : QAbstractItemView::SelectItems);
}

void ListView::keyPressEvent(QKeyEvent* event) {
    // Enter acts on the current row as a double click does, and goes no
    // further: it is not the window's OK.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        currentIndex().isValid()) {
        emit DoubleClicked();
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

int ListView::GetItemCount() const {
    return model() == nullptr ? 0 : model()->rowCount();
}

void ListView::SelectRow(int row) {
    if (model() != nullptr && row >= 0 && row < model()->rowCount()) {
        setCurrentIndex(model()->index(row, 0));
    }
}

}  // namespace pixalto::ui
