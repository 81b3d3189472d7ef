#pragma once
// The window's drawing surface: a persistent QImage that painting draws into
// at any time, inside or outside a paint request, and that the window copies
// to the screen without smoothing. Pixels left undrawn keep what was there.
//
// The image is in device pixels, so that an image pixel is one screen pixel
// at any device pixel ratio, and it covers the client area only: whatever a
// file's header claims, drawing beyond the client area is clipped, as on
// any window, and the next paint request draws the image again.

#include <QImage>
#include <QSize>
#include <functional>

#include "platform/Surface.h"

namespace pixalto::ui {

class QImageSurface final : public Surface {
  public:
    explicit QImageSurface(Pixel buttonFace);

    // Makes the surface exactly size device pixels, keeping the pixels that
    // both sizes share; new pixels get the button-face colour.
    void Resize(QSize size, qreal devicePixelRatio);

    void FillSolidRect(int x, int y, int w, int h, Pixel color) override;
    void DrawRow(int x, int y, std::span<const Pixel> pixels) override;
    Pixel ButtonFaceColor() const override { return buttonFace_; }

    const QImage& Image() const { return image_; }
    // The pixel at (x, y) as 0xFFRRGGBB; kUndrawn outside the surface.
    Pixel At(int x, int y) const;
    qreal DevicePixelRatio() const { return image_.devicePixelRatio(); }

    // Called after every change, so that the window can ask for a repaint.
    void SetChangeHandler(std::function<void()> handler) { onChange_ = std::move(handler); }

  private:
    void Changed() const {
        if (onChange_) {
            onChange_();
        }
    }

    Pixel buttonFace_;
    QImage image_;
    std::function<void()> onChange_;
};

}  // namespace pixalto::ui
