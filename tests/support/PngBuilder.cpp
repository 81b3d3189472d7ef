#include "support/PngBuilder.h"

#include <png.h>

#include <cstring>
#include <stdexcept>

namespace pixalto::testing {
namespace {

int Channels(int colourType) {
    switch (colourType) {
        case PNG_COLOR_TYPE_RGB:
            return 3;
        case PNG_COLOR_TYPE_GRAY_ALPHA:
            return 2;
        case PNG_COLOR_TYPE_RGBA:
            return 4;
        default:
            return 1;
    }
}

void Append(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void Flush(png_structp) {}

// Rows of samples packed at the bit depth: high bits first below 8, big-endian at 16.
std::vector<std::vector<std::uint8_t>> PackedRows(const PngSpec& shape) {
    const int perRow = shape.width * Channels(shape.colourType);
    std::vector<std::vector<std::uint8_t>> rows(shape.height);
    for (int y = 0; y < shape.height; ++y) {
        std::vector<std::uint8_t>& row = rows[y];
        row.assign((static_cast<std::size_t>(perRow) * shape.bitDepth + 7) / 8, 0);
        for (int i = 0; i < perRow; ++i) {
            const std::uint16_t v = shape.samples.at(static_cast<std::size_t>(y) * perRow + i);
            if (shape.bitDepth == 16) {
                row[2 * i] = static_cast<std::uint8_t>(v >> 8);
                row[2 * i + 1] = static_cast<std::uint8_t>(v);
            } else {
                const int bit = i * shape.bitDepth;
                row[bit / 8] |= static_cast<std::uint8_t>(v << (8 - shape.bitDepth - bit % 8));
            }
        }
    }
    return rows;
}

std::uint32_t U32At(const std::vector<std::uint8_t>& png, std::size_t at) {
    return (std::uint32_t{png[at]} << 24) | (png[at + 1] << 16) | (png[at + 2] << 8) | png[at + 3];
}

// Calls visit(start, length, name) for every chunk after the signature.
template <typename Visit>
void ForEachChunk(const std::vector<std::uint8_t>& png, Visit visit) {
    for (std::size_t at = 8; at + 12 <= png.size();) {
        const std::uint32_t length = U32At(png, at);
        visit(at, length, std::string(png.begin() + at + 4, png.begin() + at + 8));
        at += 12 + std::size_t{length};
    }
}

}  // namespace

std::vector<std::uint8_t> MakePng(const PngSpec& shape) {
    std::vector<std::uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    auto rows = PackedRows(shape);
    std::vector<png_bytep> pointers;
    for (auto& row : rows) {
        pointers.push_back(row.data());
    }
    std::vector<png_unknown_chunk> chunks(shape.chunks.size());
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        throw std::runtime_error("PNG not written");
    }
    png_set_write_fn(png, &out, Append, Flush);
    png_set_IHDR(png, info, shape.width, shape.height, shape.bitDepth, shape.colourType,
                 shape.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!shape.palette.empty()) {
        std::vector<png_color> colours;
        for (std::size_t i = 0; i + 2 < shape.palette.size(); i += 3) {
            colours.push_back({shape.palette[i], shape.palette[i + 1], shape.palette[i + 2]});
        }
        png_set_PLTE(png, info, colours.data(), static_cast<int>(colours.size()));
    }
    if (!shape.trns.empty()) {
        png_set_tRNS(png, info, shape.trns.data(), static_cast<int>(shape.trns.size()), nullptr);
    }
    for (std::size_t i = 0; i < chunks.size(); ++i) {
        std::memcpy(chunks[i].name, shape.chunks[i].first.c_str(), 5);
        chunks[i].data = const_cast<png_bytep>(shape.chunks[i].second.data());
        chunks[i].size = shape.chunks[i].second.size();
        chunks[i].location = PNG_HAVE_IHDR;
    }
    if (!chunks.empty()) {
        png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_ALWAYS, nullptr, 0);
        png_set_unknown_chunks(png, info, chunks.data(), static_cast<int>(chunks.size()));
    }
    png_write_info(png, info);
    png_write_image(png, pointers.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

std::vector<std::uint8_t> WithoutChunk(const std::vector<std::uint8_t>& png,
                                       const std::string& name) {
    std::vector<std::uint8_t> out(png.begin(), png.begin() + std::min<std::size_t>(8, png.size()));
    ForEachChunk(png, [&](std::size_t at, std::uint32_t length, const std::string& chunk) {
        if (chunk != name) {
            out.insert(out.end(), png.begin() + at, png.begin() + at + 12 + length);
        }
    });
    return out;
}

std::vector<std::uint8_t> ChunkData(const std::vector<std::uint8_t>& png, const std::string& name) {
    std::vector<std::uint8_t> data;
    bool found = false;
    ForEachChunk(png, [&](std::size_t at, std::uint32_t length, const std::string& chunk) {
        if (chunk == name && !found) {
            found = true;
            data.assign(png.begin() + at + 8, png.begin() + at + 8 + length);
        }
    });
    return data;
}

}  // namespace pixalto::testing
