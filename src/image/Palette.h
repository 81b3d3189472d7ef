#pragma once
// One CLUT set as a palette file, out and in. Formats, by extension: GIMP's
// ".gpl" and JASC's ".pal" (text), Adobe's ".act" (256 RGB triples, then
// optionally the number of colours and the transparent one), and a TIM that
// holds only a CLUT block (".tim" or ".clt"), which keeps the exact words.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "image/ImageState.h"
#include "platform/Error.h"

namespace pixalto {

enum class PaletteFormat { Gimp, Jasc, Adobe, Tim };

// The format of a palette file by its extension; nothing for any other.
std::optional<PaletteFormat> PaletteFormatFor(const std::string& path);

// CLUT set `set` of state as a palette file's bytes; name is what a GIMP
// palette calls itself. The colours are the PNG's (5 bits times 8); an Adobe
// table names the first transparent colour (word 0x0000) as its transparent one.
Result<std::vector<std::uint8_t>> ExportPalette(const ImageState& state, std::uint32_t set,
                                                PaletteFormat format, const std::string& name);

// Replaces the colours of CLUT set `set` with a palette file's. A colour that
// didn't change keeps its word, STP bit included; a changed one takes the STP
// bit from its alpha where the format has one (0 gives 0x0000), else has it
// clear. A palette of fewer colours replaces only the first ones; one of more
// than a set holds is refused. On failure the CLUT is left as it was.
Error ImportPalette(ImageState& state, std::uint32_t set, std::span<const std::uint8_t> bytes,
                    PaletteFormat format);

// Writes bytes to path, replacing it safely (FailedSavingPalette on failure).
Error WritePaletteFile(const std::vector<std::uint8_t>& bytes, const std::string& path);

}  // namespace pixalto
