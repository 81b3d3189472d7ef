#pragma once
// A surface that draws onto another one enlarged: each pixel drawn at (x, y)
// becomes a block of the target's pixels, counted from a fixed origin and
// moved by a scroll offset. Painting and erasing the image go through it
// unchanged, so the zoomed picture is the same picture as at 1:1, never
// smoothed. At scale 1 without scrolling it is the target itself.

#include "platform/Surface.h"

namespace pixalto {

class ZoomedSurface final : public Surface {
  public:
    // scale is the target's pixels per pixel drawn (at least 1; it need not be
    // a whole number, which a logical zoom on a fractional pixel ratio gives).
    // origin stays where it is; scroll is subtracted from every target point,
    // and nothing is drawn left of or above origin (the image area's edge).
    ZoomedSurface(Surface& target, SurfacePoint origin, double scale, SurfacePoint scroll = {});

    void FillSolidRect(int x, int y, int w, int h, Pixel color) override;
    void DrawRow(int x, int y, std::span<const Pixel> pixels) override;
    Pixel ButtonFaceColor() const override { return target_.ButtonFaceColor(); }

    // The target column (or row) where column x (or row y) begins.
    int MapX(long long x) const;
    int MapY(long long y) const;

  private:
    bool Identity() const;

    Surface& target_;
    SurfacePoint origin_;
    double scale_;
    SurfacePoint scroll_;
};

}  // namespace pixalto
