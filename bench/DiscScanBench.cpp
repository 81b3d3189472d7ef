// Scanning a 700 MiB generated MODE2/2352 image (random data with a TIM
// every MiB of data, some across sector boundaries, and a Form 2 sector
// after every seventh data sector) through its sectors' data, against the
// plain scan of the same file (--layout plain), in one run; and inserting a
// 100 KiB TIM into the middle of the image through the data, against
// writing the same bytes plainly at that offset.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "disc/SectorFormat.h"
#include "platform/File.h"
#include "raw/ExtractionList.h"
#include "raw/HeadlessHost.h"
#include "raw/InsertJob.h"
#include "raw/Job.h"
#include "raw/ScanFileJob.h"
#include "support/DiscBuilder.h"
#include "support/TempDir.h"
#include "support/TimBuilder.h"

namespace {

using namespace pixalto;

// 700 MiB of image: every eighth sector is a Form 2 gap.
constexpr std::size_t kDataSectors = std::size_t{700} * 1024 * 1024 / 2352 * 7 / 8;
constexpr std::size_t kMiB = std::size_t{1} << 20;

struct Disc {
    testing::TempDir dir;
    std::string path;
    std::uint64_t timPosition = 0;  // a file position in the middle, from a scan
    std::uint64_t fileSize = 0;

    Disc();
};

Disc& TheDisc() {
    static Disc disc;
    return disc;
}

Disc::Disc() {
    {
        Disc& made = *this;
        testing::DiscContents desc;
        desc.data.resize(kDataSectors * disc::kUserDataSize);
        std::uint64_t state = 0x9E3779B97F4A7C15ull;
        for (std::size_t i = 0; i + 8 <= desc.data.size(); i += 8) {
            state ^= state << 13;
            state ^= state >> 7;
            state ^= state << 17;
            for (int b = 0; b < 8; ++b) {
                desc.data[i + static_cast<std::size_t>(b)] =
                    static_cast<std::uint8_t>(state >> (8 * b));
            }
        }
        const auto tim = testing::MakeTim(testing::PatternTim(16, 320, 160));  // 100 KiB
        for (std::size_t at = 1000; at + tim.size() < desc.data.size(); at += 7 * kMiB + 333) {
            testing::PlaceBytes(desc.data, at, tim);
        }
        for (std::size_t sector = 7; sector < kDataSectors; sector += 7) {
            desc.gapsBefore.push_back(sector);
        }
        const testing::BuiltDisc built = testing::MakeDisc(desc);
        made.path = made.dir.Write("GAME.BIN", built.image);
        made.fileSize = built.image.size();
        raw::HeadlessHost host;
        raw::ScanFileJob scan(host, made.path);
        raw::RunJob(scan);
        made.timPosition = host.Rows()[host.Rows().size() / 2].position;
        made.dir.Write("1.tim", tim);
    }
}

void Scan(benchmark::State& bench, raw::LayoutChoice layout) {
    Disc& disc = TheDisc();
    std::size_t found = 0;
    for (auto _ : bench) {
        raw::HeadlessHost host;
        raw::ScanFileJob job(host, disc.path, layout);
        if (raw::RunJob(job) != raw::kJobFinished) {
            std::abort();
        }
        found = host.Rows().size();
    }
    bench.counters["found"] = static_cast<double>(found);
    bench.SetBytesProcessed(static_cast<std::int64_t>(bench.iterations() * disc.fileSize));
}

void BM_ScanDiscThroughItsData(benchmark::State& bench) {
    Scan(bench, raw::LayoutChoice::Auto);
}
BENCHMARK(BM_ScanDiscThroughItsData)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ScanDiscBaselinePlain(benchmark::State& bench) {
    Scan(bench, raw::LayoutChoice::Plain);
}
BENCHMARK(BM_ScanDiscBaselinePlain)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_InsertIntoDisc(benchmark::State& bench) {
    Disc& disc = TheDisc();
    const auto size = std::filesystem::file_size(disc.dir.File("1.tim"));
    const std::string list = "GAME.BIN\r\nLayout:\tMODE2/2352\r\n\r\n" +
                             raw::FormatListRecord({1, disc.timPosition, size});
    const std::string listPath =
        disc.dir.Write("timextracts.txt", std::vector<std::uint8_t>(list.begin(), list.end()));
    for (auto _ : bench) {
        raw::HeadlessHost host;
        raw::InsertJob job(host, listPath);
        if (raw::RunJob(job) != raw::kJobFinished) {
            std::abort();
        }
    }
}
BENCHMARK(BM_InsertIntoDisc)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_InsertBaselinePlainWrite(benchmark::State& bench) {
    Disc& disc = TheDisc();
    const auto tim = testing::ReadAll(disc.dir.File("1.tim"));
    for (auto _ : bench) {
        File file;
        if (!file.Open(disc.path, File::Mode::WriteInPlace) ||
            !file.Seek(static_cast<std::int64_t>(disc.timPosition)) ||
            !file.Write(tim.data(), tim.size())) {
            std::abort();
        }
    }
}
BENCHMARK(BM_InsertBaselinePlainWrite)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
