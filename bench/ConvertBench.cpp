// TIM -> BMP -> TIM for a 1024 x 512 image of each depth, in memory and
// through files (load, convert, write the BMP and its sidecar, load them,
// convert back, write the TIM). Baselines: copying the same byte counts with
// memcpy (into ready buffers, and into freshly allocated ones), and plain
// writes and reads of files of the same sizes.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>

#include "image/Image.h"
#include "support/TempDir.h"
#include "support/TimBuilder.h"

namespace {

using namespace pixalto;

constexpr std::uint32_t kWidth = 1024;
constexpr std::uint16_t kHeight = 512;
constexpr std::uint32_t kSets = 4;

// Our own BMPs come with a usable sidecar; being asked means a fault.
class NeverAsked : public OriginsRequest {
  public:
    std::optional<Origins> AskOrigins(bool) override { std::abort(); }
};

std::string WriteTim(const testing::TempDir& dir, std::uint32_t bpp) {
    return dir.Write("in.tim", testing::MakeTim(testing::PatternTim(bpp, kWidth, kHeight, kSets)));
}

void Check(bool ok) {
    if (!ok) {
        std::abort();
    }
}

ImageState Load(const std::string& path, bool isTim) {
    File file;
    Check(file.Open(path, File::Mode::Read));
    ImageState state;
    Check(!LoadImage(state, file, isTim));
    return state;
}

void EachDepth(benchmark::internal::Benchmark* bench) {
    bench->ArgName("bpp")->Arg(4)->Arg(8)->Arg(16)->Arg(24)->Unit(benchmark::kMicrosecond);
}

void BM_RoundTripInMemory(benchmark::State& bench) {
    testing::TempDir dir;
    ImageState state = Load(WriteTim(dir, static_cast<std::uint32_t>(bench.range(0))), true);
    NeverAsked request;
    for (auto _ : bench) {
        Check(!ConvertTimToBmp(state, 1));
        Check(!ConvertBmpToTim(state, request));
        benchmark::DoNotOptimize(state.imageData.data());
    }
    bench.SetBytesProcessed(bench.iterations() *
                            (std::int64_t{state.imageDataSize} + state.bmpPixelSize));
}
BENCHMARK(BM_RoundTripInMemory)->Apply(EachDepth);

// The floor in memory: the pixel bytes copied there and back.
void BM_BaselineMemcpy(benchmark::State& bench) {
    testing::TempDir dir;
    ImageState state = Load(WriteTim(dir, static_cast<std::uint32_t>(bench.range(0))), true);
    Check(!ConvertTimToBmp(state, 1));
    std::vector<std::uint8_t> bmp(state.bmpPixelSize);
    std::vector<std::uint8_t> tim(state.imageDataSize);
    for (auto _ : bench) {
        std::memcpy(bmp.data(), state.imageData.data(), std::min(bmp.size(), tim.size()));
        std::memcpy(tim.data(), bmp.data(), std::min(bmp.size(), tim.size()));
        benchmark::DoNotOptimize(tim.data());
    }
    bench.SetBytesProcessed(bench.iterations() *
                            (std::int64_t{state.imageDataSize} + state.bmpPixelSize));
}
BENCHMARK(BM_BaselineMemcpy)->Apply(EachDepth);

// The same copies into freshly allocated, zeroed buffers, as each conversion
// allocates the side it builds: first touches of new pages cost more than the
// copying itself.
void BM_BaselineAllocateAndCopy(benchmark::State& bench) {
    testing::TempDir dir;
    ImageState state = Load(WriteTim(dir, static_cast<std::uint32_t>(bench.range(0))), true);
    Check(!ConvertTimToBmp(state, 1));
    const std::size_t count = std::min<std::size_t>(state.bmpPixelSize, state.imageDataSize);
    for (auto _ : bench) {
        std::vector<std::uint8_t> bmp(state.bmpPixelSize);
        std::memcpy(bmp.data(), state.imageData.data(), count);
        std::vector<std::uint8_t> tim(state.imageDataSize + 1);
        std::memcpy(tim.data(), bmp.data(), count);
        benchmark::DoNotOptimize(tim.data());
    }
    bench.SetBytesProcessed(bench.iterations() *
                            (std::int64_t{state.imageDataSize} + state.bmpPixelSize));
}
BENCHMARK(BM_BaselineAllocateAndCopy)->Apply(EachDepth);

void BM_RoundTripFiles(benchmark::State& bench) {
    testing::TempDir dir;
    const std::string tim = WriteTim(dir, static_cast<std::uint32_t>(bench.range(0)));
    const std::string bmp = dir.File("out.bmp");
    const std::string back = dir.File("back.tim");
    NeverAsked request;
    for (auto _ : bench) {
        ImageState state = Load(tim, true);
        Check(!ConvertTimToBmp(state, 1));
        Check(!WriteImageFile(state, bmp, false));
        ImageState again = Load(bmp, false);
        Check(!ConvertBmpToTim(again, request));
        Check(!WriteImageFile(again, back, true));
    }
}
BENCHMARK(BM_RoundTripFiles)->Apply(EachDepth);

void WritePlain(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    File file;
    Check(file.Open(path, File::Mode::CreateWrite) && file.Write(bytes.data(), bytes.size()) &&
          file.Close());
}

void ReadPlain(const std::string& path, std::vector<std::uint8_t>& bytes) {
    File file;
    Check(file.Open(path, File::Mode::Read));
    Check(file.Read(bytes.data(), bytes.size()) == bytes.size());
}

// The floor through files: the same files written and read whole, without
// converting, temporary names or renames.
void BM_BaselineFiles(benchmark::State& bench) {
    testing::TempDir dir;
    const std::string tim = WriteTim(dir, static_cast<std::uint32_t>(bench.range(0)));
    ImageState state = Load(tim, true);
    Check(!ConvertTimToBmp(state, 1));
    std::vector<std::uint8_t> timBytes = testing::ReadAll(tim);
    std::vector<std::uint8_t> bmpBytes(54 + state.bmpPalette.size() + state.bmpPixelSize);
    std::vector<std::uint8_t> sidecarBytes(state.sidecarData);
    for (auto _ : bench) {
        ReadPlain(tim, timBytes);
        WritePlain(dir.File("out.tmext"), sidecarBytes);
        WritePlain(dir.File("out.bmp"), bmpBytes);
        ReadPlain(dir.File("out.bmp"), bmpBytes);
        ReadPlain(dir.File("out.tmext"), sidecarBytes);
        WritePlain(dir.File("back.tim"), timBytes);
    }
}
BENCHMARK(BM_BaselineFiles)->Apply(EachDepth);

}  // namespace
