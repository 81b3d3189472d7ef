#pragma once
// The TIM file layout: identifier, mode, and the two blocks (CLUT and image),
// each with a 12-byte header that counts itself in its length. The reader, the
// writer, the repairer and the RAW jobs all parse and store the headers
// through TimHeader and BlockHeader, and ask them whether a TIM has a CLUT.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <tuple>

#include "platform/ByteOrder.h"

namespace pixalto {

inline constexpr std::array<std::uint8_t, 4> kTimId = {0x10, 0x00, 0x00, 0x00};
inline constexpr std::uint32_t kTimIdSize = 4;
inline constexpr std::uint32_t kTimFlagsSize = 4;
inline constexpr std::uint32_t kTimBlockHeaderSize = 12;

enum class TimMode : std::uint8_t {
    Clut4 = 8,  // 4 bits per pixel with CLUT
    Clut8 = 9,  // 8 bits per pixel with CLUT
    Direct16 = 2,
    Direct24 = 3,
};

// Bits per pixel for a mode byte: 4, 8, 16 or 24; 0 for any mode not read.
constexpr std::uint32_t BppForMode(std::uint8_t mode) {
    switch (mode) {
        case static_cast<std::uint8_t>(TimMode::Clut4):
            return 4;
        case static_cast<std::uint8_t>(TimMode::Clut8):
            return 8;
        case static_cast<std::uint8_t>(TimMode::Direct16):
            return 16;
        case static_cast<std::uint8_t>(TimMode::Direct24):
            return 24;
        default:
            return 0;
    }
}

// The mode byte for a depth, BppForMode's inverse; 0 for any other depth.
constexpr std::uint8_t ModeForBpp(std::uint32_t bpp) {
    for (const TimMode mode :
         {TimMode::Clut4, TimMode::Clut8, TimMode::Direct16, TimMode::Direct24}) {
        if (BppForMode(static_cast<std::uint8_t>(mode)) == bpp) {
            return static_cast<std::uint8_t>(mode);
        }
    }
    return 0;
}

constexpr bool HasClut(std::uint32_t bpp) {
    return bpp == 4 || bpp == 8;
}

// Width in pixels of an image block imageWidth 16-bit units wide. For 24 bits
// a unit is two thirds of a pixel, truncated: 1 unit gives 0 pixels, 3 give 2.
constexpr std::uint32_t PixelWidthFor(std::uint32_t bpp, std::uint16_t imageWidth) {
    switch (bpp) {
        case 4:
            return imageWidth * 4u;
        case 8:
            return imageWidth * 2u;
        case 16:
            return imageWidth;
        case 24:
            return imageWidth * 2u / 3u;
        default:
            return 0;
    }
}

// Entries in one CLUT set: 16 for 4-bit images, 256 otherwise.
constexpr std::uint32_t ClutSetEntries(std::uint32_t bpp) {
    return bpp == 4 ? 16 : 256;
}

// Whole CLUT sets in clutDataSize bytes; 0 for images without a CLUT.
constexpr std::uint32_t ClutSetCountFor(std::uint32_t bpp, std::uint32_t clutDataSize) {
    return clutDataSize / 2 / ClutSetEntries(bpp);
}

// The largest pixel data the reader takes.
inline constexpr std::uint32_t kMaxImageDataSize = 1'000'000'000;

// The 12-byte header both blocks start with: the block's length in bytes,
// counting this header, the frame-buffer X and Y, the width (in 16-bit units)
// and the height, all little-endian.
struct BlockHeader {
    static constexpr std::size_t kSize = kTimBlockHeaderSize;

    std::uint32_t length = 0;
    std::uint16_t x = 0, y = 0, width = 0, height = 0;

    static constexpr BlockHeader From(std::span<const std::uint8_t, kSize> bytes) {
        const std::uint8_t* p = bytes.data();
        return {ReadU32LE(p), ReadU16LE(p + 4), ReadU16LE(p + 6), ReadU16LE(p + 8),
                ReadU16LE(p + 10)};
    }
    // The header at the start of bytes; nothing when they end before it does.
    static constexpr std::optional<BlockHeader> Parse(std::span<const std::uint8_t> bytes) {
        if (bytes.size() < kSize) {
            return std::nullopt;
        }
        return From(bytes.first<kSize>());
    }
    constexpr void Store(std::span<std::uint8_t, kSize> out) const {
        std::uint8_t* p = out.data();
        WriteU32LE(p, length);
        WriteU16LE(p + 4, x);
        WriteU16LE(p + 6, y);
        WriteU16LE(p + 8, width);
        WriteU16LE(p + 10, height);
    }

