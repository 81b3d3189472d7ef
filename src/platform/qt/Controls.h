#pragma once
// The two controls whose behaviour the program relies on beyond what Qt's
// widgets do by themselves: a scroll bar that reports each action of the
// user as a scroll code (line, page, thumb) and moves only when its owner
// sets its position, and a report-style list view of whole rows over an item
// model.

#include <QScrollBar>
#include <QTableView>
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

// Rows of the owner's model, one line each and all of one height, under a
// header of column titles; a table view rather than a tree view, which
// would keep an item of its own for every row of a list of millions.
class ListView final : public QTableView {
    Q_OBJECT
  public:
    explicit ListView(QWidget* parent);

    // Also follows the model's current row from then on.
    void setModel(QAbstractItemModel* model) override;
    // Rows select whole (a click anywhere in a row selects it).
    void SetFullRowSelect(bool on);
    int GetItemCount() const;
    // Selects and focuses a row, as a click would.
    void SelectRow(int row);

  signals:
    void ItemChanged(int item, unsigned oldState, unsigned newState);
    // A double click on a row, or Enter on the current one.
    void DoubleClicked();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace pixalto::ui
