#include "support/TimBuilder.h"

#include "platform/ByteOrder.h"

namespace pixalto::testing {
namespace {

void PutU16(std::vector<std::uint8_t>& out, std::uint16_t v) {
    std::uint8_t b[2];
    WriteU16LE(b, v);
    out.insert(out.end(), b, b + 2);
}
void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    std::uint8_t b[4];
    WriteU32LE(b, v);
    out.insert(out.end(), b, b + 4);
}

}  // namespace

std::uint8_t ModeForBpp(std::uint32_t bpp) {
    switch (bpp) {
        case 4:
            return 8;
        case 8:
            return 9;
        case 16:
            return 2;
        default:
            return 3;
    }
}

std::vector<std::uint8_t> MakeTim(const TimSpec& spec) {
    std::vector<std::uint8_t> out = {0x10, 0, 0, 0, spec.mode, spec.flagByte5, spec.flagByte6,
                                     spec.flagByte7};
    if (spec.mode == 8 || spec.mode == 9) {
        PutU32(out, spec.clutBlockLength.value_or(12 + 2 * static_cast<std::uint32_t>(spec.clut.size())));
        PutU16(out, spec.clutX);
        PutU16(out, spec.clutY);
        PutU16(out, spec.clutWidth);
        PutU16(out, spec.clutHeight);
        for (std::uint16_t entry : spec.clut) {
            PutU16(out, entry);
        }
    }
    PutU32(out, spec.imageBlockLength.value_or(12 + static_cast<std::uint32_t>(spec.pixels.size())));
    PutU16(out, spec.imageX);
    PutU16(out, spec.imageY);
    PutU16(out, spec.imageWidth);
    PutU16(out, spec.imageHeight);
    out.insert(out.end(), spec.pixels.begin(), spec.pixels.end());
    return out;
}

TimSpec PatternTim(std::uint32_t bpp, std::uint32_t pixelWidth, std::uint16_t height,
                   std::uint32_t sets, std::uint32_t seed) {
    TimSpec spec;
    spec.mode = ModeForBpp(bpp);
    std::uint32_t state = seed * 2654435761u + 1;
    auto next = [&state] {
        state = state * 1664525u + 1013904223u;
        return static_cast<std::uint8_t>(state >> 24);
    };
    std::uint32_t rowBytes = 0;
    switch (bpp) {
        case 4:
            spec.imageWidth = static_cast<std::uint16_t>((pixelWidth + 3) / 4);
            rowBytes = spec.imageWidth * 2u;
            break;
        case 8:
            spec.imageWidth = static_cast<std::uint16_t>((pixelWidth + 1) / 2);
            rowBytes = spec.imageWidth * 2u;
            break;
        case 16:
            spec.imageWidth = static_cast<std::uint16_t>(pixelWidth);
            rowBytes = pixelWidth * 2;
            break;
        default:
            // Three units hold two 24-bit pixels.
            spec.imageWidth = static_cast<std::uint16_t>((pixelWidth * 3 + 1) / 2);
            rowBytes = spec.imageWidth * 2u;
            break;
    }
    spec.imageHeight = height;
    spec.pixels.resize(static_cast<std::size_t>(rowBytes) * height);
    for (auto& byte : spec.pixels) {
        byte = next();
    }
    if (bpp == 4 || bpp == 8) {
        std::uint32_t entries = (bpp == 4 ? 16u : 256u) * sets;
        spec.clutWidth = static_cast<std::uint16_t>(bpp == 4 ? 16 : 256);
        spec.clutHeight = static_cast<std::uint16_t>(sets);
        spec.clut.resize(entries);
        for (auto& entry : spec.clut) {
            entry = static_cast<std::uint16_t>(next() | (next() << 8));
        }
    }
    return spec;
}

}  // namespace pixalto::testing
