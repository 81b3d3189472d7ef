#pragma once
// How a file's bytes are laid out: plain (every byte is data, as in an .iso
// or an archive), or a raw CD image of 2,352-byte sectors whose data the
// disc view gathers.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "disc/SectorFormat.h"
#include "platform/File.h"

namespace pixalto::disc {

enum class DiscLayout {
    Plain,
    Mode1Raw,         // "MODE1/2352"
    Mode2Raw,         // "MODE2/2352": the common PlayStation dump
    Mode2Headerless,  // "MODE2/2336": Mode 2 sectors without sync and header
};

// The layout's name as a text file (the extraction list) records it:
// "plain", "MODE1/2352", "MODE2/2352" or "MODE2/2336".
std::string_view LayoutName(DiscLayout layout);
// The layout a name stands for; exact match, nothing for any other text.
std::optional<DiscLayout> ParseLayoutName(std::string_view name);

// The bytes a sector of the layout takes in the file; 0 for a plain file.
std::size_t StoredSectorSize(DiscLayout layout);

// How many bytes from a file's start detection looks at: up to the end of
// the volume descriptor's "\x01CD001" in a MODE2/2336 image.
inline constexpr std::size_t kLayoutDetectBytes =
    16 * kHeaderlessSectorSize + (kForm1DataOffset - kSubheaderOffset) + 6;

// The layout of a file of fileLength bytes that begins with the size bytes at
// head. A raw image starts with the sync pattern and has Mode 1 or Mode 2 in
// its first sector's header; its length need not be a multiple of 2,352: a
// truncated dump keeps its whole sectors and the partial tail is left out of
// the view. Anything shorter than one whole sector is plain. An image without
// sync and headers (MODE2/2336) is known by the first volume descriptor of
// its ISO 9660 file system ("\x01CD001") at the start of the user data of
// sector 16, after its 8-byte subheader: that needs kLayoutDetectBytes.
DiscLayout DetectLayout(const std::uint8_t* head, std::size_t size, std::uint64_t fileLength);
// The same for an open file: reads its first kLayoutDetectBytes bytes (the
// position moves).
DiscLayout DetectLayout(File& file);

}  // namespace pixalto::disc
