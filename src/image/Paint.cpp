#include "image/Paint.h"

#include <algorithm>
#include <array>
#include <limits>

#include "image/PsxColor.h"
#include "platform/ByteOrder.h"

namespace pixalto {
namespace {

// Pixels whose data lies wholly inside the imageDataSize bytes.
std::uint64_t AvailablePixels(const ImageState& state) {
    std::uint64_t size = std::min<std::uint64_t>(state.imageDataSize, state.imageData.size());
    switch (state.bpp) {
        case 4:
            return size * 2;
        case 8:
            return size;
        case 16:
            return size / 2;
        case 24:
            return size / 3;
        default:
            return 0;
    }
}

// The raw value of pixel n: a CLUT index, a colour word, or r + g*256 + b*65536.
template <std::uint32_t Bpp>
std::uint32_t PixelValue(const std::uint8_t* data, std::uint64_t n) {
    if constexpr (Bpp == 4) {
        std::uint8_t byte = data[n / 2];
        return (n & 1) ? byte >> 4 : byte & 0x0F;
    } else if constexpr (Bpp == 8) {
        return data[n];
    } else if constexpr (Bpp == 16) {
        return ReadU16LE(data + 2 * n);
    } else {
        const std::uint8_t* p = data + 3 * n;
        return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16);
    }
}

// What each CLUT index of the current set draws, resolved once per paint.
std::array<Pixel, 256> BuildClutLookup(const ImageState& state, const ViewOptions& view) {
    std::array<Pixel, 256> lookup{};
    const std::uint64_t setEntries = ClutSetEntries(state.bpp);
    const std::uint64_t entriesInClut =
        std::min<std::uint64_t>(state.clutDataSize, state.clutData.size()) / 2;
    const std::uint64_t first = std::uint64_t{view.currentSet} * setEntries;
    for (std::uint64_t index = 0; index < setEntries; ++index) {
        std::uint64_t entry = first + index;
        if (entry >= entriesInClut) {
            lookup[index] = kUndrawn;
            continue;
        }
        PsxColor word = ReadU16LE(state.clutData.data() + 2 * entry);
        lookup[index] = (word == 0 && view.transparency) ? kUndrawn : PsxToPixel(word);
    }
    return lookup;
}

template <std::uint32_t Bpp>
Pixel ColourOf(std::uint32_t value, const std::array<Pixel, 256>& clut, bool transparency) {
    if constexpr (Bpp == 4 || Bpp == 8) {
        return clut[value];
    } else if constexpr (Bpp == 16) {
        return (value == 0 && transparency) ? kUndrawn : PsxToPixel(static_cast<PsxColor>(value));
    } else {
        return MakePixel(static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
                         static_cast<std::uint8_t>(value >> 16));
    }
}

template <std::uint32_t Bpp>
void PaintRows(const ImageState& state, const ViewOptions& view, std::uint32_t rows,
               Surface& surface, SurfacePoint origin) {
    const std::array<Pixel, 256> clut =
        (Bpp == 4 || Bpp == 8) ? BuildClutLookup(state, view) : std::array<Pixel, 256>{};
    const std::uint8_t* data = state.imageData.data();
    const std::uint64_t available = AvailablePixels(state);
    const std::uint64_t width = state.pixelWidth;
    const std::uint64_t lowerHalf = state.imageHeight / 2;
    // Only as wide as the data can fill, whatever the header claims.
    std::vector<Pixel> row(static_cast<std::size_t>(std::min(width, available)));

    for (std::uint32_t y = 0; y < rows; ++y) {
        const std::uint64_t upper = y * width;
        const std::uint64_t lower = (lowerHalf + y) * width;
        // Pixels past the end of the data (of either half when split) stay undrawn.
        const std::uint64_t last = view.splitImage ? lower : upper;
        const std::uint64_t valid = available > last ? std::min(width, available - last) : 0;
        if (valid == 0) {
            // Every later row lies further into the data: nothing more to draw.
            // Stopping here keeps a header that claims a huge image over a few
            // bytes of data from costing a pass over every claimed pixel.
            break;
        }
        for (std::uint64_t x = 0; x < valid; ++x) {
            std::uint32_t value = PixelValue<Bpp>(data, upper + x);
            if (view.splitImage) {
                value |= PixelValue<Bpp>(data, lower + x);
            }
            row[x] = ColourOf<Bpp>(value, clut, view.transparency);
        }
        surface.DrawRow(origin.x, origin.y + static_cast<int>(y),
                        std::span<const Pixel>(row.data(), static_cast<std::size_t>(valid)));
    }
}

int ClampToInt(std::uint64_t v) {
    return static_cast<int>(std::min<std::uint64_t>(v, std::numeric_limits<int>::max()));
}

}  // namespace

std::uint32_t RowsToPaint(const ImageState& state, bool splitImage) {
    return splitImage ? state.imageHeight / 2u : state.imageHeight;
}

