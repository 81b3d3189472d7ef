#include "platform/qt/Controls.h"

#include <QHeaderView>
#include <QSignalBlocker>
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

ListView::ListView(QWidget* parent) : QTreeWidget(parent) {
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setColumnCount(0);
    header()->setStretchLastSection(false);
    connect(this, &QTreeWidget::itemDoubleClicked, this, [this] { emit DoubleClicked(); });
    connect(this, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current, QTreeWidgetItem* previous) {
                if (previous != nullptr) {
                    emit ItemChanged(indexOfTopLevelItem(previous), kItemFocused | kItemSelected,
                                     0);
                }
                if (current != nullptr) {
                    emit ItemChanged(indexOfTopLevelItem(current), 0, kItemFocused | kItemSelected);
                }
            });
}

void ListView::InsertColumn(int index, const std::string& heading, Align align, int width) {
    const Qt::Alignment alignment = align == Align::Center  ? Qt::AlignHCenter
                                    : align == Align::Right ? Qt::AlignRight
                                                            : Qt::AlignLeft;
    QStringList headings;
    for (int i = 0; i < columnCount(); ++i) {
        headings << headerItem()->text(i);
    }
    headings.insert(index, QString::fromStdString(heading));
    alignments_.insert(alignments_.begin() + index, alignment | Qt::AlignVCenter);
    setColumnCount(static_cast<int>(headings.size()));
    setHeaderLabels(headings);
    for (int i = 0; i < columnCount(); ++i) {
        headerItem()->setTextAlignment(i, alignments_[i]);
    }
    setColumnWidth(index, width);
}

void ListView::SetFullRowSelect(bool on) {
    setSelectionBehavior(on ? QAbstractItemView::SelectRows : QAbstractItemView::SelectItems);
    setAllColumnsShowFocus(on);
}

int ListView::InsertItem(int row, const std::string& text) {
    row = std::clamp(row, 0, topLevelItemCount());
    auto* item = new QTreeWidgetItem;
    for (int i = 0; i < columnCount(); ++i) {
        item->setTextAlignment(i, alignments_[i]);
    }
    item->setText(0, QString::fromStdString(text));
    insertTopLevelItem(row, item);
    return row;
}

void ListView::AppendRow(const std::vector<std::string>& texts) {
    auto* item = new QTreeWidgetItem;
    for (int i = 0; i < columnCount(); ++i) {
        item->setTextAlignment(i, alignments_[i]);
        if (static_cast<std::size_t>(i) < texts.size()) {
            item->setText(i, QString::fromStdString(texts[static_cast<std::size_t>(i)]));
        }
    }
    addTopLevelItem(item);
}

void ListView::SetItemText(int row, int column, const std::string& text) {
    if (QTreeWidgetItem* item = topLevelItem(row); item != nullptr && column < columnCount()) {
        item->setText(column, QString::fromStdString(text));
    }
}

std::string ListView::GetItemText(int row, int column) const {
    const QTreeWidgetItem* item = topLevelItem(row);
    if (item == nullptr || column < 0 || column >= columnCount()) {
        return {};
    }
    return item->text(column).toStdString();
}

void ListView::DeleteAllItems() {
    // Emptying the list changes no item's state: the owner's idea of the
    // selected row must not jump to a row that is gone.
    const QSignalBlocker quiet(this);
    clear();
}

void ListView::SelectRow(int row) {
    if (QTreeWidgetItem* item = topLevelItem(row)) {
        setCurrentItem(item);
    }
}

}  // namespace pixalto::ui
