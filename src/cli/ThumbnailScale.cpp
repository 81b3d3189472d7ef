#include "cli/ThumbnailScale.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace pixalto::cli {
namespace {

ScaledPicture Enlarge(std::span<const Pixel> pixels, int width, int height, int factor) {
    ScaledPicture out{width * factor, height * factor, {}};
    const auto outWidth = static_cast<std::size_t>(out.width);
    out.pixels.resize(outWidth * static_cast<std::size_t>(out.height));
    auto target = out.pixels.begin();
    for (int y = 0; y < height; ++y) {
        const auto first = target;
        for (const Pixel p : pixels.subspan(static_cast<std::size_t>(y) * width, width)) {
            target = std::fill_n(target, factor, p);
        }
        for (int copy = 1; copy < factor; ++copy) {
            target = std::copy_n(first, outWidth, target);
        }
    }
    return out;
}

// How one source column (or row) of a shrink falls on the target's: a
// share of `first`, and the rest (when it straddles a border) of first + 1.
// Measured in units where a source pixel is `to` long and a target pixel
// `from` long, so every share is a whole number.
struct Span {
    int first = 0;
    std::uint64_t firstShare = 0;
    std::uint64_t nextShare = 0;
};

std::vector<Span> Spans(int from, int to) {
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

// Alpha and alpha-weighted red, green, blue, summed over a target pixel.
using Sums = std::array<std::uint64_t, 4>;

void Add(Sums& sums, Pixel p, std::uint64_t share) {
    const std::uint64_t alpha = (p >> 24) * share;
    sums[0] += alpha;
    sums[1] += RedOf(p) * alpha;
    sums[2] += GreenOf(p) * alpha;
    sums[3] += BlueOf(p) * alpha;
}

Pixel Average(const Sums& sums, std::uint64_t area) {
    if (sums[0] == 0) {
        return kUndrawn;
    }
    const auto channel = [&](int i) {
        return static_cast<std::uint8_t>((sums[i] + sums[0] / 2) / sums[0]);
    };
    const auto alpha = static_cast<Pixel>((sums[0] + area / 2) / area);
    return (alpha << 24) | (MakePixel(channel(1), channel(2), channel(3)) & 0xFFFFFFu);
}

// Area averaging, one target row at a time: a source row adds to at most two
// target rows, so only those two rows of sums are kept.
ScaledPicture Shrink(std::span<const Pixel> pixels, int width, int height, int outWidth,
                     int outHeight) {
    ScaledPicture out{outWidth, outHeight, {}};
    out.pixels.reserve(static_cast<std::size_t>(outWidth) * static_cast<std::size_t>(outHeight));
    const std::vector<Span> columns = Spans(width, outWidth);
    const std::vector<Span> rows = Spans(height, outHeight);
    const std::uint64_t area = std::uint64_t(width) * std::uint64_t(height);
    std::vector<Sums> current(static_cast<std::size_t>(outWidth));
    std::vector<Sums> next(static_cast<std::size_t>(outWidth));
    int targetRow = 0;
    const auto emitRow = [&] {
        for (const Sums& sums : current) {
            out.pixels.push_back(Average(sums, area));
        }
        current.swap(next);
        std::fill(next.begin(), next.end(), Sums{});
        ++targetRow;
    };
    for (int y = 0; y < height; ++y) {
        const Span& row = rows[y];
        while (targetRow < row.first) {
            emitRow();
        }
        const Pixel* source = pixels.data() + static_cast<std::size_t>(y) * width;
        for (int x = 0; x < width; ++x) {
            const Span& column = columns[x];
            const Pixel p = source[x];
            if (p >> 24 == 0) {
                continue;
            }
            Add(current[column.first], p, row.firstShare * column.firstShare);
            if (column.nextShare != 0) {
                Add(current[column.first + 1], p, row.firstShare * column.nextShare);
            }
            if (row.nextShare != 0) {
                Add(next[column.first], p, row.nextShare * column.firstShare);
                if (column.nextShare != 0) {
                    Add(next[column.first + 1], p, row.nextShare * column.nextShare);
                }
            }
        }
    }
    while (targetRow < outHeight) {
        emitRow();
    }
    return out;
}

}  // namespace

ScaledPicture ScaleToFit(std::span<const Pixel> pixels, int width, int height, int size) {
    if (width <= 0 || height <= 0 || size <= 0 ||
        pixels.size() < static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {
        return {};
    }
    if (width <= size && height <= size) {
        return Enlarge(pixels, width, height, std::min(size / width, size / height));
    }
    // The longer side becomes size; the other keeps the proportion, rounded,
    // and at least one pixel.
    const std::int64_t longer = std::max(width, height);
    const auto fit = [&](std::int64_t side) {
        return static_cast<int>(std::max<std::int64_t>(1, (side * size + longer / 2) / longer));
    };
    return Shrink(pixels, width, height, fit(width), fit(height));
}

}  // namespace pixalto::cli
