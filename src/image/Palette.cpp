#include "image/Palette.h"

#include <algorithm>
#include <cstdio>
#include <new>
#include <sstream>

#include "image/AlphaRule.h"
#include "platform/ByteOrder.h"
#include "platform/File.h"
#include "platform/FileReplace.h"

namespace pixalto {
namespace {

using Bytes = std::span<const std::uint8_t>;

constexpr std::size_t kAdobeTableSize = 768;
constexpr std::size_t kAdobeTrailerSize = 4;
constexpr std::uint16_t kNoTransparent = 0xFFFF;

// A colour of a palette file; alpha only where the format has one for it.
struct FileColour {
    Rgba rgba;
    bool hasAlpha = false;
};

Error Unreadable(const std::string& why) {
    Error error(ErrorCode::PaletteUnreadable);
    error.detail = why;
    return error;
}

// The words of one set; entries the CLUT doesn't have are 0.
std::vector<PsxColor> SetWords(const ImageState& state, std::uint32_t set) {
    const std::uint32_t entries = ClutSetEntries(state.bpp);
    const std::size_t size = std::min<std::size_t>(state.clutDataSize, state.clutData.size());
    std::vector<PsxColor> words(entries, 0);
    for (std::uint32_t i = 0; i < entries; ++i) {
        const std::uint64_t at = (std::uint64_t{set} * entries + i) * 2;
        if (at + 2 <= size) {
            words[i] = ReadU16LE(&state.clutData[at]);
        }
    }
    return words;
}

std::string TextPalette(PaletteFormat format, const std::vector<PsxColor>& words,
                        const std::string& name) {
    std::string text = format == PaletteFormat::Gimp
                           ? "GIMP Palette\nName: " + name + "\nColumns: 16\n#\n"
                           : "JASC-PAL\r\n0100\r\n" + std::to_string(words.size()) + "\r\n";
    char line[48];
    for (std::size_t i = 0; i < words.size(); ++i) {
        const Rgba c = RgbaOf(words[i]);
        if (format == PaletteFormat::Gimp) {
            std::snprintf(line, sizeof line, "%3d %3d %3d\tIndex %zu\n", c.r, c.g, c.b, i);
        } else {
            std::snprintf(line, sizeof line, "%d %d %d\r\n", c.r, c.g, c.b);
        }
        text += line;
    }
    return text;
}

std::vector<std::uint8_t> AdobeTable(const std::vector<PsxColor>& words) {
    std::vector<std::uint8_t> out(kAdobeTableSize + kAdobeTrailerSize, 0);
    std::uint16_t transparent = kNoTransparent;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const Rgba c = RgbaOf(words[i]);
        out[i * 3] = c.r;
        out[i * 3 + 1] = c.g;
        out[i * 3 + 2] = c.b;
        if (words[i] == 0 && transparent == kNoTransparent) {
            transparent = static_cast<std::uint16_t>(i);
        }
    }
    // The count and the transparent colour, big-endian as Adobe writes them.
    const std::uint16_t count = static_cast<std::uint16_t>(words.size());
    out[kAdobeTableSize] = static_cast<std::uint8_t>(count >> 8);
    out[kAdobeTableSize + 1] = static_cast<std::uint8_t>(count);
    out[kAdobeTableSize + 2] = static_cast<std::uint8_t>(transparent >> 8);
    out[kAdobeTableSize + 3] = static_cast<std::uint8_t>(transparent);
    return out;
}

// A TIM of the image's mode with a CLUT block of one row, the set's own
// place in the frame buffer, and no image block.
std::vector<std::uint8_t> ClutOnlyTim(const ImageState& state, std::uint32_t set,
                                      const std::vector<PsxColor>& words) {
    std::vector<std::uint8_t> out(TimHeader::kSize + BlockHeader::kSize + words.size() * 2);
    TimHeader{kTimId, {ModeForBpp(state.bpp), 0, 0, 0}}.Store(
        std::span<std::uint8_t, TimHeader::kSize>(out.data(), TimHeader::kSize));
    const BlockHeader block{static_cast<std::uint32_t>(BlockHeader::kSize + words.size() * 2),
                            state.clutOrgX, static_cast<std::uint16_t>(state.clutOrgY + set),
                            static_cast<std::uint16_t>(words.size()), 1};
    block.Store(std::span<std::uint8_t, BlockHeader::kSize>(out.data() + TimHeader::kSize,
                                                            BlockHeader::kSize));
    for (std::size_t i = 0; i < words.size(); ++i) {
        WriteU16LE(&out[TimHeader::kSize + BlockHeader::kSize + i * 2], words[i]);
    }
    return out;
}

// The lines of a text palette without their line ends.
std::vector<std::string> Lines(Bytes bytes) {
    std::vector<std::string> lines;
    std::istringstream in(std::string(bytes.begin(), bytes.end()));
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(line);
    }
    return lines;
}

