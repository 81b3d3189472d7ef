#pragma once
// Fitting a painted picture into a square for a thumbnail: small pictures
// grow by a whole factor, each pixel a block, so pixel art stays sharp;
// large ones shrink by averaging the area each thumbnail pixel covers, with
// transparency weighed in. The fitting is a surface that the image is
// painted on, so the picture at full size is never held: a large one costs
// one row of it.

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/Surface.h"

namespace pixalto::cli {

struct ScaledPicture {
    int width = 0;
    int height = 0;
    std::vector<Pixel> pixels;  // row by row, 0xAARRGGBB
};

// A width x height surface (alpha 0 is transparent, as every pixel starts)
// whose picture comes out fitted into size x size, keeping its proportions:
// unscaled when it fits and no whole factor of 2 or more does. Rows must be
// drawn from top to bottom (a row may be drawn on more than once before the
// next); a row above the last one drawn is ignored.
class FittingSurface final : public Surface {
  public:
    FittingSurface(int width, int height, int size);

    void FillSolidRect(int x, int y, int w, int h, Pixel color) override;
    void DrawRow(int x, int y, std::span<const Pixel> pixels) override;
    Pixel ButtonFaceColor() const override { return kUndrawn; }

    // The fitted picture, once every row has been drawn; empty for an empty
    // surface or a size below 1.
    ScaledPicture Finish();

  private:
    using Sums = std::array<std::uint64_t, 4>;
    struct Span {
        int first = 0;
        std::uint64_t firstShare = 0;
        std::uint64_t nextShare = 0;
    };
    static std::vector<Span> Spans(int from, int to);

    void Flush();
    void Enlarge(int y);
    void Shrink(int y);
    void EmitRow();

    int width_;
    int height_;
    int factor_ = 0;  // the whole factor when enlarging, 0 when shrinking
    ScaledPicture out_;
    std::vector<Pixel> row_;  // the row being drawn
    int rowY_ = -1;
    // Shrinking: how source columns and rows fall on the target's, and the
    // sums of the two target rows a source row adds to.
    std::vector<Span> columns_, rows_;
    std::vector<Sums> current_, next_, rowSums_;
    int targetRow_ = 0;
};

// The picture of width x height pixels (row by row) fitted into size x size.
ScaledPicture ScaleToFit(std::span<const Pixel> pixels, int width, int height, int size);

}  // namespace pixalto::cli
