// Zooming the image: the View menu's zoom items and their shortcuts,
// Ctrl+wheel, and the surface the zoomed image is drawn on.

#include <QKeySequence>
#include <QWheelEvent>

#include "resources/ResourceIds.h"
#include "shell/CMainDlg.h"

namespace pixalto::shell {

ZoomedSurface CMainDlg::ImageSurface() {
    return ZoomedSurface(drawSurface, ImageOrigin(),
                         workspace.Scale(drawSurface.DevicePixelRatio()));
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

void CMainDlg::ShowZoom(int factor) {
    if (workspace.image.IsLoaded()) {
        // Whatever the old zoom covered goes, up to the client's edges.
        FitSurfaceToClient();
        const SurfacePoint origin = ImageOrigin();
        const QSize size = drawSurface.Image().size();
        drawSurface.FillSolidRect(origin.x, origin.y, size.width() - origin.x,
                                  size.height() - origin.y, drawSurface.ButtonFaceColor());
    }
    workspace.SetZoom(factor);
    PaintImage();
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

bool CMainDlg::ZoomByWheel(QEvent* event) {
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
