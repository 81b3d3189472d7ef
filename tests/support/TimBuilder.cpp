#include "support/TimBuilder.h"

#include "image/TimFormat.h"
#include "platform/ByteOrder.h"

namespace pixalto::testing {
namespace {

// Writes fields one after another into a buffer sized up front (growing a
// vector field by field trips false overflow warnings in g++ 12's optimiser).
class Cursor {
  public:
    explicit Cursor(std::vector<std::uint8_t>& out) : out_(out) {}
    void U8(std::uint8_t v) { out_[at_++] = v; }
    void U16(std::uint16_t v) {
        WriteU16LE(out_.data() + at_, v);
        at_ += 2;
    }
    void U32(std::uint32_t v) {
        WriteU32LE(out_.data() + at_, v);
        at_ += 4;
    }

  private:
    std::vector<std::uint8_t>& out_;
    std::size_t at_ = 0;
};

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

std::vector<std::uint8_t> MakeTim(const TimSpec& desc) {
    const bool hasClut = desc.mode == 8 || desc.mode == 9;
    const std::size_t clutBytes = hasClut ? kTimBlockHeaderSize + 2 * desc.clut.size() : 0;
    std::vector<std::uint8_t> out(8 + clutBytes + kTimBlockHeaderSize + desc.pixels.size());
    Cursor cursor(out);
    for (std::uint8_t byte : {std::uint8_t{0x10}, std::uint8_t{0}, std::uint8_t{0}, std::uint8_t{0},
                              desc.mode, desc.flagByte5, desc.flagByte6, desc.flagByte7}) {
        cursor.U8(byte);
    }
    if (hasClut) {
        cursor.U32(
            desc.clutBlockLength.value_or(12 + 2 * static_cast<std::uint32_t>(desc.clut.size())));
        cursor.U16(desc.clutX);
        cursor.U16(desc.clutY);
        cursor.U16(desc.clutWidth);
        cursor.U16(desc.clutHeight);
        for (std::uint16_t entry : desc.clut) {
            cursor.U16(entry);
        }
    }
    cursor.U32(desc.imageBlockLength.value_or(12 + static_cast<std::uint32_t>(desc.pixels.size())));
    cursor.U16(desc.imageX);
    cursor.U16(desc.imageY);
    cursor.U16(desc.imageWidth);
    cursor.U16(desc.imageHeight);
    for (std::uint8_t byte : desc.pixels) {
        cursor.U8(byte);
    }
    return out;
}

TimSpec PatternTim(std::uint32_t bpp, std::uint32_t pixelWidth, std::uint16_t height,
                   std::uint32_t sets, std::uint32_t seed) {
    TimSpec desc;
    desc.mode = ModeForBpp(bpp);
    std::uint32_t state = seed * 2654435761u + 1;
    auto next = [&state] {
        state = state * 1664525u + 1013904223u;
        return static_cast<std::uint8_t>(state >> 24);
    };
    std::uint32_t rowBytes = 0;
    switch (bpp) {
        case 4:
            desc.imageWidth = static_cast<std::uint16_t>((pixelWidth + 3) / 4);
            rowBytes = desc.imageWidth * 2u;
            break;
        case 8:
            desc.imageWidth = static_cast<std::uint16_t>((pixelWidth + 1) / 2);
            rowBytes = desc.imageWidth * 2u;
            break;
        case 16:
            desc.imageWidth = static_cast<std::uint16_t>(pixelWidth);
            rowBytes = pixelWidth * 2;
            break;
        default:
            // Three units hold two 24-bit pixels.
            desc.imageWidth = static_cast<std::uint16_t>((pixelWidth * 3 + 1) / 2);
            rowBytes = desc.imageWidth * 2u;
            break;
    }
    desc.imageHeight = height;
    desc.pixels.resize(static_cast<std::size_t>(rowBytes) * height);
    for (auto& byte : desc.pixels) {
        byte = next();
    }
    if (bpp == 4 || bpp == 8) {
        std::uint32_t entries = (bpp == 4 ? 16u : 256u) * sets;
        desc.clutWidth = static_cast<std::uint16_t>(bpp == 4 ? 16 : 256);
        desc.clutHeight = static_cast<std::uint16_t>(sets);
        desc.clut.resize(entries);
        for (auto& entry : desc.clut) {
            entry = static_cast<std::uint16_t>(next() | (next() << 8));
        }
    }
    return desc;
}

}  // namespace pixalto::testing
