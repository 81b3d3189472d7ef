#pragma once
// The one image the program holds: the TIM header, CLUT block and image block
// as read, the owned CLUT and pixel buffers, the values derived from them, and
// the extent of the last paint. Every way of getting an image ends here.

#include <array>
#include <cstdint>
#include <tuple>
#include <vector>

#include "image/BmpFormat.h"
#include "image/PixelBuffer.h"
#include "image/TimFormat.h"

namespace pixalto {

struct ImageState {
    // --- TIM side, in file order ---
    std::array<std::uint8_t, 4> fileId{};
    std::array<std::uint8_t, 4> flags{};  // flags[0] is the mode

    std::uint32_t clutBlockLength = 0;
    std::uint16_t clutOrgX = 0;
    std::uint16_t clutOrgY = 0;
    std::uint16_t clutWidth = 0;
    std::uint16_t clutHeight = 0;
    // clutDataSize bytes of consecutive little-endian PsxColor entries; an odd
    // last byte belongs to no entry. Empty for 16- and 24-bit images.
    std::vector<std::uint8_t> clutData;

    std::uint32_t imageBlockLength = 0;
    std::uint16_t imageOrgX = 0;
    std::uint16_t imageOrgY = 0;
    std::uint16_t imageWidth = 0;   // in 16-bit units
    std::uint16_t imageHeight = 0;  // in rows
    // imageDataSize bytes of pixels plus one spare byte, so that it is never
    // empty while an image is loaded: an image is loaded exactly while this
    // buffer is present.
    PixelBytes imageData;

    // --- BMP side: the staging area while a BMP is read or written ---
    BmpFileHeader bmpFileHeader;
    BmpInfoHeader bmpInfoHeader;
    // The sidecar file's bytes: what a BMP can't carry (origins, other CLUT sets).
    std::vector<std::uint8_t> sidecarData;
    std::vector<std::uint8_t> bmpPalette;  // bmpPaletteCount entries of blue, green, red, 0
    PixelBytes bmpPixels;                  // bmpPixelSize bytes, bottom row first
    std::uint32_t sidecarSize = 0;         // 0: no sidecar
    std::uint32_t bmpPaletteCount = 0;     // 16, 256 or 0
    std::uint32_t bmpPixelSize = 0;
    // Bytes from one row of bmpPixels to the next: padded to 4 bytes as the
    // standard wants, or unpadded in BMPs of the older layout.
    std::uint32_t bmpRowSize = 0;
    std::uint64_t bmpStart = 0;  // file position where the BMP began

    // --- Derived values ---
    // 4, 8, 16 or 24 for a TIM (0: mode not supported); shared with the BMP
    // side, where the reader sets it to biBitCount, whatever that is.
    std::uint32_t bpp = 0;
    std::uint32_t clutDataSize = 0;
    std::uint32_t pixelWidth = 0;
    std::uint32_t imageDataSize = 0;

    // --- What the last paint covered, to erase it later ---
    std::uint32_t paintedWidth = 0;
    std::uint32_t paintedHeight = 0;

    bool IsLoaded() const { return !imageData.empty(); }

    // The headers as they stand in the fields above.
    TimHeader Header() const { return {fileId, flags}; }
    BlockHeader ClutBlock() const {
        return {clutBlockLength, clutOrgX, clutOrgY, clutWidth, clutHeight};
    }
    BlockHeader ImageBlock() const {
        return {imageBlockLength, imageOrgX, imageOrgY, imageWidth, imageHeight};
    }
    void SetClutBlock(const BlockHeader& block) {
        std::tie(clutBlockLength, clutOrgX, clutOrgY, clutWidth, clutHeight) = block.Fields();
    }
    void SetImageBlock(const BlockHeader& block) {
        std::tie(imageBlockLength, imageOrgX, imageOrgY, imageWidth, imageHeight) = block.Fields();
    }

    std::uint32_t ClutSetCount() const {
        return HasClut(bpp) ? ClutSetCountFor(bpp, clutDataSize) : 0;
    }

    // Releases both pixel buffers (the header fields keep their values, as
    // the info panel still shows them after a close).
    void ReleaseBuffers() {
        clutData = {};
        imageData = {};
    }

    // Releases the BMP side's buffers once a conversion has used them.
    void ReleaseBmpSide() {
        sidecarData = {};
        sidecarSize = 0;
        bmpPalette = {};
        bmpPixels = {};
    }

    // Empty the buffers as the release functions do, but keep their memory
    // for the next image: a batch of files then reuses it instead of
    // faulting in fresh pages for every file.
    void EmptyTimSide() {
        clutData.clear();
        imageData.clear();
    }
    void EmptyBmpSide() {
        sidecarData.clear();
        sidecarSize = 0;
        bmpPalette.clear();
        bmpPixels.clear();
    }
};

}  // namespace pixalto
