#include "image/Png.h"

#include <libimagequant.h>
#include <png.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <new>
#include <optional>

#include "image/AlphaRule.h"
#include "image/PixelBuffer.h"
#include "image/Sidecar.h"
#include "platform/ByteOrder.h"
#include "platform/File.h"
#include "platform/FileReplace.h"

namespace pixalto {
namespace {

using Bytes = std::span<const std::uint8_t>;

constexpr std::uint8_t kRecordMagic[2] = {'P', 'N'};
constexpr std::size_t kRecordHeadSize = 8;
// The widest PNG a TIM can take (4-bit, 65535 units) and the highest.
constexpr std::uint32_t kMaxPngWidth = 0xFFFF * 4;
constexpr std::uint32_t kMaxPngHeight = 0xFFFF;
// The longest record: the longest sidecar, the palette set, two spare bytes a row.
constexpr std::size_t kMaxRecordSize = kMaxSidecarSize + kRecordHeadSize + 512 + 2 * 0xFFFF;

// Bytes of a 24-bit row that no whole pixel covers.
constexpr std::uint32_t SpareRowBytes(std::uint32_t bpp, std::uint16_t units) {
    return bpp == 24 ? units * 2u - PixelWidthFor(bpp, units) * 3u : 0;
}

// TIM width in units for a PNG width: every pixel is kept, a part-filled unit
// padded with index 0 (4- and 8-bit), as 24-bit rows end with a spare byte.
constexpr std::uint64_t UnitsForWidth(std::uint32_t bpp, std::uint64_t width) {
    switch (bpp) {
        case 4:
            return (width + 3) / 4;
        case 8:
            return (width + 1) / 2;
        case 16:
            return width;
        default:
            return (width * 3 + 1) / 2;
    }
}

std::uint8_t ByteAt(Bytes bytes, std::uint64_t at) {
    return at < bytes.size() ? bytes[at] : 0;
}

PsxColor WordAt(Bytes bytes, std::uint64_t at) {
    return static_cast<PsxColor>(ByteAt(bytes, at) | (ByteAt(bytes, at + 1) << 8));
}

void AppendU16(std::vector<std::uint8_t>& out, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

// Writes bytes to a file created for replacing its target, and flushes it.
bool Store(PendingFile& file, const std::vector<std::uint8_t>& bytes) {
    return file.file().Write(bytes.data(), bytes.size()) && file.Finish();
}

constexpr std::array<std::uint32_t, 4> kAllDepths = {4, 8, 16, 24};

// The bytes of the file at path, at most limit of them.
Error ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes,
                    std::optional<std::uint64_t> limit) {
    File file;
    if (!file.Open(path, File::Mode::Read)) {
        return file.LastError().As(ErrorCode::CouldntOpenFile);
    }
    const auto length = static_cast<std::uint64_t>(std::max<std::int64_t>(file.GetLength(), 0));
    try {
        bytes.resize(std::min(length, limit.value_or(length)));
    } catch (const std::bad_alloc&) {
        return Error(ErrorCode::NotEnoughMemory);
    }
    if (file.Read(bytes.data(), bytes.size()) != bytes.size()) {
        return Error(ErrorCode::CouldntReadToEnd, path);
    }
    return {};
}

// --- The record ---

struct Record {
    SidecarContent content;
    std::uint32_t bpp = 0;
    std::uint16_t units = 0;
    std::uint16_t rows = 0;
    Bytes bytes;          // the whole record: its sidecar part holds the other sets
    Bytes paletteWords;   // the palette set's words (4- and 8-bit)
    Bytes spareRowBytes;  // 24-bit
};

Result<std::vector<std::uint8_t>> BuildRecord(const ImageState& state, std::uint32_t paletteSet) {
    const std::uint32_t bpp = state.bpp;
    const Bytes clut = Present(state.clutData, state.clutDataSize);
    const SidecarContent content = SidecarContentFor(state, paletteSet);
    Result<std::vector<std::uint8_t>> built = BuildSidecar(content, bpp, clut);
    if (!built) {
        return built;
    }
    std::vector<std::uint8_t>& out = *built;
    const std::uint32_t spare = SpareRowBytes(bpp, state.imageWidth);
    try {
        out.reserve(out.size() + kRecordHeadSize + 512 + std::size_t{spare} * state.imageHeight);
        out.insert(out.end(), {kRecordMagic[0], kRecordMagic[1], kPngRecordVersion,
                               static_cast<std::uint8_t>(bpp)});
        AppendU16(out, state.imageWidth);
        AppendU16(out, state.imageHeight);
        if (HasClut(bpp)) {
            const std::uint64_t first = std::uint64_t{content.paletteSet} * ClutSetEntries(bpp);
            for (std::uint64_t i = 0; i < ClutSetEntries(bpp); ++i) {
                AppendU16(out, WordAt(clut, (first + i) * 2));
            }
        }
        const Bytes pixels = Present(state.imageData, state.imageDataSize);
        const std::uint64_t row = std::uint64_t{state.imageWidth} * 2;
        for (std::uint64_t y = 0; y < state.imageHeight && spare != 0; ++y) {
            for (std::uint64_t i = row - spare; i < row; ++i) {
                out.push_back(ByteAt(pixels, y * row + i));
            }
        }
    } catch (const std::bad_alloc&) {
        return Error(ErrorCode::NotEnoughMemory);
    }
    return built;
}

// The record of a bpp-bit image in bytes, when they hold all of it.
std::optional<Record> ParseRecord(Bytes bytes, std::uint32_t bpp) {
    const auto content = ParseSidecar(bytes, bpp);
    if (!content) {
        return std::nullopt;
    }
    const std::uint64_t at = SidecarLayoutSize(bpp, content->setCount);
    if (at + kRecordHeadSize > bytes.size() || bytes[at] != kRecordMagic[0] ||
        bytes[at + 1] != kRecordMagic[1] || bytes[at + 2] != kPngRecordVersion ||
        bytes[at + 3] != bpp) {
        return std::nullopt;
    }
    Record record{*content, bpp, ReadU16LE(&bytes[at + 4]), ReadU16LE(&bytes[at + 6]), bytes,
                  {},       {}};
    const std::uint64_t words = HasClut(bpp) ? ClutSetEntries(bpp) * 2u : 0;
    const std::uint64_t spare = std::uint64_t{SpareRowBytes(bpp, record.units)} * record.rows;
    if (bytes.size() - at - kRecordHeadSize < words + spare) {
        return std::nullopt;
    }
    record.paletteWords = bytes.subspan(at + kRecordHeadSize, words);
    record.spareRowBytes = bytes.subspan(at + kRecordHeadSize + words, spare);
    return record;
}

// --- Decoding ---

struct DecodedPng {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    bool indexed = false;
    std::vector<std::uint8_t> pixels;  // an index, or red, green, blue, alpha, a pixel
    std::vector<Rgba> palette;
    bool paletteHasAlpha = false;
    std::vector<std::uint8_t> chunk;  // the record chunk's data
};

// What the libpng callbacks share; on the heap, so that nothing the jump
// back from an error skips has a destructor to run.
struct DecodeContext {
    Bytes input;
    std::size_t position = 0;
    DecodedPng* out = nullptr;
    std::vector<png_bytep> rows;
    char message[200] = {};
    bool outOfMemory = false;
    bool tooLarge = false;
    bool imageRead = false;
};

void OnError(png_structp png, png_const_charp message) {
    auto* context = static_cast<DecodeContext*>(png_get_error_ptr(png));
    std::snprintf(context->message, sizeof context->message, "%s", message);
    png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

void ReadInput(png_structp png, png_bytep data, png_size_t length) {
    auto* context = static_cast<DecodeContext*>(png_get_io_ptr(png));
    if (length > context->input.size() - context->position) {
        png_error(png, "the file ends before the image does");
    }
    std::memcpy(data, context->input.data() + context->position, length);
    context->position += length;
}

int ReadChunk(png_structp png, png_unknown_chunkp chunk) {
    if (std::memcmp(chunk->name, kPngRecordChunk, 4) != 0) {
        return 0;  // not ours: libpng does with it what it does with unknown chunks
    }
    auto* context = static_cast<DecodeContext*>(png_get_user_chunk_ptr(png));
    try {
        context->out->chunk.assign(chunk->data, chunk->data + chunk->size);
    } catch (const std::bad_alloc&) {
        context->outOfMemory = true;
    }
    return 1;
}

// Sizes the pixel buffer and the row pointers; false when there is no memory.
bool PrepareRows(DecodeContext& context, std::size_t rowBytes) {
    DecodedPng& out = *context.out;
    try {
        out.pixels.assign(rowBytes * out.height, 0);
        context.rows.resize(out.height);
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (std::uint32_t y = 0; y < out.height; ++y) {
        context.rows[y] = out.pixels.data() + rowBytes * y;
    }
    return true;
}

void ReadPalette(png_structp png, png_infop info, DecodedPng& out) {
    png_colorp colours = nullptr;
    int count = 0;
    png_get_PLTE(png, info, &colours, &count);
    png_bytep alpha = nullptr;
    int alphaCount = 0;
    out.paletteHasAlpha = png_get_tRNS(png, info, &alpha, &alphaCount, nullptr) != 0;
    out.palette.resize(static_cast<std::size_t>(std::max(count, 0)));
    for (int i = 0; i < count; ++i) {
        // Entries past the end of a shorter tRNS are opaque.
        out.palette[i] = {colours[i].red, colours[i].green, colours[i].blue,
                          i < alphaCount ? alpha[i] : std::uint8_t{255}};
    }
}

// Runs libpng over the input. Only plain pointers live in this frame, so the
// jump back from an error is safe.
void RunDecoder(DecodeContext* context) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, context, OnError, OnWarning);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (info == nullptr) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        context->outOfMemory = true;
        return;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return;
    }
    png_set_read_fn(png, context, ReadInput);
    png_set_read_user_chunk_fn(png, context, ReadChunk);
    png_set_user_limits(png, kMaxPngWidth, kMaxPngHeight);
    png_set_chunk_malloc_max(png, kMaxRecordSize + 1024);
    png_read_info(png, info);
    DecodedPng& out = *context->out;
    out.width = png_get_image_width(png, info);
    out.height = png_get_image_height(png, info);
    const int colourType = png_get_color_type(png, info);
    out.indexed = colourType == PNG_COLOR_TYPE_PALETTE;
    if (out.indexed) {
        png_set_packing(png);  // an index a byte
        ReadPalette(png, info, out);
    } else {
        png_set_expand(png);
        png_set_scale_16(png);
        png_set_gray_to_rgb(png);
        png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    }
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const std::uint64_t rowBytes = png_get_rowbytes(png, info);
    // Bounded as TIM data is: no pixel buffer of more than 4 GB whatever
    // the header says.
    if (rowBytes != std::uint64_t{out.width} * (out.indexed ? 1 : 4) ||
        rowBytes * out.height > 4ull * kMaxImageDataSize) {
        context->tooLarge = true;
    } else if (!PrepareRows(*context, rowBytes)) {
        context->outOfMemory = true;
    } else {
        png_read_image(png, context->rows.data());
        context->imageRead = true;
        // Chunks after the image (ours, moved by an editor); an APNG's other
        // frames are passed over as unknown chunks.
        png_read_end(png, nullptr);
    }
    png_destroy_read_struct(&png, &info, nullptr);
}

Error DecodePng(Bytes input, DecodedPng& out) {
    auto context = std::make_unique<DecodeContext>();
    context->input = input;
    context->out = &out;
    RunDecoder(context.get());
    if (context->outOfMemory) {
        return Error(ErrorCode::NotEnoughMemory);
    }
    if (context->tooLarge) {
        return Error(ErrorCode::ImageBeyond1Gig);
    }
    // A fault after the last row (a damaged end) costs no pixel.
    if (!context->imageRead) {
        Error error(ErrorCode::PngUnreadable);
        error.detail = context->message[0] != 0 ? context->message : "no image in the file";
        return error;
    }
    return {};
}

// The record that goes with the PNG: the chunk's, else the sidecar's, when it
// is of the pixels' kind and size.
std::optional<Record> FindRecord(const DecodedPng& png, Bytes sidecar) {
    const std::array<std::uint32_t, 2> depths =
        png.indexed ? std::array<std::uint32_t, 2>{4, 8} : std::array<std::uint32_t, 2>{16, 24};
    for (const Bytes bytes : {Bytes(png.chunk), sidecar}) {
        for (const std::uint32_t bpp : depths) {
            const auto record = ParseRecord(bytes, bpp);
            if (record && record->rows == png.height &&
                PixelWidthFor(bpp, record->units) == png.width) {
                return record;
            }
        }
    }
    return std::nullopt;
}

// A record of any depth in bytes.
bool HoldsAnyRecord(Bytes bytes) {
    return std::any_of(kAllDepths.begin(), kAllDepths.end(),
                       [&](std::uint32_t bpp) { return ParseRecord(bytes, bpp).has_value(); });
}

std::uint32_t DepthOfIndexed(const DecodedPng& png) {
    const bool small =
        png.palette.size() <= 16 && std::all_of(png.pixels.begin(), png.pixels.end(),
                                                [](std::uint8_t index) { return index < 16; });
    return small ? 4 : 8;
}

// A truecolour PNG to a palette of at most 2^bpp colours, by libimagequant.
Error Quantise(DecodedPng& png, std::uint32_t bpp) {
    std::unique_ptr<liq_attr, void (*)(liq_attr*)> attr(liq_attr_create(), liq_attr_destroy);
    if (!attr || liq_set_max_colors(attr.get(), bpp == 4 ? 16 : 256) != LIQ_OK) {
        return Error(ErrorCode::QuantiseFailed);
    }
    std::unique_ptr<liq_image, void (*)(liq_image*)> image(
        liq_image_create_rgba(attr.get(), png.pixels.data(), static_cast<int>(png.width),
                              static_cast<int>(png.height), 0),
        liq_image_destroy);
    liq_result* raw = nullptr;
    if (!image || liq_image_quantize(image.get(), attr.get(), &raw) != LIQ_OK) {
        return Error(ErrorCode::QuantiseFailed);
    }
    std::unique_ptr<liq_result, void (*)(liq_result*)> result(raw, liq_result_destroy);
    // Flat areas stay flat: pixel art wants no dithering.
    liq_set_dithering_level(result.get(), 0);
    std::vector<std::uint8_t> indices(png.pixels.size() / 4);
    if (liq_write_remapped_image(result.get(), image.get(), indices.data(), indices.size()) !=
        LIQ_OK) {
        return Error(ErrorCode::QuantiseFailed);
    }
    const liq_palette* palette = liq_get_palette(result.get());
    png.palette.clear();
    for (unsigned i = 0; i < palette->count; ++i) {
        const liq_color& c = palette->entries[i];
        png.palette.push_back({c.r, c.g, c.b, c.a});
    }
    png.paletteHasAlpha = true;
    png.pixels = std::move(indices);
    png.indexed = true;
    return {};
}

// An indexed PNG to its colours, for a 16- or 24-bit TIM.
void ExpandPalette(DecodedPng& png) {
    std::vector<std::uint8_t> rgba(png.pixels.size() * 4);
    for (std::size_t i = 0; i < png.pixels.size(); ++i) {
        const Rgba c = png.pixels[i] < png.palette.size() ? png.palette[png.pixels[i]] : Rgba{};
        rgba[i * 4] = c.r;
        rgba[i * 4 + 1] = c.g;
        rgba[i * 4 + 2] = c.b;
        rgba[i * 4 + 3] = c.a;
    }
    png.pixels = std::move(rgba);
    png.indexed = false;
}

// The palette set from the PNG's palette: colours the editor didn't change
// keep their exact words; changed ones take the STP bit from their alpha.
void FillPaletteSet(const DecodedPng& png, std::uint32_t bpp, std::uint32_t set,
                    Bytes exportedWords, std::span<std::uint8_t> clut) {
    const std::uint64_t first = std::uint64_t{set} * ClutSetEntries(bpp);
    for (std::uint32_t i = 0; i < ClutSetEntries(bpp); ++i) {
        const std::uint64_t at = (first + i) * 2;
        if (at + 2 > clut.size()) {
            break;
        }
        const bool known = !exportedWords.empty();
        const PsxColor was = known ? WordAt(exportedWords, std::uint64_t{i} * 2) : 0;
        PsxColor word = was;
        if (i < png.palette.size() &&
            !(known && Unchanged(was, png.palette[i], png.paletteHasAlpha))) {
            word = WordOf(png.palette[i]);
        }
        WriteU16LE(&clut[at], word);
    }
}

// The first pixel (row by row) whose index a 4-bit CLUT doesn't have.
Error CheckIndices(const DecodedPng& png) {
    const auto beyond = std::find_if(png.pixels.begin(), png.pixels.end(),
                                     [](std::uint8_t index) { return index >= 16; });
    if (beyond == png.pixels.end()) {
        return {};
    }
    const auto at = static_cast<std::uint64_t>(beyond - png.pixels.begin());
    Error error(ErrorCode::IndexBeyondClut);
    error.offset = at % png.width;
    error.number = static_cast<std::int64_t>(at / png.width);
    error.damage = *beyond;
    return error;
}

void FillPixels(const DecodedPng& png, std::uint32_t bpp, std::uint16_t units, Bytes spare,
                PixelBytes& pixels) {
    const std::uint64_t timRow = std::uint64_t{units} * 2;
    const std::uint32_t spareBytes = SpareRowBytes(bpp, units);
    for (std::uint64_t y = 0; y < png.height; ++y) {
        std::uint8_t* row = pixels.data() + y * timRow;
        const std::uint8_t* in = png.pixels.data() + y * png.width * (png.indexed ? 1 : 4);
        for (std::uint64_t x = 0; x < png.width; ++x) {
            switch (bpp) {
                case 4:  // the left pixel in the low nibble
                    row[x / 2] = static_cast<std::uint8_t>(row[x / 2] | (in[x] << (x % 2 * 4)));
                    break;
                case 8:
                    row[x] = in[x];
                    break;
                case 16:
                    WriteU16LE(row + x * 2,
                               WordOf({in[x * 4], in[x * 4 + 1], in[x * 4 + 2], in[x * 4 + 3]}));
                    break;
                default:
                    std::copy_n(in + x * 4, 3, row + x * 3);
                    break;
            }
        }
        if (spareBytes != 0) {
            for (std::uint32_t i = 0; i < spareBytes; ++i) {
                row[timRow - spareBytes + i] = ByteAt(spare, y * spareBytes + i);
            }
        }
    }
}

// The TIM's origins and sets: all of the record when it is of the depth made,
// the origins alone from a record of another one, a BMP's sidecar, or the
// user.
Error ChooseContent(const std::optional<Record>& record, Bytes sidecar, std::uint32_t bpp,
                    OriginsRequest& request, SidecarContent& content, Bytes& setSource) {
    if (record && record->bpp == bpp) {
        content = record->content;
        setSource = record->bytes;
        return {};
    }
    if (record && SidecarHasClut(record->bpp) == HasClut(bpp)) {
        content = record->content;
        content.setCount = HasClut(bpp) ? 1 : 0;
        content.paletteSet = 0;
        return {};
    }
    if (!record && !HoldsAnyRecord(sidecar)) {
        if (const auto bmpSidecar = ParseSidecar(sidecar, bpp)) {
            content = *bmpSidecar;
            setSource = sidecar;
            return {};
        }
    }
    Error unanswered;
    content = AskForOrigins(request, HasClut(bpp), unanswered);
    return unanswered;
}

// --- Encoding ---

struct EncodeContext {
    std::vector<std::uint8_t> out;
    std::vector<std::uint8_t> row;
    char message[200] = {};
    bool outOfMemory = false;
};

void OnEncodeError(png_structp png, png_const_charp message) {
    auto* context = static_cast<EncodeContext*>(png_get_error_ptr(png));
    std::snprintf(context->message, sizeof context->message, "%s", message);
    png_longjmp(png, 1);
}

void WriteOutput(png_structp png, png_bytep data, png_size_t length) {
    auto* context = static_cast<EncodeContext*>(png_get_io_ptr(png));
    if (context->outOfMemory) {
        return;
    }
    try {
        context->out.insert(context->out.end(), data, data + length);
    } catch (const std::bad_alloc&) {
        context->outOfMemory = true;
    }
}

void FlushNothing(png_structp) {}

// One PNG row from TIM row in.
void FillRow(const ImageState& state, Bytes in, std::vector<std::uint8_t>& out) {
    switch (state.bpp) {
        case 4:  // the left pixel is the high nibble in a PNG
            for (std::size_t i = 0; i < out.size(); ++i) {
                const std::uint8_t b = ByteAt(in, i);
                out[i] = static_cast<std::uint8_t>((b << 4) | (b >> 4));
            }
            break;
        case 16:
            for (std::size_t x = 0; x < state.pixelWidth; ++x) {
                const Rgba c = RgbaOf(WordAt(in, x * 2));
                std::copy_n(std::array{c.r, c.g, c.b, c.a}.begin(), 4, out.begin() + x * 4);
            }
            break;
        default:  // 8 and 24 bits: the bytes as they are
            for (std::size_t i = 0; i < out.size(); ++i) {
                out[i] = ByteAt(in, i);
            }
            break;
    }
}

struct EncodeJob {
    const ImageState* state = nullptr;
    Bytes clut;
    std::uint32_t paletteSet = 0;
    Bytes record;
};

void RunEncoder(EncodeContext* context, const EncodeJob* job) {
    png_structp png =
        png_create_write_struct(PNG_LIBPNG_VER_STRING, context, OnEncodeError, OnWarning);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        context->outOfMemory = true;
        return;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        context->outOfMemory = context->outOfMemory || context->message[0] == 0;
        return;
    }
    const ImageState& state = *job->state;
    const std::uint32_t bpp = state.bpp;
    png_set_write_fn(png, context, WriteOutput, FlushNothing);
    const int colourType = HasClut(bpp) ? PNG_COLOR_TYPE_PALETTE
                           : bpp == 16  ? PNG_COLOR_TYPE_RGBA
                                        : PNG_COLOR_TYPE_RGB;
    png_set_IHDR(png, info, state.pixelWidth, state.imageHeight, HasClut(bpp) ? bpp : 8, colourType,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (HasClut(bpp)) {
        std::array<png_color, 256> colours{};
        std::array<png_byte, 256> alpha{};
        int alphaCount = 0;
        const std::uint64_t first = std::uint64_t{job->paletteSet} * ClutSetEntries(bpp);
        for (std::uint32_t i = 0; i < ClutSetEntries(bpp); ++i) {
            const Rgba c = RgbaOf(WordAt(job->clut, (first + i) * 2));
            colours[i] = {c.r, c.g, c.b};
            alpha[i] = c.a;
            alphaCount = c.a != 255 ? static_cast<int>(i) + 1 : alphaCount;
        }
        png_set_PLTE(png, info, colours.data(), static_cast<int>(ClutSetEntries(bpp)));
        if (alphaCount != 0) {  // trailing opaque entries need no tRNS entry
            png_set_tRNS(png, info, alpha.data(), alphaCount, nullptr);
        }
    }
    png_unknown_chunk chunk{};
    std::memcpy(chunk.name, kPngRecordChunk, 5);
    chunk.data = const_cast<png_bytep>(job->record.data());
    chunk.size = job->record.size();
    chunk.location = PNG_HAVE_IHDR;
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_ALWAYS,
                                reinterpret_cast<png_const_bytep>(kPngRecordChunk), 1);
    png_set_unknown_chunks(png, info, &chunk, 1);
    png_write_info(png, info);
    const Bytes pixels = Present(state.imageData, state.imageDataSize);
    const std::uint64_t timRow = std::uint64_t{state.imageWidth} * 2;
    for (std::uint64_t y = 0; y < state.imageHeight; ++y) {
        const std::uint64_t from = std::min<std::uint64_t>(y * timRow, pixels.size());
        FillRow(state, pixels.subspan(from), context->row);
        png_write_row(png, context->row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
}

std::uint64_t PngRowBytes(std::uint32_t bpp, std::uint64_t width) {
    switch (bpp) {
        case 4:
            return (width + 1) / 2;
        case 8:
            return width;
        case 16:
            return width * 4;
        default:
            return width * 3;
    }
}

}  // namespace

Result<PngFile> ConvertTimToPng(const ImageState& state, std::uint32_t paletteSet) {
    if (ModeForBpp(state.bpp) == 0) {
        return Error(ErrorCode::BppNotSupported);
    }
    if (state.pixelWidth == 0 || state.imageHeight == 0) {
        return Error(ErrorCode::EmptyImageForPng);
    }
    Result<std::vector<std::uint8_t>> record = BuildRecord(state, paletteSet);
    if (!record) {
        return record.error();
    }
    auto context = std::make_unique<EncodeContext>();
    try {
        context->row.resize(PngRowBytes(state.bpp, state.pixelWidth));
    } catch (const std::bad_alloc&) {
        return Error(ErrorCode::NotEnoughMemory);
    }
    const EncodeJob job{&state, Present(state.clutData, state.clutDataSize),
                        SidecarContentFor(state, paletteSet).paletteSet, *record};
    RunEncoder(context.get(), &job);
    if (context->outOfMemory || context->message[0] != 0) {
        return Error(ErrorCode::NotEnoughMemory);
    }
    return PngFile{std::move(context->out), std::move(*record)};
}

Error WritePngFile(const PngFile& file, const std::string& path) {
    const std::string sidecarPath = SidecarPathFor(path);
    if (sidecarPath == path) {
        return Error(ErrorCode::FailedSavingPng, path, EINVAL,
                     "a PNG can't be named like its sidecar file (.tmext)");
    }
    // Both targets are checked before a byte is written, the PNG first: a
    // refused target is reported by the name the user gave.
    PendingFile png(path);
    PendingFile sidecar(sidecarPath);
    Error error;
    if (!png.Create()) {
        error = png.LastError();
    } else if (!sidecar.Create()) {
        error = sidecar.LastError();
    } else if (!Store(sidecar, file.sidecar)) {
        error = sidecar.LastError();
    } else if (!Store(png, file.png)) {
        error = png.LastError();
    } else {
        error = CommitBoth(sidecar, png);
    }
    return error ? error.As(ErrorCode::FailedSavingPng) : Error();
}

Error ConvertPngToTim(ImageState& state, std::span<const std::uint8_t> pngBytes,
                      std::span<const std::uint8_t> sidecar, std::uint32_t depth,
                      OriginsRequest& request) {
    DecodedPng png;
    if (Error error = DecodePng(pngBytes, png)) {
        return error;
    }
    const std::optional<Record> record = FindRecord(png, sidecar);
    const std::uint32_t bpp = depth != kPngDepthAuto ? depth
                              : record               ? record->bpp
                              : png.indexed          ? DepthOfIndexed(png)
                                                     : 16;
    if (ModeForBpp(bpp) == 0) {
        return Error(ErrorCode::BppNotSupported);
    }
    if (HasClut(bpp) && !png.indexed) {
        if (Error error = Quantise(png, bpp)) {
            return error;
        }
    } else if (!HasClut(bpp) && png.indexed) {
        ExpandPalette(png);
    }
    if (bpp == 4) {
        if (Error error = CheckIndices(png)) {
            return error;
        }
    }
    const bool whole = record && record->bpp == bpp;
    const std::uint64_t units = whole ? record->units : UnitsForWidth(bpp, png.width);
    if (units > 0xFFFF || png.height > 0xFFFF) {
        return Error(ErrorCode::TooLargeForTim);
    }
    const std::uint64_t timRow = units * 2;
    if (timRow * png.height >= kMaxImageDataSize) {
        return Error(ErrorCode::ImageBeyond1Gig);
    }
    SidecarContent content;
    Bytes setSource;
    if (Error error = ChooseContent(record, sidecar, bpp, request, content, setSource)) {
        return error;
    }
    TimParts parts{bpp,
                   content,
                   {},
                   {},
                   static_cast<std::uint16_t>(units),
                   static_cast<std::uint16_t>(png.height)};
    try {
        parts.clut.assign(
            HasClut(bpp) ? std::size_t{content.setCount} * ClutSetEntries(bpp) * 2 : 0, 0);
        parts.pixels.assign(timRow * png.height + 1, 0);  // one spare byte, as the TIM reader
    } catch (const std::bad_alloc&) {
        return Error(ErrorCode::NotEnoughMemory);
    }
    if (HasClut(bpp)) {
        RestoreClutSets(content, bpp, setSource, parts.clut);
        FillPaletteSet(png, bpp, content.paletteSet, whole ? record->paletteWords : Bytes(),
                       parts.clut);
    }
    FillPixels(png, bpp, parts.unitsWide, whole ? record->spareRowBytes : Bytes(), parts.pixels);
    AdoptTimParts(state, std::move(parts));
    return {};
}

Error LoadPngFile(ImageState& state, const std::string& path, std::uint32_t depth,
                  OriginsRequest& request) {
    std::vector<std::uint8_t> png;
    std::vector<std::uint8_t> sidecar;
    if (Error error = ReadWholeFile(path, png, std::nullopt)) {
        return error;
    }
    // Most PNGs have no sidecar: not finding one is no failure.
    ReadWholeFile(SidecarPathFor(path), sidecar, kMaxRecordSize);
    return ConvertPngToTim(state, png, sidecar, depth, request);
}

bool PngNeedsDepth(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    std::vector<std::uint8_t> sidecar;
    DecodedPng png;
    if (ReadWholeFile(path, bytes, std::nullopt) || DecodePng(bytes, png)) {
        return false;
    }
    ReadWholeFile(SidecarPathFor(path), sidecar, kMaxRecordSize);
    return !png.indexed && !FindRecord(png, sidecar);
}

bool IsPngPath(const std::string& path) {
    return HasExtension(path, ".png");
}

}  // namespace pixalto
