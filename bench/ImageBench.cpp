// Decoding and painting a 1024 x 512 image of each depth into the in-memory
// surface, and loading a 1 MiB TIM from a file. Baselines: copying the same
// number of ready-made pixels into the surface, and reading the same bytes
// through the file object.

#include <benchmark/benchmark.h>

#include "image/Image.h"
#include "support/TempDir.h"
#include "support/TimBuilder.h"

namespace {

using namespace pixalto;

constexpr std::uint32_t kWidth = 1024;
constexpr std::uint16_t kHeight = 512;

ImageState LoadedState(std::uint32_t bpp, const testing::TempDir& dir) {
    std::string path =
        dir.Write("bench.tim", testing::MakeTim(testing::PatternTim(bpp, kWidth, kHeight, 4)));
    File file;
    file.Open(path, File::Mode::Read);
    ImageState state;
    if (LoadImage(state, file, true)) {
        std::abort();
    }
    return state;
}

void BM_PaintImage(benchmark::State& bench) {
    testing::TempDir dir;
    ImageState state = LoadedState(static_cast<std::uint32_t>(bench.range(0)), dir);
    MemorySurface surface(kWidth, kHeight);
    ViewOptions view;
    view.currentSet = 1;
    view.transparency = bench.range(1) != 0;
    for (auto _ : bench) {
        PaintImage(state, view, surface, {0, 0});
        benchmark::DoNotOptimize(surface.At(0, 0));
    }
    bench.SetItemsProcessed(bench.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_PaintImage)
    ->ArgNames({"bpp", "transparency"})
    ->ArgsProduct({{4, 8, 16, 24}, {0, 1}})
    ->Unit(benchmark::kMicrosecond);

// The floor for any painter: rows of finished pixels handed to the surface.
void BM_PaintBaselineCopyRows(benchmark::State& bench) {
    MemorySurface surface(kWidth, kHeight);
    std::vector<Pixel> row(kWidth, MakePixel(1, 2, 3));
    for (auto _ : bench) {
        for (int y = 0; y < kHeight; ++y) {
            surface.DrawRow(0, y, row);
        }
        benchmark::DoNotOptimize(surface.At(0, 0));
    }
    bench.SetItemsProcessed(bench.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_PaintBaselineCopyRows)->Unit(benchmark::kMicrosecond);

// A 16-bit TIM of 512 x 1024 pixels: 1 MiB of pixel data.
std::string MegabyteTim(const testing::TempDir& dir) {
    return dir.Write("mib.tim", testing::MakeTim(testing::PatternTim(16, 512, 1024)));
}

void BM_LoadImageOneMebibyte(benchmark::State& bench) {
    testing::TempDir dir;
    std::string path = MegabyteTim(dir);
    for (auto _ : bench) {
        File file;
        file.Open(path, File::Mode::Read);
        ImageState state;
        benchmark::DoNotOptimize(LoadImage(state, file, true));
    }
    bench.SetBytesProcessed(bench.iterations() * (1 << 20));
}
BENCHMARK(BM_LoadImageOneMebibyte)->Unit(benchmark::kMicrosecond);

void BM_LoadBaselineReadFile(benchmark::State& bench) {
    testing::TempDir dir;
    std::string path = MegabyteTim(dir);
    std::vector<std::uint8_t> buffer((1 << 20) + 64);
    for (auto _ : bench) {
        File file;
        file.Open(path, File::Mode::Read);
        benchmark::DoNotOptimize(file.Read(buffer.data(), buffer.size()));
    }
    bench.SetBytesProcessed(bench.iterations() * (1 << 20));
}
BENCHMARK(BM_LoadBaselineReadFile)->Unit(benchmark::kMicrosecond);

}  // namespace
