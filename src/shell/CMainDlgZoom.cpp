// Zooming the image: the View menu's zoom items and their shortcuts,
// Ctrl+wheel, the surface the zoomed image is drawn on, its scroll bars, and
// the window growing to show an image whole.

#include <QKeySequence>
#include <QLayout>
#include <QMouseEvent>
#include <QScreen>
#include <QSignalBlocker>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "resources/ResourceIds.h"
#include "shell/CMainDlg.h"

namespace pixalto::shell {
namespace {

constexpr const char* kAreaCorner = "imageAreaCorner";

}  // namespace

ZoomedSurface CMainDlg::ImageSurface() {
    return ZoomedSurface(
        drawSurface, ImageOrigin(), workspace.Scale(drawSurface.DevicePixelRatio()),
        {static_cast<int>(workspace.scrollX), static_cast<int>(workspace.scrollY)});
}

void CMainDlg::SetUpZoomItems() {
    struct Shortcut {
        int id;
        QList<QKeySequence> keys;
    };
    const Shortcut shortcuts[] = {
        {res::kCmdZoomIn,
         {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)}},
        {res::kCmdZoomOut, {QKeySequence(Qt::CTRL | Qt::Key_Minus)}},
        {res::kCmdActualSize, {QKeySequence(Qt::CTRL | Qt::Key_0)}},
    };
    for (const auto& shortcut : shortcuts) {
        menuBar->Action(shortcut.id)->setShortcuts(shortcut.keys);
    }
    menuBar->CheckMenuItem(res::kCmdDevicePixels, workspace.devicePixels);
}

void CMainDlg::EraseWholeArea() {
    FitSurfaceToClient();
    const SurfacePoint origin = ImageOrigin();
    const QSize size = drawSurface.Image().size();
    drawSurface.FillSolidRect(origin.x, origin.y, size.width() - origin.x, size.height() - origin.y,
                              drawSurface.ButtonFaceColor());
}

void CMainDlg::ShowZoom(int factor) {
    if (workspace.image.IsLoaded()) {
        // Whatever the old zoom covered goes, up to the client's edges.
        EraseWholeArea();
    }
    workspace.SetZoom(factor);
    PaintImage();
}

void CMainDlg::SetUpImageArea() {
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    Client()->setMinimumSize(TemplateClientSize());
    Client()->setMouseTracking(true);
    statusBar = new QStatusBar(this);
    statusBar->setSizeGripEnabled(false);
    layout()->addWidget(statusBar);
    areaScrollX = new QScrollBar(Qt::Horizontal, Client());
    areaScrollY = new QScrollBar(Qt::Vertical, Client());
    // Covers the square where both bars meet.
    auto* corner = new QWidget(Client());
    corner->setObjectName(kAreaCorner);
    corner->setAutoFillBackground(true);
    corner->hide();
    for (QScrollBar* bar : {areaScrollX, areaScrollY}) {
        bar->hide();
        connect(bar, &QScrollBar::valueChanged, this, &CMainDlg::OnAreaScrolled);
    }
}

bool CMainDlg::LayOutImageArea() {
    const qreal ratio = devicePixelRatioF();
    const QSize client = Client()->size();
    const int left = ClientImageOrigin().x();
    const int top = ClientImageOrigin().y();
    const auto zoomed = workspace.ZoomedSize(ratio);
    const int thickX = areaScrollX->sizeHint().height();
    const int thickY = areaScrollY->sizeHint().width();
    // A bar takes room from the other direction, which may then need its own.
    bool needX = false;
    bool needY = false;
    for (int pass = 0; pass < 2; ++pass) {
        const qreal width = (client.width() - left - (needY ? thickY : 0)) * ratio;
        const qreal height = (client.height() - top - (needX ? thickX : 0)) * ratio;
        needX = zoomed.width > width;
        needY = zoomed.height > height;
    }
    const int shownWidth = std::max(client.width() - left - (needY ? thickY : 0), 0);
    const int shownHeight = std::max(client.height() - top - (needX ? thickX : 0), 0);
    const auto deviceWidth = static_cast<std::int64_t>(std::floor(shownWidth * ratio));
    const auto deviceHeight = static_cast<std::int64_t>(std::floor(shownHeight * ratio));
    const bool changed =
        workspace.ScrollTo(workspace.scrollX, workspace.scrollY, deviceWidth, deviceHeight, ratio);

    const QSignalBlocker blockX(areaScrollX);
    const QSignalBlocker blockY(areaScrollY);
    areaScrollX->setGeometry(left, client.height() - thickX, shownWidth, thickX);
    areaScrollY->setGeometry(client.width() - thickY, top, thickY, shownHeight);
    areaScrollX->setRange(0,
                          static_cast<int>(std::max<std::int64_t>(zoomed.width - deviceWidth, 0)));
    areaScrollY->setRange(
        0, static_cast<int>(std::max<std::int64_t>(zoomed.height - deviceHeight, 0)));
    areaScrollX->setPageStep(static_cast<int>(std::max<std::int64_t>(deviceWidth, 1)));
    areaScrollY->setPageStep(static_cast<int>(std::max<std::int64_t>(deviceHeight, 1)));
    areaScrollX->setSingleStep(static_cast<int>(std::ceil(workspace.Scale(ratio))));
    areaScrollY->setSingleStep(static_cast<int>(std::ceil(workspace.Scale(ratio))));
    areaScrollX->setValue(static_cast<int>(workspace.scrollX));
    areaScrollY->setValue(static_cast<int>(workspace.scrollY));
    const bool loaded = workspace.image.IsLoaded();
    areaScrollX->setVisible(loaded && needX);
    areaScrollY->setVisible(loaded && needY);
    auto* corner = Client()->findChild<QWidget*>(kAreaCorner);
    corner->setGeometry(client.width() - thickY, client.height() - thickX, thickY, thickX);
    corner->setVisible(loaded && needX && needY);
    return changed;
}

