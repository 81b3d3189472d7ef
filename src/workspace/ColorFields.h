#pragma once
// What the colour editor's fields mean: three decimal fields for red, green
// and blue, a "#RRGGBB" field kept in step with them, and the colour word
// they make. Values outside 0 to 255 are not refused: their low 8 bits count.

#include <array>
#include <optional>
#include <string>

#include "image/PsxColor.h"

namespace pixalto::workspace {

using Rgb = std::array<int, 3>;

// A colour field as the editor reads it: its first three characters at most,
// parsed as one decimal integer. A leading 0 is only a digit ("010" is 10);
// nothing when no number starts there.
std::optional<int> ReadColorField(const std::string& text);

// "#RRGGBB" of the low 8 bits of each component, as the decimal fields hold
// them.
std::string HexColorText(const Rgb& rgb);
// The components of "#RRGGBB" (the "#" may be left out); nothing for any
// other text, so that a half-typed field changes nothing.
std::optional<Rgb> ReadHexColor(const std::string& text);

// The colour word of three typed components (bits 3 to 7 of each are kept)
// with the STP bit set unless the colour is invisible.
PsxColor ComposeColor(const Rgb& rgb, bool invisible);

}  // namespace pixalto::workspace
