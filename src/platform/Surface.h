#pragma once
// The drawing target that image painting is given. The window's surface is a
// persistent backing store, so pixels that a paint leaves undrawn keep what
// was there before; the in-memory surface behaves the same and lets tests and
// the command line tool look at every pixel.

#include <cstdint>
#include <span>
#include <vector>

namespace pixalto {

// A 24-bit colour as 0xAARRGGBB. Painting produces opaque pixels (alpha 0xFF);
// in a row handed to Surface::DrawRow, a pixel with alpha 0 is left undrawn.
using Pixel = std::uint32_t;

constexpr Pixel kUndrawn = 0;
constexpr Pixel MakePixel(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return 0xFF000000u | (Pixel{r} << 16) | (Pixel{g} << 8) | Pixel{b};
}
constexpr std::uint8_t RedOf(Pixel p) {
    return static_cast<std::uint8_t>(p >> 16);
}
constexpr std::uint8_t GreenOf(Pixel p) {
    return static_cast<std::uint8_t>(p >> 8);
}
constexpr std::uint8_t BlueOf(Pixel p) {
    return static_cast<std::uint8_t>(p);
}
constexpr bool IsDrawn(Pixel p) {
    return (p >> 24) != 0;
}

// A point on a surface, in its pixels: where an image's top-left pixel goes.
struct SurfacePoint {
    int x = 0;
    int y = 0;
};

class Surface {
  public:
    virtual ~Surface() = default;

    // Fills w x h pixels from (x, y) with an opaque colour; parts outside the
    // surface are clipped, and a zero or negative size fills nothing.
    virtual void FillSolidRect(int x, int y, int w, int h, Pixel color) = 0;

    // Draws pixels.size() pixels of row y from column x, skipping every pixel
    // that is kUndrawn. This is the whole-row entry that painting uses: the
    // same pixels as one FillSolidRect per drawn pixel, in one call.
    virtual void DrawRow(int x, int y, std::span<const Pixel> pixels) = 0;

    // The background colour of the image area.
    virtual Pixel ButtonFaceColor() const = 0;
};

// A surface held in memory, width x height pixels, every pixel starting as
// the given fill (kUndrawn by default, so tests can tell what was drawn).
class MemorySurface final : public Surface {
  public:
    static constexpr Pixel kDefaultButtonFace = MakePixel(240, 240, 240);

    MemorySurface(int width, int height, Pixel fill = kUndrawn,
                  Pixel buttonFace = kDefaultButtonFace);

    void FillSolidRect(int x, int y, int w, int h, Pixel color) override;
    void DrawRow(int x, int y, std::span<const Pixel> pixels) override;
    Pixel ButtonFaceColor() const override { return buttonFace_; }

    int Width() const { return width_; }
    int Height() const { return height_; }
    // The pixel at (x, y); kUndrawn outside the surface.
    Pixel At(int x, int y) const;
    std::span<const Pixel> Row(int y) const;
    // Every pixel, row after row.
    std::span<const Pixel> Pixels() const { return pixels_; }
    void Clear(Pixel fill = kUndrawn);

  private:
    int width_;
    int height_;
    Pixel buttonFace_;
    std::vector<Pixel> pixels_;
};

}  // namespace pixalto
