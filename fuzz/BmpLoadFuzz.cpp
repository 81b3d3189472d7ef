// Any bytes as a BMP with a sidecar file: load it, convert it to TIM, and
// convert that TIM to BMP and back again, which must give the same TIM. The
// reader and the conversion must stay inside their buffers whatever the
// headers and the sidecar claim.
//
// Input: a 4-byte little-endian length L, then L bytes of BMP (fewer if the
// input ends), then the sidecar's bytes; no bytes after the BMP means no
// sidecar file at all.

#include <cstdio>
#include <cstdlib>

#include "FuzzOrigins.h"
#include "FuzzTarget.h"
#include "image/Image.h"
#include "support/BmpBuilder.h"
#include "support/TimBuilder.h"

namespace {

using namespace pixalto;
using fuzz::EscapeThenAnswer;
using fuzz::NeverAsked;

bool SameTim(const ImageState& a, const ImageState& b) {
    auto pixels = [](const ImageState& s) {
        return std::vector<std::uint8_t>(s.imageData.begin(),
                                         s.imageData.begin() + s.imageDataSize);
    };
    return a.fileId == b.fileId && a.flags == b.flags && a.clutBlockLength == b.clutBlockLength &&
           a.clutOrgX == b.clutOrgX && a.clutOrgY == b.clutOrgY && a.clutWidth == b.clutWidth &&
           a.clutHeight == b.clutHeight && a.clutData == b.clutData &&
           a.imageBlockLength == b.imageBlockLength && a.imageOrgX == b.imageOrgX &&
           a.imageOrgY == b.imageOrgY && a.imageWidth == b.imageWidth &&
           a.imageHeight == b.imageHeight && a.pixelWidth == b.pixelWidth && pixels(a) == pixels(b);
}

// TIM -> BMP -> TIM must be exact for a TIM that came from a BMP: its palette
// set has no STP bits left to lose. 24-bit widths that aren't a whole number
// of pixels are the one shape that can't come back the same.
void CheckRoundTrip(ImageState& state, std::uint32_t paletteSet) {
    if (state.bpp == 24 && state.imageWidth % 3 != 0) {
        return;
    }
    const ImageState first = state;
    NeverAsked never;
    if (ConvertTimToBmp(state, paletteSet) || ConvertBmpToTim(state, never) ||
        !SameTim(first, state)) {
        std::fprintf(stderr, "TIM -> BMP -> TIM changed the image\n");
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) {
        return 0;
    }
    const std::size_t bmpSize = std::min<std::size_t>(ReadU32LE(data), size - 4);
    const std::string path = fuzz::WriteScratchFile("input.bmp", data + 4, bmpSize);
    const std::string sidecarPath = SidecarPathFor(path);
    if (4 + bmpSize < size) {
        fuzz::WriteScratchFile("input.tmext", data + 4 + bmpSize, size - 4 - bmpSize);
    } else {
        std::remove(sidecarPath.c_str());
    }

    File file;
    if (!file.Open(path, File::Mode::Read)) {
        return 0;
    }
    ImageState state;
    if (LoadImage(state, file, false)) {
        return 0;
    }
    const auto sidecar = ParseSidecar({state.sidecarData.data(), state.sidecarSize}, state.bpp);
    EscapeThenAnswer request;
    if (ConvertBmpToTim(state, request)) {
        return 0;
    }
    state.ReleaseBmpSide();
    CheckRoundTrip(state, sidecar ? sidecar->paletteSet : 0);
    return 0;
}

namespace pixalto::fuzz {

namespace {

std::vector<std::uint8_t> Input(const std::vector<std::uint8_t>& bmp,
                                const std::vector<std::uint8_t>& sidecar) {
    std::vector<std::uint8_t> out(4);
    WriteU32LE(out.data(), static_cast<std::uint32_t>(bmp.size()));
    out.insert(out.end(), bmp.begin(), bmp.end());
    out.insert(out.end(), sidecar.begin(), sidecar.end());
    return out;
}

}  // namespace

std::vector<std::vector<std::uint8_t>> Seeds() {
    using testing::MakeBmp;
    using testing::MakeSidecar;
    using testing::PatternBmp;
    std::vector<std::vector<std::uint8_t>> seeds;
    for (std::uint16_t bits : {4, 8, 16, 24}) {
        const bool clut = bits <= 8;
        const std::size_t entries = bits == 4 ? 16 : 256;
        // Three sets, the palette set in the middle, rows padded.
        seeds.push_back(
            Input(MakeBmp(PatternBmp(bits, 6, 3, true, bits)),
                  MakeSidecar({1, 2, clut, 3, 4, static_cast<std::uint16_t>(clut ? 3 : 1), 1,
                               std::vector<std::uint16_t>(clut ? 2 * entries : 0, 0x8421)})));
        // One set, rows in the older unpadded layout.
        seeds.push_back(Input(MakeBmp(PatternBmp(bits, 5, 2, false, bits + 1)),
                              MakeSidecar({5, 6, clut, 7, 8, 1, 0, {}})));
        // No sidecar: the origins are asked for.
        seeds.push_back(Input(MakeBmp(PatternBmp(bits, 8, 2, true, bits + 2)), {}));
    }
    // The longer info header of image editors: the palette after its 124 bytes.
    testing::BmpSpec edited = PatternBmp(8, 6, 3, true, 9);
    edited.biSize = 124;
    edited.infoTail.assign(124 - 40, 0);
    seeds.push_back(Input(MakeBmp(edited), MakeSidecar({5, 6, true, 7, 8, 1, 0, {}})));
    // A sidecar whose N is 0.
    seeds.push_back(Input(MakeBmp(PatternBmp(8, 4, 4)), MakeSidecar({1, 1, true, 2, 2, 0, 0, {}})));
    return seeds;
}

}  // namespace pixalto::fuzz
