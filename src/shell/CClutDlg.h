#pragma once
// The CLUT viewer: a small modeless window that shows the current CLUT set of
// the workspace's image as a grid of swatches, 26 to a row, and opens the
// colour editor on the entry whose swatch is clicked. It observes the
// workspace, so it always shows the set, CLUT and depth the image is drawn
// with; after an edit it tells its owner, who draws the image again at once.

#include <QRect>
#include <cstdint>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "platform/qt/Dialog.h"
#include "shell/CColorEditDlg.h"
#include "workspace/Workspace.h"

namespace pixalto::shell {

// A cell of the swatch grid.
struct ClutCell {
    int column = 0;  // 0 to 25
    int row = 0;     // 0 to 9
    bool operator==(const ClutCell&) const = default;
};

// The 10 x 10 square of a cell, in client pixels.
QRect ClutCellRect(ClutCell cell);

// The cell under client point (x, y) when a click there edits an entry: on a
// swatch or in the gap below its row, and within a set of an image of depth
// bpp.
std::optional<ClutCell> ClutCellAt(int x, int y, std::uint32_t bpp);

class CClutDlg final : public ui::Dialog, public workspace::Observer {
    Q_OBJECT
  public:
    // Made hidden, ready to be shown by "View Clut".
    CClutDlg(workspace::Workspace& workspace, QWidget* parent);
    ~CClutDlg() override;

    // Shows the workspace's CLUT again while visible.
    void PictureChanged() override;
    bool IsWindowVisible() const { return isVisible(); }
    void Hide() { hide(); }

    // A left-button release at client point (x, y): edits the entry of the
    // cell there, if any.
    void OnLButtonUp(int x, int y);

    CColorEditDlg& Editor() { return editor_; }
    // Called after an edit has been written into the CLUT.
    void SetEditedHandler(std::function<void()> handler) { edited_ = std::move(handler); }
    // Runs the Image menu's Export Palette and Import Palette for the
    // viewer's buttons, which carry those commands' identifiers.
    void SetPaletteCommandHandler(std::function<void(int)> handler) {
        paletteCommand_ = std::move(handler);
    }

    std::optional<ClutCell> picked;  // the cell of the last edit

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool OnCommand(int id) override;

  private:
    void PaintSwatches(QPainter& painter);

    workspace::Workspace& workspace_;
    CColorEditDlg editor_;
    bool editing_ = false;
    std::function<void()> edited_;
    std::function<void(int)> paletteCommand_;
};

}  // namespace pixalto::shell
