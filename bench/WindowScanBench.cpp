// Scanning a 256 MiB RAW file (random bytes with a TIM every MiB, and an
// 8 MiB stretch dense with 0x10 bytes and headers that fail late) as the
// window does it, "Scan RAW File" on Qt's offscreen platform, against the
// headless scan of the same file (RunJob on a HeadlessHost), in one run. The
// window should take at most 1.1 times the headless scan. The same command
// with one step per timer tick shows what batching the steps saves.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "platform/File.h"
#include "platform/qt/ScriptedPrompts.h"
#include "raw/HeadlessHost.h"
#include "raw/ScanFileJob.h"
#include "resources/ResourceIds.h"
#include "shell/CMainDlg.h"
#include "support/TempDir.h"
#include "support/TimBuilder.h"

namespace {

using namespace pixalto;

constexpr std::size_t kMiB = std::size_t{1} << 20;
constexpr std::size_t kFileSize = 256 * kMiB;
constexpr std::size_t kDenseStart = 100 * kMiB;
constexpr std::size_t kDenseSize = 8 * kMiB;

void FillChunk(std::vector<std::uint8_t>& chunk, std::uint64_t& state, bool dense) {
    for (std::size_t i = 0; i + 8 <= chunk.size(); i += 8) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        for (std::size_t b = 0; b < 8; ++b) {
            chunk[i + b] = static_cast<std::uint8_t>(state >> (8 * b));
        }
    }
    // A CLUT header whose length is off by two, then a run of 0x10 bytes:
    // each candidate costs a full signature test.
    const std::uint8_t miss[] = {0x10, 0, 0, 0, 9, 0, 0, 0, 46, 0, 0, 0, 0, 0, 0, 0, 16, 0, 1, 0};
    for (std::size_t i = 0; dense && i + 64 <= chunk.size(); i += 64) {
        std::copy(std::begin(miss), std::end(miss), chunk.begin() + static_cast<std::ptrdiff_t>(i));
        std::fill_n(chunk.begin() + static_cast<std::ptrdiff_t>(i + 20), 44, 0x10);
    }
}

struct RawFile {
    testing::TempDir dir;
    std::string path = dir.File("scan.bin");

    RawFile() {
        File out;
        if (!out.Open(path, File::Mode::CreateWrite)) {
            std::abort();
        }
        std::vector<std::uint8_t> chunk(kMiB);
        std::uint64_t state = 0x9E3779B97F4A7C15ull;
        const auto tim = testing::MakeTim(testing::PatternTim(4, 64, 32));
        for (std::size_t at = 0; at < kFileSize; at += kMiB) {
            FillChunk(chunk, state, at >= kDenseStart && at < kDenseStart + kDenseSize);
            std::copy(tim.begin(), tim.end(), chunk.begin() + 4099);
            if (!out.Write(chunk.data(), chunk.size())) {
                std::abort();
            }
        }
    }
};

const std::string& RawPath() {
    static RawFile file;
    return file.path;
}

void BM_ScanHeadless(benchmark::State& bench) {
    std::size_t found = 0;
    for (auto _ : bench) {
        raw::HeadlessHost host;
        raw::ScanFileJob job(host, RawPath());
        if (raw::RunJob(job) != raw::kJobFinished) {
            std::abort();
        }
        found = host.EntryCount();
    }
    bench.counters["found"] = static_cast<double>(found);
    bench.SetBytesProcessed(static_cast<std::int64_t>(bench.iterations() * kFileSize));
}

// The whole command: the file prompt (scripted), the reset, the layout shown
// in the path box, and the job run in the modal scan dialog into the list.
void ScanInWindow(benchmark::State& bench, int tickBudgetMs) {
    ui::ScriptedPrompts prompts;
    shell::CMainDlg window(prompts);
    window.Create();
    window.show();
    window.scanDlg.tickBudgetMs = tickBudgetMs;
    for (auto _ : bench) {
        prompts.files.push_back(RawPath());
        window.OnCommand(res::kCmdScanRawFile);
    }
    if (!prompts.messages.empty()) {
        std::abort();
    }
    bench.counters["found"] = window.List().GetItemCount();
    bench.SetBytesProcessed(static_cast<std::int64_t>(bench.iterations() * kFileSize));
}

void BM_ScanInWindow(benchmark::State& bench) {
    ScanInWindow(bench, shell::CScanDlg::kTickBudgetMs);
}

void BM_ScanInWindowStepPerTick(benchmark::State& bench) {
    ScanInWindow(bench, 0);
}

// Repeated, with the repetitions interleaved at random, so that the load of
// a shared machine falls on both alike: compare the medians.
BENCHMARK(BM_ScanHeadless)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(9);
BENCHMARK(BM_ScanInWindow)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(9);
BENCHMARK(BM_ScanInWindowStepPerTick)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    // Interleaved unless the command line says otherwise.
    std::vector<char*> args(argv, argv + argc);
    std::string interleave = "--benchmark_enable_random_interleaving=true";
    args.insert(args.begin() + 1, interleave.data());
    int count = static_cast<int>(args.size());
    args.push_back(nullptr);
    benchmark::Initialize(&count, args.data());
    RawPath();  // written before anything is timed
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
