// Scanning a 1 GiB RAW file for TIMs: random bytes with a TIM embedded every
// MiB, and an 8 MiB stretch dense with 0x10 bytes and headers that fail only
// at their block lengths. Baseline: reading the same file through 1 MiB
// buffers and counting its 0x10 bytes with memchr, which is the least any
// scan has to do. The scan, in process and as `pixalto-cli scan`, should stay
// within 1.2 times the baseline's time.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/ByteOrder.h"
#include "platform/File.h"
#include "raw/HeadlessHost.h"
#include "raw/Job.h"
#include "raw/ScanFileJob.h"
#include "support/TimBuilder.h"

namespace {

using namespace pixalto;

constexpr std::size_t kMiB = 1 << 20;
constexpr std::size_t kFileSize = 1024 * kMiB;
constexpr std::size_t kDenseStart = 100 * kMiB;
constexpr std::size_t kDenseSize = 8 * kMiB;

void FillRandom(std::vector<std::uint8_t>& chunk, std::uint64_t& state) {
    for (std::size_t i = 0; i + 8 <= chunk.size(); i += 8) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        for (int b = 0; b < 8; ++b) {
            chunk[i + static_cast<std::size_t>(b)] = static_cast<std::uint8_t>(state >> (8 * b));
        }
    }
}

// 0x10 bytes, runs of them, and CLUT and image headers whose lengths are off
// by two: each passes the first checks and costs a full signature test.
void FillDense(std::vector<std::uint8_t>& chunk, std::uint64_t& state) {
    FillRandom(chunk, state);
    const std::uint8_t clutMiss[] = {0x10, 0, 0, 0, 9, 0, 0,  0, 46, 0,
                                     0,    0, 0, 0, 0, 0, 16, 0, 1,  0};
    const std::uint8_t imageMiss[] = {0x10, 0, 0, 0, 2, 0, 0, 0, 30, 0,
                                      0,    0, 0, 0, 0, 0, 4, 0, 2,  0};
    for (std::size_t i = 0; i + 64 <= chunk.size(); i += 64) {
        std::copy(std::begin(clutMiss), std::end(clutMiss),
                  chunk.begin() + static_cast<std::ptrdiff_t>(i));
        std::copy(std::begin(imageMiss), std::end(imageMiss),
                  chunk.begin() + static_cast<std::ptrdiff_t>(i + 20));
        std::fill_n(chunk.begin() + static_cast<std::ptrdiff_t>(i + 40), 24, 0x10);
    }
}

// Built once per run under the temporary folder, removed at exit.
const std::string& RawFile() {
    static const std::string path = [] {
        std::string file = (std::filesystem::temp_directory_path() /
                            ("pixalto-scan-bench-" + std::to_string(::getpid()) + ".bin"))
                               .string();
        File out;
        if (!out.Open(file, File::Mode::CreateWrite)) {
            std::abort();
        }
        std::vector<std::uint8_t> chunk(kMiB);
        std::uint64_t state = 0x9E3779B97F4A7C15ull;
        auto tim = testing::MakeTim(testing::PatternTim(4, 64, 32));
        for (std::size_t at = 0; at < kFileSize; at += kMiB) {
            bool dense = at >= kDenseStart && at < kDenseStart + kDenseSize;
            dense ? FillDense(chunk, state) : FillRandom(chunk, state);
            std::copy(tim.begin(), tim.end(), chunk.begin() + 4099);
            if (!out.Write(chunk.data(), chunk.size())) {
                std::abort();
            }
        }
        std::atexit([] { std::filesystem::remove(RawFile()); });
        return file;
    }();
    return path;
}

void BM_ScanRawFile(benchmark::State& bench) {
    const std::string& path = RawFile();
    std::uint64_t found = 0;
    for (auto _ : bench) {
        raw::HeadlessHost host;
        raw::ScanFileJob job(host, path);
        if (raw::RunJob(job) != raw::kJobFinished) {
            std::abort();
        }
        found = job.FoundCount();
    }
    bench.counters["found"] = static_cast<double>(found);
    bench.SetBytesProcessed(static_cast<std::int64_t>(bench.iterations() * kFileSize));
}
BENCHMARK(BM_ScanRawFile)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ScanCli(benchmark::State& bench) {
    const std::string& path = RawFile();
    const std::string command = std::string(PIXALTO_CLI_PATH) + " scan '" + path + "' >/dev/null";
    for (auto _ : bench) {
        if (std::system(command.c_str()) != 0) {
            std::abort();
        }
    }
    bench.SetBytesProcessed(static_cast<std::int64_t>(bench.iterations() * kFileSize));
}
BENCHMARK(BM_ScanCli)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ScanBaselineMemchr(benchmark::State& bench) {
    const std::string& path = RawFile();
    std::vector<std::uint8_t> buffer(kMiB);
    std::uint64_t count = 0;
    for (auto _ : bench) {
        File file;
        file.Open(path, File::Mode::Read);
        count = 0;
        while (std::size_t n = file.Read(buffer.data(), buffer.size())) {
            const std::uint8_t* p = buffer.data();
            const std::uint8_t* end = p + n;
            while (const void* hit = std::memchr(p, 0x10, static_cast<std::size_t>(end - p))) {
                ++count;
                p = static_cast<const std::uint8_t*>(hit) + 1;
            }
        }
        benchmark::DoNotOptimize(count);
    }
    bench.counters["0x10 bytes"] = static_cast<double>(count);
    bench.SetBytesProcessed(static_cast<std::int64_t>(bench.iterations() * kFileSize));
}
BENCHMARK(BM_ScanBaselineMemchr)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
