// The CLUT viewer.

#include "shell/CClutDlg.h"

#include <QMouseEvent>
#include <QPainter>

#include "resources/ResourceIds.h"
#include "resources/Resources.h"

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

std::optional<ClutCell> ClutCellAt(int x, int y, std::uint32_t bpp) {
    if (y < kGridTop || x < kGridLeft) {
        return std::nullopt;
    }
    // The gap below a row belongs to the row above it.
    const ClutCell cell{(x - kGridLeft) / kCellSize, (y - kGridTop) / kRowPitch};
    if (cell.column >= kColumns || cell.row >= kRows || EntryOfCell(cell) >= ClutSetEntries(bpp)) {
        return std::nullopt;
    }
    return cell;
}

CClutDlg::CClutDlg(workspace::Workspace& workspace, QWidget* parent)
    : Dialog(res::DialogResource(res::kClutDialog), parent), workspace_(workspace), editor_(this) {
    Client()->SetPaintHook([this](QPainter& painter, const QRect&) { PaintSwatches(painter); });
    Client()->installEventFilter(this);
    workspace_.AddObserver(*this);
    // Made once with the main window, and only ever shown or hidden after.
    Create();
}

CClutDlg::~CClutDlg() {
    workspace_.RemoveObserver(*this);
}

void CClutDlg::PictureChanged() {
    // The set is named as the main window counts it, from 1; kept current
    // while hidden so that it is right as soon as the viewer shows.
    setWindowTitle(workspace_.image.clutData.empty()
                       ? QStringLiteral("CLUT")
                       : QStringLiteral("CLUT - Set %1").arg(workspace_.currentSet + 1));
    if (IsWindowVisible()) {
        Client()->update();
    }
}

void CClutDlg::PaintSwatches(QPainter& painter) {
    for (std::uint32_t k = 0; k < workspace_.ClutSetSize(); ++k) {
        const auto color = workspace_.ClutColor(k);
        if (!color) {
            break;  // the entries after it are missing too
        }
        painter.fillRect(ClutCellRect(CellOfEntry(k)), QColor::fromRgb(PsxToPixel(*color)));
    }
}

void CClutDlg::OnLButtonUp(int x, int y) {
    // One edit at a time: the editor is modal, but a click could still be
    // delivered while it closes.
    if (editing_) {
        return;
    }
    const auto cell = ClutCellAt(x, y, workspace_.image.bpp);
    if (!cell) {
        return;
    }
    const auto color = workspace_.ClutColor(EntryOfCell(*cell));
    if (!color) {
        return;
    }
    picked = cell;
    editor_.oldColor = *color;
    editing_ = true;
    const int result = editor_.DoModal();
    editing_ = false;
    // The image can't change while the editor runs, but the workspace looks
    // the entry up again rather than trusting it.
    if (result == res::kIdOk && workspace_.SetClutColor(EntryOfCell(*cell), editor_.newColor)) {
        Client()->update();
        // The user looks at the image for the change; a colour that shows
        // only at some later paint looks like an edit that failed.
        if (edited_) {
            edited_();
        }
    }
}

bool CClutDlg::OnCommand(int id) {
    // The owner's menu commands, so that the buttons do exactly what the
    // Image menu does: same file dialogs, messages and undoable edits.
    if ((id == res::kCmdExportPalette || id == res::kCmdImportPalette) && paletteCommand_) {
        paletteCommand_(id);
        return true;
    }
    return Dialog::OnCommand(id);
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

}  // namespace pixalto::shell
