// Reading and writing a raw CD image through the disc view. The image is a
// generated MODE2/2352 file of about 64 MiB (a Form 2 sector after every
// seventh data sector, as interleaved audio would sit). Each figure comes
// with its baseline from the same run:
//  - reading the whole view in the scan's 30,000-byte windows, against
//    reading the same file plainly in 1 MiB blocks (the counter "view/plain"
//    is the ratio of the two, timed in turns inside one benchmark); and the
//    same pair with the bytes looked at as a scan does (hopping from 0x10
//    byte to 0x10 byte), which is what a scan costs before its tests;
//  - mapping the whole image (Length on a fresh view), against the same
//    plain read and against reading only every sector's head;
//  - writing a 100 KiB piece through a fresh view in the middle of the image
//    (mapping up to it, rebuilding the codes of 50 sectors), against writing
//    the same bytes plainly at that offset;
//  - checking every sector's codes (CheckDisc), against the plain read.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "disc/DiscCheck.h"
#include "disc/DiscView.h"
#include "disc/SectorFormat.h"
#include "platform/File.h"
#include "support/DiscBuilder.h"

namespace {

using namespace pixalto;
using Clock = std::chrono::steady_clock;

constexpr std::size_t kDataSectors = 28'000;  // about 64 MiB of image
constexpr std::size_t kWindow = 30'000;
constexpr std::size_t kPlainBlock = 1 << 20;
constexpr std::size_t kPieceSize = 100 * 1024;

struct Image {
    std::string path;
    std::uint64_t fileSize = 0;
    std::uint64_t viewSize = 0;
};

const Image& DiscImage() {
    static const Image image = [] {
        testing::DiscContents desc;
        desc.data.resize(kDataSectors * disc::kUserDataSize);
        std::uint64_t state = 0x9E3779B97F4A7C15ull;
        for (auto& byte : desc.data) {
            state ^= state << 13;
            state ^= state >> 7;
            state ^= state << 17;
            byte = static_cast<std::uint8_t>(state);
        }
        for (std::size_t i = 7; i < kDataSectors; i += 7) {
            desc.gapsBefore.push_back(i);
        }
        testing::BuiltDisc disc = testing::MakeDisc(desc);
        Image made;
        made.path = (std::filesystem::temp_directory_path() /
                     ("pixalto-disc-bench-" + std::to_string(::getpid()) + ".bin"))
                        .string();
        File out;
        if (!out.Open(made.path, File::Mode::CreateWrite) ||
            !out.Write(disc.image.data(), disc.image.size())) {
            std::abort();
        }
        made.fileSize = disc.image.size();
        made.viewSize = disc.view.size();
        std::atexit([] { std::filesystem::remove(DiscImage().path); });
        return made;
    }();
    return image;
}

// Hops from 0x10 byte to 0x10 byte as the scan does before testing one.
std::uint64_t CountIds(const std::uint8_t* bytes, std::size_t count) {
    std::uint64_t ids = 0;
    const std::uint8_t* end = bytes + count;
    for (const std::uint8_t* p = bytes;; ++p, ++ids) {
        p = static_cast<const std::uint8_t*>(
            std::memchr(p, 0x10, static_cast<std::size_t>(end - p)));
        if (p == nullptr) {
            return ids;
        }
    }
}

// Reads the whole file; with count, also counts its 0x10 bytes into *ids.
std::uint64_t ReadPlain(const std::string& path, std::vector<std::uint8_t>& buffer,
                        std::uint64_t* ids = nullptr) {
    File file;
    if (!file.Open(path, File::Mode::Read)) {
        std::abort();
    }
    std::uint64_t total = 0;
    while (std::size_t n = file.Read(buffer.data(), kPlainBlock)) {
        total += n;
        if (ids != nullptr) {
            *ids += CountIds(buffer.data(), n);
        }
    }
    return total;
}

std::uint64_t ReadView(const std::string& path, std::vector<std::uint8_t>& buffer,
                       std::uint64_t* ids = nullptr) {
    File file;
    if (!file.Open(path, File::Mode::Read)) {
        std::abort();
    }
    disc::DiscView view(file, disc::DiscLayout::Mode2Raw);
    std::uint64_t total = 0;
    while (std::size_t n = view.Read(total, buffer.data(), kWindow)) {
        total += n;
        if (ids != nullptr) {
            *ids += CountIds(buffer.data(), n);
        }
    }
    return total;
}

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

// Times the plain baseline and the measured work in turns, once each per
// iteration, so that both see the same machine, and reports both and their
// ratio as counters ("<name> ms", "<name>/plain").
template <typename Plain, typename Measured>
void InTurns(benchmark::State& bench, const std::string& name, Plain plainWork,
             Measured measuredWork) {
    double plain = 0, measured = 0;
    for (auto _ : bench) {
        auto t0 = Clock::now();
        plainWork();
        auto t1 = Clock::now();
        measuredWork();
        auto t2 = Clock::now();
        plain += Seconds(t1 - t0);
        measured += Seconds(t2 - t1);
    }
    const auto iterations = static_cast<double>(bench.iterations());
    bench.counters["plain ms"] = 1e3 * plain / iterations;
    bench.counters[name + " ms"] = 1e3 * measured / iterations;
    bench.counters[name + "/plain"] = measured / plain;
}

void BM_DiscReadViewVsPlain(benchmark::State& bench) {
    const Image& image = DiscImage();
    std::vector<std::uint8_t> buffer(kPlainBlock);
    InTurns(
        bench, "view",
        [&] {
            if (ReadPlain(image.path, buffer) != image.fileSize) {
                std::abort();
            }
        },
        [&] {
            if (ReadView(image.path, buffer) != image.viewSize) {
                std::abort();
            }
        });
}
BENCHMARK(BM_DiscReadViewVsPlain)->Unit(benchmark::kMillisecond)->MinTime(2);

void BM_DiscReadAndCountViewVsPlain(benchmark::State& bench) {
    const Image& image = DiscImage();
    std::vector<std::uint8_t> buffer(kPlainBlock);
    std::uint64_t ids = 0;
    InTurns(
        bench, "view", [&] { ReadPlain(image.path, buffer, &ids); },
        [&] { ReadView(image.path, buffer, &ids); });
    benchmark::DoNotOptimize(ids);
}
BENCHMARK(BM_DiscReadAndCountViewVsPlain)->Unit(benchmark::kMillisecond)->MinTime(2);

// The other way to map would read only each sector's 24-byte head: one
// seek and one small read per sector, timed here as "headers ms".
std::uint64_t CountDataSectorsByHeaders(const std::string& path, std::uint64_t fileSize) {
    File file;
    file.Open(path, File::Mode::Read);
    std::uint64_t data = 0;
    std::uint8_t head[24];
    for (std::uint64_t at = 0; at + disc::kSectorSize <= fileSize; at += disc::kSectorSize) {
        if (!file.Seek(static_cast<std::int64_t>(at)) || file.Read(head, sizeof head) != 24) {
            std::abort();
        }
        data += (head[disc::kSubmodeOffset] & disc::kSubmodeForm2) == 0 ? 1 : 0;
    }
    return data;
}

void BM_DiscMapWholeImageVsPlain(benchmark::State& bench) {
    const Image& image = DiscImage();
    std::vector<std::uint8_t> buffer(kPlainBlock);
    double plain = 0, map = 0, headers = 0;
    for (auto _ : bench) {
        auto t0 = Clock::now();
        ReadPlain(image.path, buffer);
        auto t1 = Clock::now();
        File file;
        file.Open(image.path, File::Mode::Read);
        disc::DiscView view(file, disc::DiscLayout::Mode2Raw);
        if (view.Length() != image.viewSize) {
            std::abort();
        }
        auto t2 = Clock::now();
        if (CountDataSectorsByHeaders(image.path, image.fileSize) * disc::kUserDataSize !=
            image.viewSize) {
            std::abort();
        }
        auto t3 = Clock::now();
        plain += Seconds(t1 - t0);
        map += Seconds(t2 - t1);
        headers += Seconds(t3 - t2);
    }
    bench.counters["plain ms"] = 1e3 * plain / static_cast<double>(bench.iterations());
    bench.counters["map ms"] = 1e3 * map / static_cast<double>(bench.iterations());
    bench.counters["headers ms"] = 1e3 * headers / static_cast<double>(bench.iterations());
    bench.counters["map/plain"] = map / plain;
    bench.counters["headers/plain"] = headers / plain;
}
BENCHMARK(BM_DiscMapWholeImageVsPlain)->Unit(benchmark::kMillisecond)->MinTime(2);

void BM_DiscWritePieceVsPlain(benchmark::State& bench) {
    const Image& image = DiscImage();
    std::vector<std::uint8_t> piece(kPieceSize, 0x5A);
    const std::uint64_t at = image.viewSize / 2 + 1000;
    InTurns(
        bench, "view",
        [&] {
            piece[0] ^= 1;  // different bytes each time, so the codes really change
            File file;
            file.Open(image.path, File::Mode::WriteInPlace);
            if (!file.Seek(static_cast<std::int64_t>(at)) ||
                !file.Write(piece.data(), piece.size())) {
                std::abort();
            }
        },
        [&] {
            File file;
            file.Open(image.path, File::Mode::WriteInPlace);
            disc::DiscView view(file, disc::DiscLayout::Mode2Raw);
            if (!view.Write(at, piece.data(), piece.size())) {
                std::abort();
            }
        });
}
BENCHMARK(BM_DiscWritePieceVsPlain)->Unit(benchmark::kMillisecond)->MinTime(2);

void BM_DiscCheckVsPlain(benchmark::State& bench) {
    const Image& image = DiscImage();
    std::vector<std::uint8_t> buffer(kPlainBlock);
    InTurns(
        bench, "check", [&] { ReadPlain(image.path, buffer); },
        [&] {
            File file;
            file.Open(image.path, File::Mode::Read);
            if (!disc::CheckDisc(file).bad.empty()) {
                std::abort();
            }
        });
}
BENCHMARK(BM_DiscCheckVsPlain)->Unit(benchmark::kMillisecond);

}  // namespace
