#include "platform/qt/QImageSurface.h"

#include <algorithm>
#include <cstdint>

namespace pixalto::ui {

QImageSurface::QImageSurface(Pixel buttonFace) : buttonFace_(buttonFace | 0xFF000000u) {}

void QImageSurface::Resize(QSize size, qreal devicePixelRatio) {
    size = size.expandedTo(QSize(0, 0));
    if (size == image_.size() && devicePixelRatio == image_.devicePixelRatio()) {
        return;
    }
    QImage resized(size, QImage::Format_RGB32);
    resized.fill(buttonFace_);
    if (!image_.isNull()) {
        const int w = std::min(size.width(), image_.width());
        const int h = std::min(size.height(), image_.height());
        for (int y = 0; y < h; ++y) {
            std::copy_n(reinterpret_cast<const Pixel*>(image_.constScanLine(y)), w,
                        reinterpret_cast<Pixel*>(resized.scanLine(y)));
        }
    }
    resized.setDevicePixelRatio(devicePixelRatio);
    image_ = std::move(resized);
}

void QImageSurface::FillSolidRect(int x, int y, int w, int h, Pixel color) {
    const std::int64_t left = std::max<std::int64_t>(x, 0);
    const std::int64_t top = std::max<std::int64_t>(y, 0);
    const std::int64_t right = std::min<std::int64_t>(std::int64_t{x} + w, image_.width());
    const std::int64_t bottom = std::min<std::int64_t>(std::int64_t{y} + h, image_.height());
    if (left >= right || top >= bottom) {
        return;
    }
    color |= 0xFF000000u;
    for (std::int64_t row = top; row < bottom; ++row) {
        auto* line = reinterpret_cast<Pixel*>(image_.scanLine(static_cast<int>(row)));
        std::fill(line + left, line + right, color);
    }
    Changed();
}

void QImageSurface::DrawRow(int x, int y, std::span<const Pixel> pixels) {
    if (y < 0 || y >= image_.height()) {
        return;
    }
    const std::int64_t first = std::max<std::int64_t>(0, -std::int64_t{x});
    const std::int64_t last = std::min<std::int64_t>(static_cast<std::int64_t>(pixels.size()),
                                                     std::int64_t{image_.width()} - x);
    if (first >= last) {
        return;
    }
    auto* line = reinterpret_cast<Pixel*>(image_.scanLine(y));
    for (std::int64_t i = first; i < last; ++i) {
        if (IsDrawn(pixels[i])) {
            line[x + i] = pixels[i];
        }
    }
    Changed();
}

Pixel QImageSurface::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= image_.width() || y >= image_.height()) {
        return kUndrawn;
    }
    return reinterpret_cast<const Pixel*>(image_.constScanLine(y))[x] | 0xFF000000u;
}

}  // namespace pixalto::ui
