#include "image/ZoomedSurface.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <vector>

namespace pixalto {
namespace {

// Past this the target clips everything anyway; keeping the points inside
// int keeps the arithmetic of a huge claimed image from overflowing.
constexpr double kFar = 1 << 30;

int Scaled(long long value, int origin, double scale, int scroll) {
    const double mapped = origin + std::floor(static_cast<double>(value - origin) * scale) - scroll;
    return static_cast<int>(std::clamp(mapped, -kFar, kFar));
}

}  // namespace

ZoomedSurface::ZoomedSurface(Surface& target, SurfacePoint origin, double scale,
                             SurfacePoint scroll)
    : target_(target), origin_(origin), scale_(std::max(scale, 1.0)), scroll_(scroll) {}

bool ZoomedSurface::Identity() const {
    return scale_ == 1.0 && scroll_.x == 0 && scroll_.y == 0;
}

int ZoomedSurface::MapX(long long x) const {
    return Scaled(x, origin_.x, scale_, scroll_.x);
}

int ZoomedSurface::MapY(long long y) const {
    return Scaled(y, origin_.y, scale_, scroll_.y);
}

void ZoomedSurface::FillSolidRect(int x, int y, int w, int h, Pixel color) {
    if (Identity()) {
        target_.FillSolidRect(x, y, w, h, color);
        return;
    }
    if (w <= 0 || h <= 0) {
        return;
    }
    const int left = std::max(MapX(x), origin_.x);
    const int top = std::max(MapY(y), origin_.y);
    target_.FillSolidRect(left, top, MapX(static_cast<long long>(x) + w) - left,
                          MapY(static_cast<long long>(y) + h) - top, color);
}

void ZoomedSurface::DrawRow(int x, int y, std::span<const Pixel> pixels) {
    if (Identity()) {
        target_.DrawRow(x, y, pixels);
        return;
    }
    if (pixels.empty()) {
        return;
    }
    const int left = MapX(x);
    const int right = MapX(static_cast<long long>(x) + static_cast<long long>(pixels.size()));
    std::vector<Pixel> row(static_cast<std::size_t>(std::max(right - left, 0)));
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        const int from = MapX(static_cast<long long>(x) + static_cast<long long>(i)) - left;
        const int to = MapX(static_cast<long long>(x) + static_cast<long long>(i) + 1) - left;
        std::fill(row.begin() + from, row.begin() + to, pixels[i]);
    }
    // What scrolled past the area's left or top edge is not drawn.
    const int hidden = std::clamp(origin_.x - left, 0, static_cast<int>(row.size()));
    const std::span<const Pixel> shown = std::span<const Pixel>(row).subspan(hidden);
    const int bottom = MapY(static_cast<long long>(y) + 1);
    for (int targetY = std::max(MapY(y), origin_.y); targetY < bottom; ++targetY) {
        target_.DrawRow(left + hidden, targetY, shown);
    }
}

}  // namespace pixalto