// Three whole numbers 0-255 at the start of line.
std::optional<FileColour> ParseRgb(const std::string& line) {
    std::istringstream in(line);
    int r = -1, g = -1, b = -1;
    if (!(in >> r >> g >> b) || std::min({r, g, b}) < 0 || std::max({r, g, b}) > 255) {
        return std::nullopt;
    }
    return FileColour{{static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g),
                       static_cast<std::uint8_t>(b), 255},
                      false};
}

Result<std::vector<FileColour>> ReadGimp(const std::vector<std::string>& lines) {
    if (lines.empty() || lines[0] != "GIMP Palette") {
        return Unreadable("it doesn't start with \"GIMP Palette\"");
    }
    std::vector<FileColour> colours;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        const auto first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == '#' || line.rfind("Name:", 0) == 0 ||
            line.rfind("Columns:", 0) == 0) {
            continue;
        }
        const auto colour = ParseRgb(line);
        if (!colour) {
            return Unreadable("line " + std::to_string(i + 1) + " is not a colour");
        }
        colours.push_back(*colour);
    }
    return colours;
}

Result<std::vector<FileColour>> ReadJasc(const std::vector<std::string>& lines) {
    if (lines.size() < 3 || lines[0] != "JASC-PAL") {
        return Unreadable("it doesn't start with \"JASC-PAL\"");
    }
    std::size_t count = 0;
    std::istringstream in(lines[2]);
    if (!(in >> count)) {
        return Unreadable("line 3 is not the number of colours");
    }
    std::vector<FileColour> colours;
    for (std::size_t i = 3; i < lines.size() && colours.size() < count; ++i) {
        const auto colour = ParseRgb(lines[i]);
        if (!colour) {
            return Unreadable("line " + std::to_string(i + 1) + " is not a colour");
        }
        colours.push_back(*colour);
    }
    if (colours.size() < count) {
        return Unreadable("it ends before its " + std::to_string(count) + " colours");
    }
    return colours;
}

Result<std::vector<FileColour>> ReadAdobe(Bytes bytes) {
    if (bytes.size() != kAdobeTableSize && bytes.size() != kAdobeTableSize + kAdobeTrailerSize) {
        return Unreadable("an Adobe colour table is 768 or 772 bytes long");
    }
    std::size_t count = 256;
    std::uint16_t transparent = kNoTransparent;
    if (bytes.size() > kAdobeTableSize) {
        count = (bytes[kAdobeTableSize] << 8) | bytes[kAdobeTableSize + 1];
        transparent = static_cast<std::uint16_t>((bytes[kAdobeTableSize + 2] << 8) |
                                                 bytes[kAdobeTableSize + 3]);
        if (count > 256) {
            return Unreadable("it claims " + std::to_string(count) + " colours");
        }
    }
    std::vector<FileColour> colours(count);
    for (std::size_t i = 0; i < count; ++i) {
        colours[i].rgba = {bytes[i * 3], bytes[i * 3 + 1], bytes[i * 3 + 2], 255};
        if (i == transparent) {
            colours[i] = {{0, 0, 0, 0}, true};
        }
    }
    return colours;
}

