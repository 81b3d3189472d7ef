#pragma once
// TIM to PNG and back, losslessly. 4- and 8-bit images become indexed PNGs
// whose palette is one CLUT set and whose pixels are the TIM's indices;
// 16-bit images RGBA, 24-bit RGB. Colour words map to alpha reversibly:
// 0x0000 is alpha 0, a word with the STP bit alpha 128, any other 255.
//
// What a PNG can't hold travels in a record, kept both in a private PNG chunk
// ("pxLt": ancillary, private, safe to copy, so editors that keep unknown
// chunks keep it) and in the sidecar file beside the PNG, for the editors
// that drop such chunks. The record starts with the BMP sidecar's layout (so
// a BMP's sidecar serves a PNG as well, and the other CLUT sets are kept the
// same way), then, 16-bit little-endian values:
//   "PN", version (1 byte), depth (1 byte), width in 16-bit units, height
//   the palette set's exact colour words                  4- and 8-bit
//   each row's bytes that no pixel covers, row by row     24-bit

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "image/Convert.h"
#include "image/ImageState.h"
#include "platform/Error.h"

namespace pixalto {

inline constexpr char kPngRecordChunk[] = "pxLt";
inline constexpr std::uint8_t kPngRecordVersion = 1;

// A converted image: the PNG file's bytes and its sidecar's.
struct PngFile {
    std::vector<std::uint8_t> png;
    std::vector<std::uint8_t> sidecar;
};

// TIM side of state to a PNG with CLUT set paletteSet as its palette.
Result<PngFile> ConvertTimToPng(const ImageState& state, std::uint32_t paletteSet);

// Writes the PNG at path and its sidecar beside it (".tmext"), both or neither.
Error WritePngFile(const PngFile& file, const std::string& path);

// The depth a PNG becomes: kPngDepthAuto takes it from the record, or from
// the pixels (an indexed PNG is 4-bit when every index is below 16 and the
// palette has at most 16 colours, else 8-bit; a truecolour one 16-bit).
// 4 or 8 for a truecolour PNG quantises it to a palette; 16 or 24 for an
// indexed one takes its colours.
inline constexpr std::uint32_t kPngDepthAuto = 0;

// A PNG's bytes (and its sidecar's, empty when there is none) to the TIM side
// of state. The record in the chunk wins over the sidecar's when both agree
// with the pixels (kind and size); without one the origins come from request.
Error ConvertPngToTim(ImageState& state, std::span<const std::uint8_t> png,
                      std::span<const std::uint8_t> sidecar, std::uint32_t depth,
                      OriginsRequest& request);

// Reads the PNG at path and its sidecar and converts them as above.
Error LoadPngFile(ImageState& state, const std::string& path, std::uint32_t depth,
                  OriginsRequest& request);

// Whether the PNG at path is truecolour (or grey) with no record to say its
// depth: the window then asks for one. False for a file that can't be read.
bool PngNeedsDepth(const std::string& path);

// True when path ends in ".png", in any case.
bool IsPngPath(const std::string& path);

}  // namespace pixalto
