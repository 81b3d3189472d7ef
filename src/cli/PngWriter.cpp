#include "cli/PngWriter.h"

#include <png.h>
#include <zlib.h>

#include <vector>

namespace pixalto::cli {
namespace {

struct SinkState {
    const ByteSink* sink;
    bool failed = false;
};

// libpng's write callback. A refusal is remembered rather than raised with
// png_error: jumping out of a std::function call would skip its frames.
void WriteToSink(png_structp png, png_bytep data, png_size_t length) {
    auto* state = static_cast<SinkState*>(png_get_io_ptr(png));
    if (!state->failed && !(*state->sink)(data, length)) {
        state->failed = true;
    }
}

void FlushNothing(png_structp) {}

// Fills one RGBA row from painted pixels with their alpha (a painted one is
// opaque, a thumbnail's edge may be partly so); undrawn ones are clear.
void FillRow(const Pixel* source, int width, std::vector<png_byte>& row) {
    for (int x = 0; x < width; ++x) {
        const Pixel p = source[x];
        const bool drawn = IsDrawn(p);
        row[4 * x + 0] = drawn ? RedOf(p) : 0;
        row[4 * x + 1] = drawn ? GreenOf(p) : 0;
        row[4 * x + 2] = drawn ? BlueOf(p) : 0;
        row[4 * x + 3] = static_cast<png_byte>(p >> 24);
    }
}

}  // namespace

bool WritePng(int width, int height, std::span<const Pixel> pixels, const ByteSink& sink,
              bool quick) {
    if (width <= 0 || height <= 0 ||
        pixels.size() < static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    std::vector<png_byte> row(static_cast<std::size_t>(width) * 4);
    SinkState state{&sink};
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, &state, WriteToSink, FlushNothing);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (quick) {
        png_set_compression_level(png, 1);
        png_set_compression_strategy(png, Z_RLE);
        png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_UP);
    }
    png_write_info(png, info);
    for (int y = 0; y < height && !state.failed; ++y) {
        FillRow(pixels.data() + static_cast<std::size_t>(y) * width, width, row);
        png_write_row(png, row.data());
    }
    if (!state.failed) {
        png_write_end(png, nullptr);
    }
    png_destroy_write_struct(&png, &info);
    return !state.failed;
}

}  // namespace pixalto::cli
