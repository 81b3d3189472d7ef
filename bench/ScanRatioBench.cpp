// `pixalto-cli scan` over a RAW file against the least any scan has to do:
// reading the same file through 1 MiB buffers and counting its 0x10 bytes with
// memchr. Both run as whole processes (the count is this program run again
// with --count), in the same run, with the file in the page cache, on the disk
// (the temporary folder, TMPDIR, or the one given) and on tmpfs (/dev/shm):
// the best of a few runs, alternating. Prints the times and, for each file
// system, the ratio line scripts/bench collects.
//
// The file is random bytes with a TIM in every MiB, and every seventh MiB
// holds, every 24 bytes, an identifier and a CLUT header whose length is
// wrong: each of those passes the 8-byte header test and fails only at the
// block length, the costliest kind of near miss.
//
//   scan_ratio_bench [MIB [DISK_FOLDER]]     (1024 MiB unless told)
//   scan_ratio_bench --count FILE

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "TimeProcess.h"
#include "platform/ByteOrder.h"
#include "support/TimBuilder.h"

namespace {

using namespace pixalto;
namespace fs = std::filesystem;

constexpr std::size_t kMiB = std::size_t{1} << 20;
constexpr std::size_t kTimAt = 4099;  // inside each MiB
constexpr std::size_t kNearMissEvery = 24;
constexpr int kRounds = 5;
constexpr double kTarget = 1.2;

std::uint64_t Next(std::uint64_t& state) {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return state;
}

void FillRandom(std::vector<std::uint8_t>& chunk, std::uint64_t& state) {
    for (std::size_t i = 0; i + 8 <= chunk.size(); i += 8) {
        const std::uint64_t bits = Next(state);
        WriteU32LE(chunk.data() + i, static_cast<std::uint32_t>(bits));
        WriteU32LE(chunk.data() + i + 4, static_cast<std::uint32_t>(bits >> 32));
    }
}

// An identifier, mode 9 and a CLUT header of 16 x 1 entries whose length is
// 2 more than they need.
void FillNearMisses(std::vector<std::uint8_t>& chunk) {
    const std::uint8_t nearMiss[] = {0x10, 0, 0, 0, 9, 0, 0,  0, 46, 0,
                                     0,    0, 0, 0, 0, 0, 16, 0, 1,  0};
    for (std::size_t i = 0; i + kNearMissEvery <= chunk.size(); i += kNearMissEvery) {
        std::copy(std::begin(nearMiss), std::end(nearMiss),
                  chunk.begin() + static_cast<std::ptrdiff_t>(i));
    }
}

// Returns the number of TIMs written.
std::size_t WriteRawFile(const std::string& path, std::size_t mebibytes) {
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr) {
        std::perror(path.c_str());
        std::exit(1);
    }
    std::vector<std::uint8_t> chunk(kMiB);
    std::uint64_t state = 0x9E3779B97F4A7C15ull;
    const auto tim = testing::MakeTim(testing::PatternTim(4, 64, 32));
    for (std::size_t mib = 0; mib < mebibytes; ++mib) {
        FillRandom(chunk, state);
        if (mib % 7 == 3) {
            FillNearMisses(chunk);
        }
        std::copy(tim.begin(), tim.end(), chunk.begin() + kTimAt);
        if (std::fwrite(chunk.data(), 1, chunk.size(), out) != chunk.size()) {
            std::perror(path.c_str());
            std::exit(1);
        }
    }
    if (std::fclose(out) != 0) {
        std::perror(path.c_str());
        std::exit(1);
    }
    return mebibytes;
}

// The baseline process.
int CountIdBytes(const char* path) {
    const int fd = ::open(path, O_RDONLY);
    if (fd < 0) {
        std::perror(path);
        return 1;
    }
    std::vector<std::uint8_t> buffer(kMiB);
    std::uint64_t count = 0;
    ssize_t n = 0;
    while ((n = ::read(fd, buffer.data(), buffer.size())) > 0) {
        const std::uint8_t* p = buffer.data();
        const std::uint8_t* end = p + n;
        while (const void* hit = std::memchr(p, 0x10, static_cast<std::size_t>(end - p))) {
            ++count;
            p = static_cast<const std::uint8_t*>(hit) + 1;
        }
    }
    ::close(fd);
    std::printf("%llu\n", static_cast<unsigned long long>(count));
    return n < 0 ? 1 : 0;
}

std::size_t ListedRows(const std::string& listing) {
    std::FILE* in = std::fopen(listing.c_str(), "r");
    std::size_t lines = 0;
    for (int c = 0; in != nullptr && (c = std::fgetc(in)) != EOF;) {
        lines += c == '\n';
    }
    if (in != nullptr) {
        std::fclose(in);
    }
    return lines > 0 ? lines - 1 : 0;  // less the header line
}

bool MeasureIn(const std::string& folder, const char* label, std::size_t mebibytes,
               const std::string& self) {
    const std::string path = folder + "/pixalto-scan-ratio-" + std::to_string(::getpid()) + ".bin";
    const std::string listing = path + ".txt";
    const std::size_t tims = WriteRawFile(path, mebibytes);
    const std::vector<std::string> scan = {PIXALTO_CLI_PATH, "scan", path};
    const std::vector<std::string> count = {self, "--count", path};

    // One untimed run of each warms the cache, and checks the scan's result.
    bench::TimeProcess(count, "/dev/null");
    bench::TimeProcess(scan, listing.c_str());
    const std::size_t found = ListedRows(listing);

    double ours = 1e9;
    double floor = 1e9;
    for (int round = 0; round < kRounds; ++round) {
        floor = std::min(floor, bench::TimeProcess(count, "/dev/null"));
        ours = std::min(ours, bench::TimeProcess(scan, "/dev/null"));
    }
    fs::remove(path);
    fs::remove(listing);

    std::printf("%s (%s): %zu MiB, %zu TIMs\n", label, folder.c_str(), mebibytes, tims);
    std::printf("  pixalto-cli scan:       %8.3f s\n", ours);
    std::printf("  memchr count of 0x10:   %8.3f s\n", floor);
    std::printf(
        "ratio scan, %zu MiB with near misses, %s: %.2fx the memchr floor (target <= %.1fx)\n",
        mebibytes, label, ours / floor, kTarget);
    std::fflush(stdout);
    if (found != tims) {
        std::fprintf(stderr, "the scan listed %zu TIMs, %zu were written\n", found, tims);
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--count") == 0) {
        return CountIdBytes(argv[2]);
    }
    const std::size_t mebibytes = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 1024;
    if (mebibytes == 0) {
        std::fprintf(stderr, "usage: %s [MIB [DISK_FOLDER]]\n", argv[0]);
        return 2;
    }
    const std::string disk = argc > 2 ? argv[2] : fs::temp_directory_path().string();
    const std::string self = fs::read_symlink("/proc/self/exe").string();
    bool ok = MeasureIn(disk, "disk", mebibytes, self);
    if (fs::is_directory("/dev/shm")) {
        ok = MeasureIn("/dev/shm", "tmpfs", mebibytes, self) && ok;
    }
    return ok ? 0 : 1;
}
