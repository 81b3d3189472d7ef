// The CLUT viewer, and "View Clut", the command that shows it.

#include "shell/CClutDlg.h"

#include <QMouseEvent>
#include <QPainter>

#include "image/PsxColor.h"
#include "platform/ByteOrder.h"
#include "resources/ResourceIds.h"
#include "resources/Resources.h"
#include "shell/CMainDlg.h"

namespace pixalto::shell {
namespace {

// The grid: cell (m, r) is the square from (110 + 10m, 20 + 15r), 10 pixels
// on a side, so each row has a 5-pixel gap below it.
constexpr int kGridLeft = 110;
constexpr int kGridTop = 20;
constexpr int kCellSize = 10;
constexpr int kRowPitch = 15;
constexpr int kColumns = 26;
constexpr int kRows = 10;

constexpr ClutCell CellOfEntry(std::uint32_t k) {
    return {static_cast<int>(k % kColumns), static_cast<int>(k / kColumns)};
}

constexpr std::uint32_t EntryOfCell(ClutCell cell) {
    return static_cast<std::uint32_t>(cell.row * kColumns + cell.column);
}

}  // namespace

QRect ClutCellRect(ClutCell cell) {
    return {kGridLeft + kCellSize * cell.column, kGridTop + kRowPitch * cell.row, kCellSize,
            kCellSize};
}

std::optional<ClutCell> ClutCellAt(int x, int y, std::uint8_t depth) {
    if (y < kGridTop || x < kGridLeft) {
        return std::nullopt;
    }
    // The gap below a row belongs to the row above it.
    const ClutCell cell{(x - kGridLeft) / kCellSize, (y - kGridTop) / kRowPitch};
    if (cell.column >= kColumns || cell.row >= kRows || EntryOfCell(cell) >= ClutSetSize(depth)) {
        return std::nullopt;
    }
    return cell;
}

CClutDlg::CClutDlg(QWidget* parent)
    : Dialog(res::DialogResource(res::kClutDialog), parent), editor_(this) {
    Client()->SetPaintHook([this](QPainter& painter, const QRect&) { PaintSwatches(painter); });
    Client()->installEventFilter(this);
    // Made once with the main window, and only ever shown or hidden after.
    Create();
}

void CClutDlg::OnPaint(std::uint32_t set, std::vector<std::uint8_t>& clutData, std::uint32_t bpp) {
    currentSet = set;
    clut = &clutData;
    depth = static_cast<std::uint8_t>(bpp);
    if (IsWindowVisible()) {
        Client()->update();
    }
}

std::optional<std::size_t> CClutDlg::EntryOffset(ClutCell cell) const {
    if (clut == nullptr) {
        return std::nullopt;
    }
    const std::uint64_t entry = std::uint64_t{currentSet} * ClutSetSize(depth) + EntryOfCell(cell);
    // A CLUT shorter than the set, or a set beyond the CLUT, has no entry
    // here: nothing is read or written beyond the CLUT.
    if (entry >= clut->size() / 2) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(entry * 2);
}

void CClutDlg::PaintSwatches(QPainter& painter) {
    for (std::uint32_t k = 0; k < ClutSetSize(depth); ++k) {
        const ClutCell cell = CellOfEntry(k);
        const auto offset = EntryOffset(cell);
        if (!offset) {
            break;  // the entries after it are missing too
        }
        const PsxColor color = ReadU16LE(clut->data() + *offset);
        painter.fillRect(ClutCellRect(cell), QColor::fromRgb(PsxToPixel(color)));
    }
}

void CClutDlg::OnLButtonUp(int x, int y) {
    // One edit at a time: the editor is modal, but a click could still be
    // delivered while it closes.
    if (editing_) {
        return;
    }
    const auto cell = ClutCellAt(x, y, depth);
    if (!cell) {
        return;
    }
    const auto offset = EntryOffset(*cell);
    if (!offset) {
        return;
    }
    picked = cell;
    editor_.oldColor = ReadU16LE(clut->data() + *offset);
    editing_ = true;
    const int result = editor_.DoModal();
    editing_ = false;
    // The image can't change while the editor runs, but the entry is looked
    // up again rather than trusted.
    const auto target = EntryOffset(*cell);
    if (result == res::kIdOk && target) {
        WriteU16LE(clut->data() + *target, editor_.newColor);
        Client()->update();
        // The user looks at the image for the change; a colour that shows
        // only at some later paint looks like an edit that failed.
        if (edited_) {
            edited_();
        }
    }
}

bool CClutDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Client() && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton) {
            const QPoint at = mouse->position().toPoint();
            OnLButtonUp(at.x(), at.y());
        }
    }
    return Dialog::eventFilter(watched, event);
}

void CMainDlg::OnViewClut() {
    if (!image.clutData.empty()) {
        clutViewer.show();
        clutViewer.activateWindow();
    }
}

}  // namespace pixalto::shell