Result<std::vector<FileColour>> ReadClutTim(Bytes bytes) {
    const auto head = TimHeader::Parse(bytes);
    if (!head || !head->IsValid() || !head->HasClut()) {
        return Unreadable("it is not a TIM with a CLUT");
    }
    const auto block = BlockHeader::Parse(bytes.subspan(TimHeader::kSize));
    const std::size_t data = TimHeader::kSize + BlockHeader::kSize;
    if (!block || bytes.size() < data + std::size_t{block->width} * 2) {
        return Unreadable("its CLUT block is cut short");
    }
    std::vector<FileColour> colours(block->width);
    for (std::size_t i = 0; i < colours.size(); ++i) {
        colours[i] = {RgbaOf(ReadU16LE(&bytes[data + i * 2])), true};
    }
    return colours;
}

Result<std::vector<FileColour>> ReadPalette(Bytes bytes, PaletteFormat format) {
    switch (format) {
        case PaletteFormat::Gimp:
            return ReadGimp(Lines(bytes));
        case PaletteFormat::Jasc:
            return ReadJasc(Lines(bytes));
        case PaletteFormat::Adobe:
            return ReadAdobe(bytes);
        case PaletteFormat::Tim:
            return ReadClutTim(bytes);
    }
    return Unreadable("unknown format");
}

}  // namespace

std::optional<PaletteFormat> PaletteFormatFor(const std::string& path) {
    if (HasExtension(path, ".gpl")) {
        return PaletteFormat::Gimp;
    }
    if (HasExtension(path, ".pal")) {
        return PaletteFormat::Jasc;
    }
    if (HasExtension(path, ".act")) {
        return PaletteFormat::Adobe;
    }
    if (HasExtension(path, ".tim") || HasExtension(path, ".clt")) {
        return PaletteFormat::Tim;
    }
    return std::nullopt;
}

Result<std::vector<std::uint8_t>> ExportPalette(const ImageState& state, std::uint32_t set,
                                                PaletteFormat format, const std::string& name) {
    if (!HasClut(state.bpp)) {
        return Error(ErrorCode::NoClutForPalette);
    }
    try {
        const std::vector<PsxColor> words = SetWords(state, set);
        switch (format) {
            case PaletteFormat::Gimp:
            case PaletteFormat::Jasc: {
                const std::string text = TextPalette(format, words, name);
                return std::vector<std::uint8_t>(text.begin(), text.end());
            }
            case PaletteFormat::Adobe:
                return AdobeTable(words);
            case PaletteFormat::Tim:
                return ClutOnlyTim(state, set, words);
        }
    } catch (const std::bad_alloc&) {
        return Error(ErrorCode::NotEnoughMemory);
    }
    return Error(ErrorCode::NoClutForPalette);
}

Error ImportPalette(ImageState& state, std::uint32_t set, std::span<const std::uint8_t> bytes,
                    PaletteFormat format) {
    if (!HasClut(state.bpp)) {
        return Error(ErrorCode::NoClutForPalette);
    }
    Result<std::vector<FileColour>> colours = ReadPalette(bytes, format);
    if (!colours) {
        return colours.error();
    }
    const std::uint32_t entries = ClutSetEntries(state.bpp);
    if (colours->size() > entries) {
        Error error(ErrorCode::PaletteTooLong);
        error.number = static_cast<std::int64_t>(colours->size());
        error.offset = entries;
        return error;
    }
    const std::size_t size = std::min<std::size_t>(state.clutDataSize, state.clutData.size());
    for (std::size_t i = 0; i < colours->size(); ++i) {
        const std::uint64_t at = (std::uint64_t{set} * entries + i) * 2;
        if (at + 2 > size) {
            break;
        }
        const FileColour& c = (*colours)[i];
        const PsxColor was = ReadU16LE(&state.clutData[at]);
        if (!Unchanged(was, c.rgba, c.hasAlpha)) {
            WriteU16LE(&state.clutData[at], c.hasAlpha ? WordOf(c.rgba)
                                                       : RgbToPsx(c.rgba.r, c.rgba.g, c.rgba.b,
                                                                  /*stp=*/false));
        }
    }
    return {};
}

Error WritePaletteFile(const std::vector<std::uint8_t>& bytes, const std::string& path) {
    PendingFile file(path);
    if (!file.Create() || !file.file().Write(bytes.data(), bytes.size()) || !file.Finish() ||
        !file.Commit()) {
        return file.LastError().As(ErrorCode::FailedSavingPalette);
    }
    return {};
}

}  // namespace pixalto
