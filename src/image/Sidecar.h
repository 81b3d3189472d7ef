#pragma once
// The sidecar file (".tmext") beside a BMP written by this program: what a BMP
// can't hold of a TIM. Layout, 16-bit little-endian values:
//   "PX", imageOrgX, imageOrgY                      always
//   clutOrgX, clutOrgY, N (number of CLUT sets)     images with a CLUT
//   index of the palette set                        when N is not 1
//   every CLUT set but the palette set, in order    images with a CLUT
// The palette set itself travels in the BMP's palette.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "image/ImageState.h"
#include "platform/Error.h"

namespace pixalto {

inline constexpr std::uint32_t kSidecarShortSize = 6;    // magic and image origin
inline constexpr std::uint32_t kSidecarOneSetSize = 12;  // plus CLUT origin and N
inline constexpr std::uint32_t kSidecarSetsOffset = 14;  // plus the palette set index
inline constexpr std::uint32_t kMaxSidecarSets = 0xFFFF;
// The longest layout: 8-bit sets, as many as N can count. Bytes past it are
// never needed, so a larger file is not read beyond this.
inline constexpr std::uint32_t kMaxSidecarSize = kSidecarSetsOffset + (kMaxSidecarSets - 1) * 512;

// The sidecar of a BMP: same folder and file title, extension ".tmext".
std::string SidecarPathFor(const std::string& bmpPath);

struct SidecarContent {
    std::uint16_t imageOrgX = 0;
    std::uint16_t imageOrgY = 0;
    std::uint16_t clutOrgX = 0;
    std::uint16_t clutOrgY = 0;
    std::uint32_t setCount = 0;    // N; 0 for images without a CLUT
    std::uint32_t paletteSet = 0;  // below setCount
};

// Bytes in one stored CLUT set of an image with a CLUT of bpp.
constexpr std::uint32_t SidecarSetBytes(std::uint32_t bpp) {
    return ClutSetEntries(bpp) * 2;
}
// The sidecar carries a CLUT part for every depth up to 8 bits.
constexpr bool SidecarHasClut(std::uint32_t bpp) {
    return bpp <= 8;
}

// Bytes of the layout above for an image of bpp bits with setCount sets
// (setCount at least 1 for images with a CLUT). Bytes after them are no part
// of it: a PNG's sidecar keeps more there (see Png.h).
std::uint64_t SidecarLayoutSize(std::uint32_t bpp, std::uint32_t setCount);

// The content of a sidecar read beside a BMP of bpp bits, or nothing when the
// sidecar is not usable: it must hold the magic and every byte its layout needs
// for the depth and N, with N at least 1 and the palette set below N.
std::optional<SidecarContent> ParseSidecar(std::span<const std::uint8_t> bytes, std::uint32_t bpp);
bool SidecarIsUsable(const ImageState& state);

// The sidecar of an image of bpp bits whose CLUT is clutData: content's sets
// other than the palette set are copied from clutData; bytes that clutData
// doesn't have are written as 0. NotEnoughMemory when it can't be held. The
// sidecar is built in out's memory (its bytes don't matter), so that a batch
// of files needs no fresh memory for each.
Result<std::vector<std::uint8_t>> BuildSidecar(const SidecarContent& content, std::uint32_t bpp,
                                               std::span<const std::uint8_t> clutData,
                                               std::vector<std::uint8_t> out = {});

// Copies the sets stored in a usable sidecar into clutData, which holds
// content.setCount sets of bpp's size; the palette set's place is left alone.
void RestoreClutSets(const SidecarContent& content, std::uint32_t bpp,
                     std::span<const std::uint8_t> sidecar, std::span<std::uint8_t> clutData);

}  // namespace pixalto
