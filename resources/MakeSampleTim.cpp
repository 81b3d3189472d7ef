// pixalto-make-sample OUT.tim: writes the sample image shipped with Pixalto,
// a 4-bit 128 x 96 TIM with four CLUT sets, so that a newcomer has something
// to open whose set scroll bar, split view and transparency all show a
// difference. Built from the image model and written by the program's own
// TIM writer.

#include <cmath>
#include <cstdint>
#include <cstdio>

#include "image/ImageState.h"
#include "image/PsxColor.h"
#include "image/TimFormat.h"
#include "image/Writer.h"

namespace {

using pixalto::ImageState;

constexpr std::uint32_t kWidth = 128;
constexpr std::uint32_t kHeight = 96;
constexpr std::uint32_t kSets = 4;

// A 16-step ramp from one colour to another, in 5-bit components; entry 0
// stays word 0, which Transparency leaves undrawn.
void FillRamp(std::vector<std::uint8_t>& clut, std::uint32_t set, int r0, int g0, int b0, int r1,
              int g1, int b1) {
    for (int i = 1; i < 16; ++i) {
        const auto mix = [i](int from, int to) { return from + (to - from) * (i - 1) / 14; };
        const pixalto::PsxColor word =
            static_cast<pixalto::PsxColor>(mix(r0, r1) | (mix(g0, g1) << 5) | (mix(b0, b1) << 10));
        const std::size_t at = 2 * (set * 16 + static_cast<std::size_t>(i));
        clut[at] = static_cast<std::uint8_t>(word);
        clut[at + 1] = static_cast<std::uint8_t>(word >> 8);
    }
}

// The CLUT index of pixel (x, y): a frame of index 0, diagonal bands behind a
// disc of rings, and a sun in the lower half that only Split Image lays over
// the rings.
std::uint8_t IndexAt(std::uint32_t x, std::uint32_t y) {
    if (x < 4 || y < 4 || x >= kWidth - 4 || y >= kHeight - 4) {
        return 0;
    }
    const double dx = static_cast<double>(x) - 64.0;
    const double dy = static_cast<double>(y) - 26.0;
    const double distance = std::sqrt(dx * dx + dy * dy);
    if (distance < 20.0) {
        return static_cast<std::uint8_t>(15 - static_cast<int>(distance) / 2);
    }
    if (y >= kHeight / 2) {
        const double sx = static_cast<double>(x) - 100.0;
        const double sy = static_cast<double>(y) - 62.0;
        if (sx * sx + sy * sy < 100.0) {
            return 12;
        }
    }
    return static_cast<std::uint8_t>(1 + ((x + y) / 8) % 6);
}

ImageState MakeSample() {
    ImageState state;
    state.fileId = pixalto::kTimId;
    state.flags = {static_cast<std::uint8_t>(pixalto::TimMode::Clut4), 0, 0, 0};
    state.bpp = 4;

    state.clutWidth = 16;
    state.clutHeight = kSets;
    state.clutOrgX = 0;
    state.clutOrgY = 480;
    state.clutDataSize = 2 * 16 * kSets;
    state.clutBlockLength = pixalto::kTimBlockHeaderSize + state.clutDataSize;
    state.clutData.assign(state.clutDataSize, 0);
    FillRamp(state.clutData, 0, 2, 4, 12, 31, 28, 10);  // dusk to sun
    FillRamp(state.clutData, 1, 0, 8, 6, 10, 31, 24);   // sea
    FillRamp(state.clutData, 2, 6, 3, 1, 20, 31, 6);    // forest
    FillRamp(state.clutData, 3, 3, 3, 3, 31, 31, 31);   // greys

    state.pixelWidth = kWidth;
    state.imageWidth = static_cast<std::uint16_t>(kWidth / 4);
    state.imageHeight = kHeight;
    state.imageOrgX = 640;
    state.imageOrgY = 0;
    state.imageDataSize = kWidth * kHeight / 2;
    state.imageBlockLength = pixalto::kTimBlockHeaderSize + state.imageDataSize;
    state.imageData.assign(state.imageDataSize + 1, 0);
    for (std::uint32_t y = 0; y < kHeight; ++y) {
        for (std::uint32_t x = 0; x < kWidth; ++x) {
            const std::uint32_t n = y * kWidth + x;
            const std::uint8_t index = IndexAt(x, y);
            state.imageData[n / 2] |= static_cast<std::uint8_t>((n & 1) ? index << 4 : index);
        }
    }
    return state;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "Usage: pixalto-make-sample OUT.tim\n");
        return 2;
    }
    if (pixalto::WriteImageFile(MakeSample(), argv[1], true)) {
        std::fprintf(stderr, "pixalto-make-sample: can't write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