    // The length a block of width x height 16-bit units has, counting its
    // header. 64-bit: 65535 x 65535 units need more than 32 bits.
    static constexpr std::uint64_t LengthFor(std::uint16_t width, std::uint16_t height) {
        return kSize + 2 * std::uint64_t{width} * height;
    }
    constexpr std::uint64_t NeededLength() const { return LengthFor(width, height); }
    // Whether the length is exactly what the width and height need, compared
    // in 64 bits so that a product that only matches after wrapping doesn't.
    constexpr bool LengthMatches() const { return length == NeededLength(); }
    // The data bytes the length claims, in unsigned 32 bits: a length below
    // the header's own 12 wraps to about 4 GiB, which every reader refuses.
    constexpr std::uint32_t DataSize() const { return length - static_cast<std::uint32_t>(kSize); }

    constexpr auto Fields() const { return std::tuple(length, x, y, width, height); }
    friend constexpr bool operator==(const BlockHeader&, const BlockHeader&) = default;
};

// The 8 bytes a TIM starts with: the identifier word 0x10 and the flag word,
// whose low byte is the mode.
struct TimHeader {
    static constexpr std::size_t kSize = kTimIdSize + kTimFlagsSize;

    std::array<std::uint8_t, kTimIdSize> id{};
    std::array<std::uint8_t, kTimFlagsSize> flags{};  // flags[0] is the mode

    static constexpr TimHeader From(std::span<const std::uint8_t, kSize> bytes) {
        TimHeader header;
        std::copy_n(bytes.begin(), kTimIdSize, header.id.begin());
        std::copy_n(bytes.begin() + kTimIdSize, kTimFlagsSize, header.flags.begin());
        return header;
    }
    // The header at the start of bytes; nothing when they end before it does.
    static constexpr std::optional<TimHeader> Parse(std::span<const std::uint8_t> bytes) {
        if (bytes.size() < kSize) {
            return std::nullopt;
        }
        return From(bytes.first<kSize>());
    }
    // The header from as many of its bytes as there are, zeros standing for
    // the missing ones: for callers that name a header cut short by how far
    // it reaches, and check that count themselves, since zeros could
    // complete an identifier or a flag word.
    static constexpr TimHeader FromPrefix(std::span<const std::uint8_t> bytes) {
        std::array<std::uint8_t, kSize> padded{};
        std::copy_n(bytes.begin(), std::min(bytes.size(), kSize), padded.begin());
        return From(padded);
    }
    constexpr void Store(std::span<std::uint8_t, kSize> out) const {
        std::copy(id.begin(), id.end(), out.begin());
        std::copy(flags.begin(), flags.end(), out.begin() + kTimIdSize);
    }

    constexpr bool HasId() const { return id == kTimId; }
    constexpr std::uint8_t Mode() const { return flags[0]; }
    constexpr bool UpperFlagsClear() const {
        return flags[1] == 0 && flags[2] == 0 && flags[3] == 0;
    }
    constexpr std::uint32_t Bpp() const { return BppForMode(Mode()); }
    // The one CLUT rule: modes 8 and 9 (4 and 8 bits per pixel) have a CLUT
    // block before the image block, every other mode has none.
    constexpr bool HasClut() const { return pixalto::HasClut(Bpp()); }
    // What the reader and the scanner take: the identifier, one of the four
    // modes, and nothing else in the flag word.
    constexpr bool IsValid() const { return HasId() && Bpp() != 0 && UpperFlagsClear(); }
    // Where the image block starts, counted from the identifier, given the
    // CLUT block's length word (which only counts when there is a CLUT).
    constexpr std::uint64_t ImageBlockOffset(std::uint32_t clutLength) const {
        return kSize + (HasClut() ? std::uint64_t{clutLength} : 0);
    }

    // Extraction sizes a TIM the scan listed by the mode byte read as signed:
    // 8 or more counts a CLUT block. For every header the scanner lists
    // (modes 2, 3, 8 and 9) that is HasClut(); the two part only on a file
    // changed since its scan (modes 10 to 127), where extraction keeps
    // writing the sizes it always has.
    constexpr bool ListedSizeCountsClut() const { return static_cast<std::int8_t>(Mode()) >= 8; }
    // The bytes a listed TIM spans: header, CLUT block by its length word
    // (as above), and the image block that width x height units need.
    constexpr std::uint64_t ListedSize(std::uint32_t clutLength, std::uint16_t width,
                                       std::uint16_t height) const {
        return kSize + (ListedSizeCountsClut() ? std::uint64_t{clutLength} : 0) +
               BlockHeader::LengthFor(width, height);
    }

    friend constexpr bool operator==(const TimHeader&, const TimHeader&) = default;
};

}  // namespace pixalto
