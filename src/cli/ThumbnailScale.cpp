#include "cli/ThumbnailScale.h"

#include <algorithm>
#include <utility>

namespace pixalto::cli {
namespace {

void Add(std::array<std::uint64_t, 4>& sums, Pixel p, std::uint64_t share) {
    const std::uint64_t alpha = (p >> 24) * share;
    sums[0] += alpha;
    sums[1] += RedOf(p) * alpha;
    sums[2] += GreenOf(p) * alpha;
    sums[3] += BlueOf(p) * alpha;
}

// The colours weighed by their alpha, and the alpha over the whole area.
Pixel Average(const std::array<std::uint64_t, 4>& sums, std::uint64_t area) {
    if (sums[0] == 0) {
        return kUndrawn;
    }
    const auto channel = [&](int i) {
        return static_cast<std::uint8_t>((sums[i] + sums[0] / 2) / sums[0]);
    };
    const auto alpha = static_cast<Pixel>((sums[0] + area / 2) / area);
    return (alpha << 24) | (MakePixel(channel(1), channel(2), channel(3)) & 0xFFFFFFu);
}

}  // namespace

// How each of `from` source columns (or rows) of a shrink falls on the `to`
// target ones: a share of `first`, and the rest (when it straddles a border)
// of first + 1. Measured in units where a source pixel is `to` long and a
// target pixel `from` long, so every share is a whole number.
std::vector<FittingSurface::Span> FittingSurface::Spans(int from, int to) {
    std::vector<Span> spans(static_cast<std::size_t>(from));
    for (int s = 0; s < from; ++s) {
        const std::uint64_t begin = std::uint64_t(s) * to;
        const std::uint64_t end = begin + to;
        const auto first = static_cast<int>(begin / from);
        const std::uint64_t border = std::uint64_t(first + 1) * from;
        spans[s] = {first, std::min(end, border) - begin, end > border ? end - border : 0};
    }
    return spans;
}

FittingSurface::FittingSurface(int width, int height, int size)
    : width_(std::max(width, 0)), height_(std::max(height, 0)) {
    if (width_ == 0 || height_ == 0 || size <= 0) {
        width_ = height_ = 0;
        return;
    }
    row_.assign(static_cast<std::size_t>(width_), kUndrawn);
    if (width_ <= size && height_ <= size) {
        factor_ = std::min(size / width_, size / height_);
        out_ = {width_ * factor_, height_ * factor_, {}};
        out_.pixels.assign(
            static_cast<std::size_t>(out_.width) * static_cast<std::size_t>(out_.height), kUndrawn);
        return;
    }
    // The longer side becomes size; the other keeps the proportion, rounded,
    // and at least one pixel.
    const std::int64_t longer = std::max(width_, height_);
    const auto fit = [&](std::int64_t side) {
        return static_cast<int>(std::max<std::int64_t>(1, (side * size + longer / 2) / longer));
    };
    out_ = {fit(width_), fit(height_), {}};
    out_.pixels.reserve(static_cast<std::size_t>(out_.width) *
                        static_cast<std::size_t>(out_.height));
    columns_ = Spans(width_, out_.width);
    rows_ = Spans(height_, out_.height);
    current_.assign(static_cast<std::size_t>(out_.width), Sums{});
    next_ = rowSums_ = current_;
}

void FittingSurface::FillSolidRect(int x, int y, int w, int h, Pixel color) {
    const int left = std::max(x, 0);
    const int right = std::min<std::int64_t>(std::int64_t{x} + w, width_);
    if (right <= left) {
        return;
    }
    const std::vector<Pixel> row(static_cast<std::size_t>(right - left), color);
    for (int line = std::max(y, 0); line < std::min<std::int64_t>(std::int64_t{y} + h, height_);
         ++line) {
        DrawRow(left, line, row);
    }
}

void FittingSurface::DrawRow(int x, int y, std::span<const Pixel> pixels) {
    if (y < 0 || y >= height_ || y < rowY_) {
        return;
    }
    if (y != rowY_) {
        Flush();
        rowY_ = y;
    }
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        const std::int64_t column = std::int64_t{x} + static_cast<std::int64_t>(i);
        if (column >= 0 && column < width_ && IsDrawn(pixels[i])) {
            row_[static_cast<std::size_t>(column)] = pixels[i];
        }
    }
}

void FittingSurface::Flush() {
    if (rowY_ < 0 || rowY_ >= height_) {
        return;
    }
    if (factor_ != 0) {
        Enlarge(rowY_);
    } else {
        Shrink(rowY_);
    }
    std::fill(row_.begin(), row_.end(), kUndrawn);
}

// Each pixel of the row as a factor x factor block.
void FittingSurface::Enlarge(int y) {
    const auto outWidth = static_cast<std::size_t>(out_.width);
    const auto first = out_.pixels.begin() + static_cast<std::ptrdiff_t>(
                                                 static_cast<std::size_t>(y) * factor_ * outWidth);
    auto target = first;
    for (const Pixel p : row_) {
        target = std::fill_n(target, factor_, p);
    }
    for (int copy = 1; copy < factor_; ++copy) {
        target = std::copy_n(first, outWidth, target);
    }
}

// Area averaging: the row is summed into the target's columns, and those
// sums shared between the (at most two) target rows it falls on, so that a
// source pixel costs one or two sums. Target rows above are complete.
void FittingSurface::Shrink(int y) {
    const Span& row = rows_[static_cast<std::size_t>(y)];
    while (targetRow_ < row.first) {
        EmitRow();
    }
    std::fill(rowSums_.begin(), rowSums_.end(), Sums{});
    for (std::size_t x = 0; x < row_.size(); ++x) {
        const Pixel p = row_[x];
        if (p >> 24 == 0) {
            continue;
        }
        const Span& column = columns_[x];
        Add(rowSums_[static_cast<std::size_t>(column.first)], p, column.firstShare);
        if (column.nextShare != 0) {
            Add(rowSums_[static_cast<std::size_t>(column.first) + 1], p, column.nextShare);
        }
    }
    for (std::size_t x = 0; x < rowSums_.size(); ++x) {
        for (std::size_t i = 0; i < 4; ++i) {
            current_[x][i] += rowSums_[x][i] * row.firstShare;
            next_[x][i] += rowSums_[x][i] * row.nextShare;
        }
    }
}

void FittingSurface::EmitRow() {
    const std::uint64_t area = std::uint64_t(width_) * std::uint64_t(height_);
    for (const Sums& sums : current_) {
        out_.pixels.push_back(Average(sums, area));
    }
    current_.swap(next_);
    std::fill(next_.begin(), next_.end(), Sums{});
    ++targetRow_;
}

ScaledPicture FittingSurface::Finish() {
    Flush();
    rowY_ = height_;  // nothing more is taken
    if (factor_ == 0) {
        while (targetRow_ < out_.height) {
            EmitRow();
        }
    }
    return std::move(out_);
}

ScaledPicture ScaleToFit(std::span<const Pixel> pixels, int width, int height, int size) {
    if (width <= 0 || height <= 0 ||
        pixels.size() < static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {
        return {};
    }
    FittingSurface surface(width, height, size);
    for (int y = 0; y < height; ++y) {
        surface.DrawRow(0, y, pixels.subspan(static_cast<std::size_t>(y) * width, width));
    }
    return surface.Finish();
}

}  // namespace pixalto::cli
