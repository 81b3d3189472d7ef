// Any bytes as a TIM file: load it, then paint it with several views. The
// reader and the painter must stay inside their buffers whatever the header
// claims.

#include "FuzzTarget.h"
#include "image/Image.h"
#include "support/TimBuilder.h"

namespace {

using namespace pixalto;

void PaintAllViews(ImageState& state) {
    // Large enough for real images; bigger ones are clipped, as on screen.
    static MemorySurface surface(512, 512);
    const ViewOptions views[] = {
        {0, false, false}, {1, true, true}, {3, false, true}, {255, true, false}};
    for (const ViewOptions& view : views) {
        PaintImage(state, view, surface, {0, 0});
    }
    EraseForClose(state, true, surface, {0, 0});
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string path = fuzz::WriteScratchFile("input.tim", data, size);
    File file;
    if (!file.Open(path, File::Mode::Read)) {
        return 0;
    }
    ImageState state;
    if (!LoadImage(state, file, true)) {
        PaintAllViews(state);
    }
    return 0;
}

namespace pixalto::fuzz {

std::vector<std::vector<std::uint8_t>> Seeds() {
    using testing::MakeTim;
    using testing::PatternTim;
    std::vector<std::vector<std::uint8_t>> seeds;
    for (std::uint32_t bpp : {4u, 8u, 16u, 24u}) {
        seeds.push_back(MakeTim(PatternTim(bpp, 9, 5, 2, bpp)));
        testing::TimSpec lying = PatternTim(bpp, 8, 4, 1, bpp + 1);
        lying.imageHeight = 300;  // more rows than the data holds
        seeds.push_back(MakeTim(lying));
    }
    testing::TimSpec shortClut = PatternTim(8, 4, 2);
    shortClut.clut.resize(5);
    seeds.push_back(MakeTim(shortClut));
    return seeds;
}

}  // namespace pixalto::fuzz
