#pragma once
// The Windows bitmap layout that the program reads and writes: the 14-byte
// file header, the info header (40 bytes as written here; longer from image
// editors), the palette right after them, and the pixel rows from bfOffBits
// on, bottom row first.

#include <cstdint>

#include "platform/ByteOrder.h"

namespace pixalto {

inline constexpr std::uint16_t kBmpType = 0x4D42;  // "BM"
inline constexpr std::uint32_t kBmpFileHeaderSize = 14;
inline constexpr std::uint32_t kBmpInfoHeaderSize = 40;
inline constexpr std::uint32_t kBmpHeadersSize = kBmpFileHeaderSize + kBmpInfoHeaderSize;
inline constexpr std::uint32_t kBmpPaletteEntrySize = 4;  // blue, green, red, 0

struct BmpFileHeader {
    std::uint16_t bfType = 0;
    std::uint32_t bfSize = 0;
    std::uint16_t bfReserved1 = 0;
    std::uint16_t bfReserved2 = 0;
    std::uint32_t bfOffBits = 0;
};

struct BmpInfoHeader {
    std::uint32_t biSize = 0;
    std::int32_t biWidth = 0;
    std::int32_t biHeight = 0;  // rows are stored bottom row first
    std::uint16_t biPlanes = 0;
    std::uint16_t biBitCount = 0;
    std::uint32_t biCompression = 0;
    std::uint32_t biSizeImage = 0;
    std::int32_t biXPelsPerMeter = 0;
    std::int32_t biYPelsPerMeter = 0;
    std::uint32_t biClrUsed = 0;
    std::uint32_t biClrImportant = 0;
};

constexpr std::int32_t ReadI32LE(const std::uint8_t* p) {
    return static_cast<std::int32_t>(ReadU32LE(p));
}
constexpr void WriteI32LE(std::uint8_t* p, std::int32_t v) {
    WriteU32LE(p, static_cast<std::uint32_t>(v));
}

constexpr BmpFileHeader ParseBmpFileHeader(const std::uint8_t* p) {
    return {ReadU16LE(p), ReadU32LE(p + 2), ReadU16LE(p + 6), ReadU16LE(p + 8), ReadU32LE(p + 10)};
}

constexpr void StoreBmpFileHeader(const BmpFileHeader& h, std::uint8_t* p) {
    WriteU16LE(p, h.bfType);
    WriteU32LE(p + 2, h.bfSize);
    WriteU16LE(p + 6, h.bfReserved1);
    WriteU16LE(p + 8, h.bfReserved2);
    WriteU32LE(p + 10, h.bfOffBits);
}

constexpr BmpInfoHeader ParseBmpInfoHeader(const std::uint8_t* p) {
    return {ReadU32LE(p),      ReadI32LE(p + 4),  ReadI32LE(p + 8),  ReadU16LE(p + 12),
            ReadU16LE(p + 14), ReadU32LE(p + 16), ReadU32LE(p + 20), ReadI32LE(p + 24),
            ReadI32LE(p + 28), ReadU32LE(p + 32), ReadU32LE(p + 36)};
}

constexpr void StoreBmpInfoHeader(const BmpInfoHeader& h, std::uint8_t* p) {
    WriteU32LE(p, h.biSize);
    WriteI32LE(p + 4, h.biWidth);
    WriteI32LE(p + 8, h.biHeight);
    WriteU16LE(p + 12, h.biPlanes);
    WriteU16LE(p + 14, h.biBitCount);
    WriteU32LE(p + 16, h.biCompression);
    WriteU32LE(p + 20, h.biSizeImage);
    WriteI32LE(p + 24, h.biXPelsPerMeter);
    WriteI32LE(p + 28, h.biYPelsPerMeter);
    WriteU32LE(p + 32, h.biClrUsed);
    WriteU32LE(p + 36, h.biClrImportant);
}

// Info headers the reader takes. Image editors write longer ones than the
// 40 bytes written here: 52 and 56 add colour masks, 108 a colour space, 124
// a rendering intent and an ICC profile's place. All begin with the same 40
// bytes of fields, and any palette follows the whole header.
constexpr bool IsReadableBmpInfoHeaderSize(std::uint32_t biSize) {
    return biSize == kBmpInfoHeaderSize || biSize == 52 || biSize == 56 || biSize == 108 ||
           biSize == 124;
}

// Where the palette begins, from the start of the BMP: right after the info
// header. A header of another size is refused by the conversion; its palette
// is looked for after the first 40 bytes.
constexpr std::uint32_t BmpPaletteOffset(std::uint32_t biSize) {
    return kBmpFileHeaderSize + (IsReadableBmpInfoHeaderSize(biSize) ? biSize : kBmpInfoHeaderSize);
}

// Palette entries of a depth: 16 for 4 bits, 256 for 8, none otherwise.
constexpr std::uint32_t BmpPaletteCountFor(std::uint32_t bitCount) {
    return bitCount == 4 ? 16 : bitCount == 8 ? 256 : 0;
}

// Row length of the standard layout: every row padded with zeros to a
// multiple of 4 bytes. Width must not be negative.
constexpr std::uint64_t PaddedBmpRowSize(std::uint32_t bitCount, std::uint64_t width) {
    return (width * bitCount + 31) / 32 * 4;
}

// Row length of the older layout this program once wrote: 8-, 16- and 24-bit
// rows unpadded, and for 4 bits (W + W mod 8) / 2, which is the padded length
// for widths that are a multiple of 4. BMPs saved that way must still convert
// back. Width must not be negative.
constexpr std::uint64_t LegacyBmpRowSize(std::uint32_t bitCount, std::uint64_t width) {
    switch (bitCount) {
        case 4:
            return (width + width % 8) / 2;
        case 16:
            return width * 2;
        case 24:
            return width * 3;
        default:  // 8 bits, and any depth the conversion refuses later
            return width;
    }
}

// Bytes of a row that hold pixels, without any padding.
constexpr std::uint64_t BmpRowDataSize(std::uint32_t bitCount, std::uint64_t width) {
    return (width * bitCount + 7) / 8;
}

}  // namespace pixalto
