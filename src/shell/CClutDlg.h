#pragma once
// The CLUT viewer: a small modeless window that shows the current CLUT set of
// the image as a grid of swatches, 26 to a row, and opens the colour editor
// on the entry whose swatch is clicked. It follows every paint of the image,
// so it always shows the set, CLUT and depth the image is drawn with; after
// an edit it tells its owner, who draws the image again at once.

#include <QRect>
#include <cstdint>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "image/Paint.h"
#include "platform/qt/Dialog.h"
#include "shell/CColorEditDlg.h"

namespace pixalto::shell {

// A cell of the swatch grid.
struct ClutCell {
    int column = 0;  // 0 to 25
    int row = 0;     // 0 to 9
    bool operator==(const ClutCell&) const = default;
};

// Entries in a set: 16 for 4-bit images, 256 for any other depth.
constexpr std::uint32_t ClutSetSize(std::uint8_t depth) {
    return depth == 4 ? 16 : 256;
}

// The 10 x 10 square of a cell, in client pixels.
QRect ClutCellRect(ClutCell cell);

// The cell under client point (x, y) when a click there edits an entry: on a
// swatch or in the gap below its row, and within the set.
std::optional<ClutCell> ClutCellAt(int x, int y, std::uint8_t depth);

class CClutDlg final : public ui::Dialog, public PaintObserver {
    Q_OBJECT
  public:
    // Made hidden, ready to be shown by "View Clut".
    explicit CClutDlg(QWidget* parent);

    // Takes the set, CLUT and depth of the paint that is starting, and
    // repaints while visible.
    void OnPaint(std::uint32_t currentSet, std::vector<std::uint8_t>& clutData,
                 std::uint32_t bpp) override;
    bool IsWindowVisible() const { return isVisible(); }
    void Hide() { hide(); }

    // A left-button release at client point (x, y): edits the entry of the
    // cell there, if any.
    void OnLButtonUp(int x, int y);

    CColorEditDlg& Editor() { return editor_; }
    // Called after an edit has been written into the CLUT.
    void SetEditedHandler(std::function<void()> handler) { edited_ = std::move(handler); }

    std::uint32_t currentSet = 0;
    std::vector<std::uint8_t>* clut = nullptr;  // the image's clutData, not owned
    std::uint8_t depth = 0;
    std::optional<ClutCell> picked;  // the cell of the last edit

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // The byte offset in the CLUT of the cell's entry, or nothing when the
    // CLUT doesn't hold it.
    std::optional<std::size_t> EntryOffset(ClutCell cell) const;
    void PaintSwatches(QPainter& painter);

    CColorEditDlg editor_;
    bool editing_ = false;
    std::function<void()> edited_;
};

}  // namespace pixalto::shell
