#include "platform/qt/Controls.h"

#include <QHeaderView>
#include <algorithm>

namespace pixalto::ui {

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

ListView::ListView(QWidget* parent) : QTreeView(parent) {
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    header()->setStretchLastSection(false);
    connect(this, &QTreeView::doubleClicked, this, [this] { emit DoubleClicked(); });
}

void ListView::setModel(QAbstractItemModel* model) {
    QTreeView::setModel(model);
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
    setAllColumnsShowFocus(on);
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
