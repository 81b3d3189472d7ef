#pragma once
// Painting the loaded image into the image area of a surface, one surface
// pixel per image pixel, and erasing that area.

#include <cstdint>
#include <optional>
#include <vector>

#include "image/ImageState.h"
#include "platform/Surface.h"

namespace pixalto {

// The view options that decide what a paint draws.
struct ViewOptions {
    std::uint32_t currentSet = 0;  // CLUT set used for 4- and 8-bit images
    bool splitImage = false;       // OR the lower half of the image onto the upper half
    bool transparency = false;     // leave colour word 0 undrawn
    // With transparency, what is left undrawn shows a checkerboard rather
    // than the background, so that it can be told from a grey of the image.
    bool checkerboard = false;
};

// The checkerboard: squares of kCheckerCell image pixels, light at the
// image's top-left corner.
inline constexpr Pixel kCheckerLight = MakePixel(255, 255, 255);
inline constexpr Pixel kCheckerDark = MakePixel(204, 204, 204);
inline constexpr std::uint32_t kCheckerCell = 8;
void DrawCheckerboard(Surface& surface, SurfacePoint origin, std::uint32_t width,
                      std::uint32_t rows);

// Rows a paint draws: imageHeight, or half of it (rounded down) when split.
std::uint32_t RowsToPaint(const ImageState& state, bool splitImage);

// The part of the image a paint can actually draw: the columns and rows that
// hold at least one pixel of data. A header may claim 65535 x 65535 pixels
// over a few bytes; whoever sizes a buffer for the picture (a PNG, the
// window's surface) sizes it by this, never by the header.
struct DrawableExtent {
    std::uint32_t width = 0;
    std::uint32_t rows = 0;
};
DrawableExtent DrawableExtentOf(const ImageState& state, bool splitImage);

// Draws the loaded image (state.IsLoaded() must hold) with its top-left pixel
// at origin and records the extent in paintedWidth/paintedHeight. With
// transparency the previous extent is erased first, and with the checkerboard
// too the checkerboard is laid under the part of the image that has data. Pixels whose
// data lies beyond imageData, CLUT indices whose entry lies beyond clutData,
// and (with transparency) colour word 0 are left undrawn.
void PaintImage(ImageState& state, const ViewOptions& view, Surface& surface, SurfacePoint origin);

// What one pixel of the image holds, as a paint with the view reads it.
struct PixelProbe {
    std::uint32_t x = 0;
    std::uint32_t y = 0;
    std::optional<std::uint32_t> clutIndex;  // 4- and 8-bit
    // The colour word: the CLUT entry's (when the CLUT holds it) or the
    // pixel's own (16-bit).
    std::optional<std::uint16_t> word;
    std::optional<Pixel> rgb;  // 24-bit
    bool undrawn = false;      // a paint leaves it showing the background
};

// The pixel at (x, y) of what a paint draws; nothing outside the drawn rows
// and columns, or where the data ends.
std::optional<PixelProbe> ProbePixel(const ImageState& state, const ViewOptions& view,
                                     std::uint32_t x, std::uint32_t y);

// Fills width x height pixels from origin with the button-face colour; either
// size 0 fills nothing.
void EraseImageArea(Surface& surface, SurfacePoint origin, std::uint32_t width,
                    std::uint32_t height);

// Erases what a paint of the current image may have left, as closing the image
// does before the pixel buffer goes: the larger of the last painted extent and
// the extent the current view would paint, in each direction.
void EraseForClose(const ImageState& state, bool splitImage, Surface& surface, SurfacePoint origin);

}  // namespace pixalto
