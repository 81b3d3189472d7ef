// Any bytes as a PNG with a sidecar file: convert it to TIM at the depth the
// first byte picks, and, when that works, the TIM to PNG and back, which must
// give the same TIM. The decoder and the conversion must stay inside their
// buffers whatever the chunks, the record and the sidecar claim.
//
// Input: one byte choosing the depth (its value modulo 5: as the record or
// pixels say, 4, 8, 16 or 24), a 4-byte little-endian length L, then L bytes
// of PNG (fewer if the input ends), then the sidecar's bytes.

#include <cstdio>
#include <cstdlib>

#include "FuzzOrigins.h"
#include "FuzzTarget.h"
#include "image/Image.h"
#include "support/PngBuilder.h"
#include "support/TimBuilder.h"

namespace {

using namespace pixalto;
using fuzz::EscapeThenAnswer;
using fuzz::NeverAsked;

std::vector<std::uint8_t> TimBytes(const ImageState& s) {
    std::vector<std::uint8_t> out(s.clutData.begin(), s.clutData.begin() + s.clutDataSize);
    out.insert(out.end(), s.imageData.begin(), s.imageData.begin() + s.imageDataSize);
    for (const std::uint32_t field :
         {std::uint32_t{s.flags[0]}, s.clutBlockLength, std::uint32_t{s.clutOrgX},
          std::uint32_t{s.clutOrgY}, std::uint32_t{s.clutWidth}, std::uint32_t{s.clutHeight},
          s.imageBlockLength, std::uint32_t{s.imageOrgX}, std::uint32_t{s.imageOrgY},
          std::uint32_t{s.imageWidth}, std::uint32_t{s.imageHeight}}) {
        out.push_back(static_cast<std::uint8_t>(field));
        out.push_back(static_cast<std::uint8_t>(field >> 8));
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 5) {
        return 0;
    }
    constexpr std::uint32_t kDepths[] = {kPngDepthAuto, 4, 8, 16, 24};
    const std::uint32_t depth = kDepths[data[0] % 5];
    const std::size_t pngSize = std::min<std::size_t>(ReadU32LE(data + 1), size - 5);
    const std::span<const std::uint8_t> png(data + 5, pngSize);
    const std::span<const std::uint8_t> sidecar(data + 5 + pngSize, size - 5 - pngSize);
    ImageState state;
    EscapeThenAnswer request;
    if (ConvertPngToTim(state, png, sidecar, depth, request)) {
        return 0;
    }
    const std::uint32_t set = state.ClutSetCount() > 1 ? 1 : 0;
    Result<PngFile> again = ConvertTimToPng(state, set);
    if (!again) {
        return 0;  // an image without pixels
    }
    ImageState back;
    NeverAsked never;
    if (ConvertPngToTim(back, again->png, {}, kPngDepthAuto, never) ||
        TimBytes(back) != TimBytes(state)) {
        std::fprintf(stderr, "TIM -> PNG -> TIM changed the image\n");
        std::abort();
    }
    return 0;
}

namespace pixalto::fuzz {

namespace {

std::vector<std::uint8_t> Input(std::uint8_t depth, const std::vector<std::uint8_t>& png,
                                const std::vector<std::uint8_t>& sidecar) {
    std::vector<std::uint8_t> out(5, depth);
    WriteU32LE(out.data() + 1, static_cast<std::uint32_t>(png.size()));
    out.insert(out.end(), png.begin(), png.end());
    out.insert(out.end(), sidecar.begin(), sidecar.end());
    return out;
}

}  // namespace

std::vector<std::vector<std::uint8_t>> Seeds() {
    std::vector<std::vector<std::uint8_t>> seeds;
    // PNGs of every depth as this program writes them: the record in the
    // chunk, then in the sidecar alone.
    for (const std::uint32_t bpp : {4u, 8u, 16u, 24u}) {
        const auto tim = testing::MakeTim(testing::PatternTim(bpp, 6, 3, 3, bpp));
        const std::string path = WriteScratchFile("seed.tim", tim.data(), tim.size());
        File file;
        ImageState state;
        if (!file.Open(path, File::Mode::Read) || LoadImage(state, file, true)) {
            continue;
        }
        const Result<PngFile> png = ConvertTimToPng(state, 1);
        if (png) {
            seeds.push_back(Input(0, png->png, {}));
            seeds.push_back(
                Input(0, testing::WithoutChunk(png->png, kPngRecordChunk), png->sidecar));
        }
    }
    // As editors write them: indexed with a short tRNS, grey, interlaced
    // RGBA at 16 bits a channel, each at a depth of its own.
    seeds.push_back(Input(0,
                          testing::MakePng({4,
                                            2,
                                            3,
                                            8,
                                            false,
                                            std::vector<std::uint8_t>(768, 9),
                                            {0, 128},
                                            {0, 1, 2, 17, 3, 4, 5, 200},
                                            {}}),
                          {}));
    seeds.push_back(
        Input(3, testing::MakePng({3, 2, 0, 8, false, {}, {}, {0, 8, 255, 16, 24, 32}, {}}), {}));
    seeds.push_back(Input(
        1,
        testing::MakePng({2, 2, 6, 16, true, {}, {}, std::vector<std::uint16_t>(16, 0x8000), {}}),
        {}));
    return seeds;
}

}  // namespace pixalto::fuzz
