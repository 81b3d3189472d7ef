// Any bytes as a RAW file: scan it, then extract the first and the last TIM
// found. The signature test reads headers past the window and past the end of
// the file; extraction sizes TIMs from their headers; a file that starts like
// a raw CD image is read through its sectors' data. All of it must stay
// inside its buffers.

#include "FuzzTarget.h"
#include "raw/ExtractJob.h"
#include "raw/HeadlessHost.h"
#include "raw/ScanFileJob.h"
#include "support/DiscBuilder.h"
#include "support/TimBuilder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace pixalto;
    std::string path = fuzz::WriteScratchFile("raw.bin", data, size);
    raw::HeadlessHost host;
    raw::ScanFileJob scan(host, path);
    if (raw::RunJob(scan) != raw::kJobFinished || host.EntryCount() == 0) {
        return 0;
    }
    raw::ExtractJob extract(host, path, "1," + std::to_string(host.EntryCount()));
    raw::RunJob(extract);
    return 0;
}

namespace pixalto::fuzz {

std::vector<std::vector<std::uint8_t>> Seeds() {
    using testing::MakeTim;
    using testing::PatternTim;
    std::vector<std::vector<std::uint8_t>> seeds;
    std::vector<std::uint8_t> mixed(37, 0x10);
    for (std::uint32_t bpp : {4u, 8u, 16u, 24u}) {
        auto tim = MakeTim(PatternTim(bpp, 6, 3, 2, bpp));
        mixed.insert(mixed.end(), tim.begin(), tim.end());
        mixed.insert(mixed.end(), 5, 0);
    }
    seeds.push_back(mixed);
    // A TIM cut short by the end of the file, and one nested in another.
    auto cut = MakeTim(PatternTim(16, 8, 8));
    cut.resize(8 + 64);
    seeds.push_back(cut);
    auto outer = PatternTim(16, 32, 4);
    auto inner = MakeTim(PatternTim(4, 8, 2));
    std::copy(inner.begin(), inner.end(), outer.pixels.begin() + 10);
    seeds.push_back(MakeTim(outer));
    // A small MODE2/2352 image with a TIM across two sectors and a Form 2
    // sector between them.
    testing::DiscContents disc;
    disc.data.assign(2 * 2048, 0xA5);
    testing::PlaceBytes(disc.data, 1900, MakeTim(PatternTim(16, 20, 10)));
    disc.gapsBefore = {1};
    seeds.push_back(testing::MakeDisc(disc).image);
    return seeds;
}

}  // namespace pixalto::fuzz
