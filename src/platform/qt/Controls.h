#pragma once
// The two controls whose behaviour the program relies on beyond what Qt's
// widgets do by themselves: a scroll bar that reports the classic scroll
// codes and moves only when its owner sets its position, and a report-style
// list view addressed by row and column.

#include <QScrollBar>
#include <QTreeWidget>
#include <cstdint>
#include <string>
#include <vector>

namespace pixalto::ui {

// Scroll codes as the handler sees them.
enum ScrollCode : int {
    kLineLeft = 0,
    kLineRight = 1,
    kPageLeft = 2,
    kPageRight = 3,
    kThumbPosition = 4,  // the thumb was released
    kThumbTrack = 5,     // the thumb is being dragged
    kLeft = 6,           // Home
    kRight = 7,          // End
    kEndScroll = 8,
};

class ScrollBar final : public QScrollBar {
    Q_OBJECT
  public:
    explicit ScrollBar(QWidget* parent);

    void SetScrollRange(int minimum, int maximum);
    void SetScrollPos(int position);
    int GetScrollPos() const { return position_; }
    int GetScrollLimit() const { return maximum(); }

  signals:
    // Every action of the user on the bar, with the thumb's position. Only
    // SetScrollPos moves the bar afterwards; a drag moves the thumb alone.
    void Scrolled(int code, int thumbPosition);

  private:
    void OnAction(int action);
    void OnReleased();
    void Report(int code, int thumbPosition);

    int position_ = 0;
};

// Item states as the list reports them: bit 0 focused, bit 1 selected.
enum ItemState : unsigned { kItemFocused = 1, kItemSelected = 2 };

class ListView final : public QTreeWidget {
    Q_OBJECT
  public:
    explicit ListView(QWidget* parent);

    enum class Align { Left, Center, Right };
    void InsertColumn(int index, const std::string& heading, Align align, int width);
    // Rows select whole (a click anywhere in a row selects it).
    void SetFullRowSelect(bool on);

    int InsertItem(int row, const std::string& text);
    void SetItemText(int row, int column, const std::string& text);
    // Adds a row with every cell's text at once: one change for the view,
    // where inserting and then setting each cell would be one per cell.
    void AppendRow(const std::vector<std::string>& texts);
    std::string GetItemText(int row, int column) const;  // "" outside the table
    int GetItemCount() const { return topLevelItemCount(); }
    void DeleteAllItems();
    // Selects and focuses a row, as a click would.
    void SelectRow(int row);

  signals:
    void ItemChanged(int item, unsigned oldState, unsigned newState);
    void DoubleClicked();

  private:
    std::vector<Qt::Alignment> alignments_;
};

}  // namespace pixalto::ui