void CMainDlg::OnAreaScrolled() {
    workspace.scrollX = areaScrollX->value();
    workspace.scrollY = areaScrollY->value();
    EraseWholeArea();
    PaintImage();
}

void CMainDlg::GrowForImage() {
    if (isMaximized() || isFullScreen()) {
        return;
    }
    const DrawableExtent extent = DrawableExtentOf(workspace.image, workspace.splitImage);
    // At 1:1 an image pixel is one device pixel, or one logical pixel when
    // device pixels are off.
    const qreal perPixel = workspace.devicePixels ? 1.0 / devicePixelRatioF() : 1.0;
    const QSize client = Client()->size();
    const QSize wanted(
        ClientImageOrigin().x() + static_cast<int>(std::ceil(extent.width * perPixel)) +
            kImageOrigin.y,
        kImageOrigin.y + static_cast<int>(std::ceil(extent.rows * perPixel)) + kImageOrigin.y);
    QSize target = size() + wanted.expandedTo(client) - client;
    if (const QScreen* shown = screen()) {
        const QSize frame = frameGeometry().size() - geometry().size();
        target = target.boundedTo(shown->availableGeometry().size() - frame);
    }
    target = target.expandedTo(size());
    if (target != size()) {
        resize(target);
    }
}

void CMainDlg::OnZoomIn() {
    ShowZoom(workspace.zoom + 1);
}

void CMainDlg::OnZoomOut() {
    ShowZoom(workspace.zoom - 1);
}

void CMainDlg::OnActualSize() {
    ShowZoom(workspace::Workspace::kMinZoom);
}

void CMainDlg::OnFitToWindow() {
    FitSurfaceToClient();
    const SurfacePoint origin = ImageOrigin();
    const QSize size = drawSurface.Image().size();
    const int current = workspace.zoom;
    workspace.FitZoom(size.width() - origin.x, size.height() - origin.y,
                      drawSurface.DevicePixelRatio());
    const int fitting = workspace.zoom;
    workspace.SetZoom(current);
    ShowZoom(fitting);
}

void CMainDlg::OnDevicePixels() {
    workspace.devicePixels = !workspace.devicePixels;
    menuBar->CheckMenuItem(res::kCmdDevicePixels, workspace.devicePixels);
    ShowZoom(workspace.zoom);
}

void CMainDlg::ShowStatus() {
    std::optional<PixelProbe> pixel;
    if (cursor_) {
        const qreal ratio = devicePixelRatioF();
        const SurfacePoint origin = ImageOrigin();
        pixel = workspace.PixelUnder(
            static_cast<std::int64_t>(std::floor(cursor_->x() * ratio)) - origin.x,
            static_cast<std::int64_t>(std::floor(cursor_->y() * ratio)) - origin.y, ratio);
    }
    statusBar->showMessage(QString::fromStdString(workspace.StatusLine(pixel)));
}

bool CMainDlg::ImageAreaEvent(QEvent* event) {
    if (event->type() == QEvent::MouseMove) {
        cursor_ = static_cast<QMouseEvent*>(event)->position().toPoint();
        ShowStatus();
        return false;
    }
    if (event->type() == QEvent::Leave) {
        cursor_.reset();
        ShowStatus();
        return false;
    }
    if (event->type() != QEvent::Wheel) {
        return false;
    }
    auto* wheel = static_cast<QWheelEvent*>(event);
    if (!(wheel->modifiers() & Qt::ControlModifier) || wheel->angleDelta().y() == 0) {
        return false;
    }
    ShowZoom(workspace.zoom + (wheel->angleDelta().y() > 0 ? 1 : -1));
    return true;
}

}  // namespace pixalto::shell