DrawableExtent DrawableExtentOf(const ImageState& state, bool splitImage) {
    const std::uint64_t available = state.IsLoaded() ? AvailablePixels(state) : 0;
    const std::uint64_t width = state.pixelWidth;
    const std::uint64_t rows = RowsToPaint(state, splitImage);
    if (width == 0 || rows == 0) {
        return {};
    }
    // A row holds data when its first pixel does (of the lower half too, when
    // split), exactly the rows PaintRows draws.
    const std::uint64_t skip = splitImage ? state.imageHeight / 2u : 0;
    const std::uint64_t rowsWithData =
        available > skip * width ? (available - skip * width + width - 1) / width : 0;
    DrawableExtent extent;
    extent.rows = static_cast<std::uint32_t>(std::min(rows, rowsWithData));
    // Every row but the last is whole; a single row is as wide as its data.
    if (extent.rows == 1) {
        extent.width = static_cast<std::uint32_t>(std::min(width, available - skip * width));
    } else if (extent.rows > 1) {
        extent.width = static_cast<std::uint32_t>(width);
    }
    return extent;
}

void PaintImage(ImageState& state, const ViewOptions& view, Surface& surface, SurfacePoint origin) {
    const std::uint32_t rows = RowsToPaint(state, view.splitImage);
    if (view.transparency) {
        // Undrawn pixels must show the background, not the previous picture.
        EraseImageArea(surface, origin, state.paintedWidth, state.paintedHeight);
        if (view.checkerboard && state.IsLoaded()) {
            const DrawableExtent extent = DrawableExtentOf(state, view.splitImage);
            DrawCheckerboard(surface, origin, extent.width, extent.rows);
        }
    }
    state.paintedWidth = state.pixelWidth;
    state.paintedHeight = rows;
    if (!state.IsLoaded()) {
        return;
    }
    switch (state.bpp) {
        case 4:
            PaintRows<4>(state, view, rows, surface, origin);
            break;
        case 8:
            PaintRows<8>(state, view, rows, surface, origin);
            break;
        case 16:
            PaintRows<16>(state, view, rows, surface, origin);
            break;
        case 24:
            PaintRows<24>(state, view, rows, surface, origin);
            break;
        default:
            break;
    }
}

namespace {

template <std::uint32_t Bpp>
std::optional<PixelProbe> ProbeAt(const ImageState& state, const ViewOptions& view, std::uint32_t x,
                                  std::uint32_t y) {
    const std::uint64_t width = state.pixelWidth;
    const std::uint64_t upper = std::uint64_t{y} * width + x;
    const std::uint64_t lower = (std::uint64_t{state.imageHeight / 2u} + y) * width + x;
    if ((view.splitImage ? lower : upper) >= AvailablePixels(state)) {
        return std::nullopt;
    }
    std::uint32_t value = PixelValue<Bpp>(state.imageData.data(), upper);
    if (view.splitImage) {
        value |= PixelValue<Bpp>(state.imageData.data(), lower);
    }
    PixelProbe probe;
    probe.x = x;
    probe.y = y;
    if constexpr (Bpp == 24) {
        probe.rgb = ColourOf<24>(value, {}, false);
    } else {
        if constexpr (Bpp == 4 || Bpp == 8) {
            probe.clutIndex = value;
            const std::uint64_t entry =
                std::uint64_t{view.currentSet} * ClutSetEntries(Bpp) + value;
            if (entry < std::min<std::uint64_t>(state.clutDataSize, state.clutData.size()) / 2) {
                probe.word = ReadU16LE(state.clutData.data() + 2 * entry);
            }
        } else {
            probe.word = static_cast<std::uint16_t>(value);
        }
        probe.undrawn = !probe.word || (*probe.word == 0 && view.transparency);
    }
    return probe;
}

}  // namespace

std::optional<PixelProbe> ProbePixel(const ImageState& state, const ViewOptions& view,
                                     std::uint32_t x, std::uint32_t y) {
    if (!state.IsLoaded() || x >= state.pixelWidth || y >= RowsToPaint(state, view.splitImage)) {
        return std::nullopt;
    }
    switch (state.bpp) {
        case 4:
            return ProbeAt<4>(state, view, x, y);
        case 8:
            return ProbeAt<8>(state, view, x, y);
        case 16:
            return ProbeAt<16>(state, view, x, y);
        case 24:
            return ProbeAt<24>(state, view, x, y);
        default:
            return std::nullopt;
    }
}

void DrawCheckerboard(Surface& surface, SurfacePoint origin, std::uint32_t width,
                      std::uint32_t rows) {
    // Two kinds of row, starting light or dark; each drawn whole.
    std::vector<Pixel> bands[2];
    for (std::uint32_t band = 0; band < 2; ++band) {
        bands[band].resize(width);
        for (std::uint32_t x = 0; x < width; ++x) {
            bands[band][x] = ((x / kCheckerCell + band) & 1) ? kCheckerDark : kCheckerLight;
        }
    }
    for (std::uint32_t y = 0; y < rows; ++y) {
        surface.DrawRow(origin.x, origin.y + static_cast<int>(y), bands[(y / kCheckerCell) & 1]);
    }
}

void EraseImageArea(Surface& surface, SurfacePoint origin, std::uint32_t width,
                    std::uint32_t height) {
    if (width == 0 || height == 0) {
        return;
    }
    surface.FillSolidRect(origin.x, origin.y, ClampToInt(width), ClampToInt(height),
                          surface.ButtonFaceColor());
}

void EraseForClose(const ImageState& state, bool splitImage, Surface& surface,
                   SurfacePoint origin) {
    EraseImageArea(surface, origin, std::max(state.paintedWidth, state.pixelWidth),
                   std::max(state.paintedHeight, RowsToPaint(state, splitImage)));
}

}  // namespace pixalto
