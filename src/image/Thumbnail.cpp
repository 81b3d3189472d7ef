#include "image/Thumbnail.h"

#include <algorithm>

#include "image/Paint.h"

namespace pixalto {
namespace {

// For each thumbnail column (or row), the image column (or row) whose pixel
// it shows: the one under its centre.
std::vector<std::uint32_t> Samples(std::uint32_t from, std::uint32_t to) {
    std::vector<std::uint32_t> samples(to);
    for (std::uint32_t i = 0; i < to; ++i) {
        samples[i] = static_cast<std::uint32_t>((2 * std::uint64_t{i} + 1) * from / (2 * to));
    }
    return samples;
}

// Takes what a paint draws and keeps only the pixels that the thumbnail
// samples; the sampled columns and rows rise strictly, as it never enlarges.
class SamplingSurface final : public Surface {
  public:
    SamplingSurface(Thumbnail& out, std::uint32_t sourceWidth, std::uint32_t sourceRows)
        : out_(out),
          columns_(Samples(sourceWidth, out.width)),
          rows_(Samples(sourceRows, out.height)) {}

    void FillSolidRect(int x, int y, int w, int h, Pixel color) override {
        for (int row = y; w > 0 && row < y + h; ++row) {
            const std::vector<Pixel> run(static_cast<std::size_t>(w), color);
            DrawRow(x, row, run);
        }
    }

    void DrawRow(int x, int y, std::span<const Pixel> pixels) override {
        if (x < 0 || y < 0) {
            return;
        }
        const auto row =
            std::lower_bound(rows_.begin(), rows_.end(), static_cast<std::uint32_t>(y));
        if (row == rows_.end() || *row != static_cast<std::uint32_t>(y)) {
            return;
        }
        Pixel* target = out_.pixels.data() + (row - rows_.begin()) * out_.width;
        const auto first = static_cast<std::uint64_t>(x);
        for (std::size_t column = 0; column < columns_.size(); ++column) {
            const std::uint64_t source = columns_[column];
            if (source >= first && source - first < pixels.size() &&
                IsDrawn(pixels[source - first])) {
                target[column] = pixels[source - first];
            }
        }
    }

    Pixel ButtonFaceColor() const override { return kUndrawn; }

  private:
    Thumbnail& out_;
    std::vector<std::uint32_t> columns_;
    std::vector<std::uint32_t> rows_;
};

}  // namespace

Thumbnail MakeThumbnail(ImageState& state, std::uint32_t maxSide) {
    Thumbnail thumbnail;
    const DrawableExtent extent = DrawableExtentOf(state, /*splitImage=*/false);
    if (extent.width == 0 || extent.rows == 0 || maxSide == 0) {
        return thumbnail;
    }
    const std::uint32_t longest = std::max(extent.width, extent.rows);
    const auto fit = [&](std::uint32_t side) {
        if (longest <= maxSide) {
            return side;
        }
        return std::max<std::uint32_t>(
            static_cast<std::uint32_t>(std::uint64_t{side} * maxSide / longest), 1);
    };
    thumbnail.width = fit(extent.width);
    thumbnail.height = fit(extent.rows);
    thumbnail.pixels.assign(std::size_t{thumbnail.width} * thumbnail.height, kUndrawn);
    SamplingSurface sampler(thumbnail, extent.width, extent.rows);
    // Painting records its extent; the state keeps the one it had.
    const std::uint32_t paintedWidth = state.paintedWidth;
    const std::uint32_t paintedHeight = state.paintedHeight;
    PaintImage(state, ViewOptions{}, sampler, {0, 0});
    state.paintedWidth = paintedWidth;
    state.paintedHeight = paintedHeight;
    return thumbnail;
}

}  // namespace pixalto
