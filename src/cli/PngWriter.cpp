#include "cli/PngWriter.h"

#include <png.h>

#include <cstdio>
#include <memory>
#include <vector>

namespace pixalto::cli {

std::string WritePng(const std::string& path, int width, int height,
                     std::span<const Pixel> pixels) {
    if (width <= 0 || height <= 0) {
        return "nothing to write: the painted area is empty";
    }
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "wb"),
                                                         std::fclose);
    if (!file) {
        return "Couldn't create file " + path + "!";
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        return "Not enough memory to write " + path;
    }
    std::vector<png_byte> row(static_cast<std::size_t>(width) * 4);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return "Couldn't write " + path;
    }
    png_init_io(png, file.get());
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y) {
        const Pixel* source = pixels.data() + static_cast<std::size_t>(y) * width;
        for (int x = 0; x < width; ++x) {
            Pixel p = source[x];
            bool drawn = IsDrawn(p);
            row[4 * x + 0] = drawn ? RedOf(p) : 0;
            row[4 * x + 1] = drawn ? GreenOf(p) : 0;
            row[4 * x + 2] = drawn ? BlueOf(p) : 0;
            row[4 * x + 3] = drawn ? 0xFF : 0;
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    if (std::fflush(file.get()) != 0 || std::ferror(file.get())) {
        return "Couldn't write " + path;
    }
    return {};
}

}  // namespace pixalto::cli
