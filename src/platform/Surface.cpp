#include "platform/Surface.h"

#include <algorithm>

namespace pixalto {

MemorySurface::MemorySurface(int width, int height, Pixel fill, Pixel buttonFace)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      buttonFace_(buttonFace),
      pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), fill) {}

void MemorySurface::FillSolidRect(int x, int y, int w, int h, Pixel color) {
    // Work in 64 bits so that huge rectangles near INT_MAX cannot overflow.
    std::int64_t left = std::max<std::int64_t>(x, 0);
    std::int64_t top = std::max<std::int64_t>(y, 0);
    std::int64_t right = std::min<std::int64_t>(std::int64_t{x} + w, width_);
    std::int64_t bottom = std::min<std::int64_t>(std::int64_t{y} + h, height_);
    color |= 0xFF000000u;
    for (std::int64_t row = top; row < bottom; ++row) {
        auto* begin = pixels_.data() + row * width_;
        std::fill(begin + left, begin + std::max(left, right), color);
    }
}

void MemorySurface::DrawRow(int x, int y, std::span<const Pixel> pixels) {
    if (y < 0 || y >= height_) {
        return;
    }
    std::int64_t first = std::max<std::int64_t>(0, -std::int64_t{x});
    std::int64_t last =
        std::min<std::int64_t>(static_cast<std::int64_t>(pixels.size()), std::int64_t{width_} - x);
    Pixel* row = pixels_.data() + static_cast<std::size_t>(y) * width_;
    for (std::int64_t i = first; i < last; ++i) {
        if (IsDrawn(pixels[i])) {
            row[x + i] = pixels[i];
        }
    }
}

Pixel MemorySurface::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        return kUndrawn;
    }
    return pixels_[static_cast<std::size_t>(y) * width_ + x];
}

std::span<const Pixel> MemorySurface::Row(int y) const {
    if (y < 0 || y >= height_) {
        return {};
    }
    return {pixels_.data() + static_cast<std::size_t>(y) * width_,
            static_cast<std::size_t>(width_)};
}

void MemorySurface::Clear(Pixel fill) {
    std::fill(pixels_.begin(), pixels_.end(), fill);
}

}  // namespace pixalto
