// `pixalto-cli thumbnail` over the files a file manager may hand it: the
// largest TIMs it draws (a whole 1 MiB block of each depth, very wide, very
// tall), the largest enlargement (1 x 1 and noisy 8 x 8 pixels to 1024 x
// 1024), and hostile files (headers that claim 65535 x 65535 pixels or
// blocks beyond the bound, a TIM header over 64 MiB of junk, random bytes).
// Each runs as a whole process: the least processor time (user + system) and
// wall time of a few runs, and its peak resident memory (the child's
// maxrss), beside the baseline of the same run: the program doing nothing
// (--version). The inputs are written by a child process of their own, so
// that this one stays small: a spawned program's maxrss starts from its
// parent's. Prints each figure, the worst case, and whether its processor
// time and memory stay inside 50 ms and 64 MB; exits 1 when not.
//
//   thumbnail_ratio_bench

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <string>
#include <vector>

#include "support/ChildProcess.h"
#include "support/TempDir.h"
#include "support/TimBuilder.h"

extern char** environ;

namespace {

using namespace pixalto;
using Clock = std::chrono::steady_clock;

constexpr int kRounds = 5;
constexpr double kMaxMilliseconds = 50;
constexpr double kMaxMegabytes = 64;

struct Figure {
    double milliseconds = 1e9;  // processor time
    double wall = 1e9;
    double megabytes = 0;
};

double Milliseconds(const timeval& time) {
    return time.tv_sec * 1e3 + time.tv_usec / 1e3;
}

// Runs the program with args, stdout and stderr to /dev/null; the best time
// of kRounds runs and the highest peak memory.
Figure Run(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    std::string program = PIXALTO_CLI_PATH;
    argv.push_back(program.data());
    std::vector<std::string> copies = args;
    for (std::string& arg : copies) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    Figure figure;
    for (int round = 0; round < kRounds; ++round) {
        const auto start = Clock::now();
        pid_t pid = 0;
        if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) {
            std::perror("posix_spawn");
            std::exit(1);
        }
        int status = 0;
        rusage usage{};
        ::wait4(pid, &status, 0, &usage);
        const double wall = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        figure.wall = std::min(figure.wall, wall);
        figure.milliseconds = std::min(figure.milliseconds,
                                       Milliseconds(usage.ru_utime) + Milliseconds(usage.ru_stime));
        figure.megabytes = std::max(figure.megabytes, usage.ru_maxrss / 1024.0);
    }
    posix_spawn_file_actions_destroy(&actions);
    return figure;
}

testing::TimSpec Claiming(testing::TimSpec tim, std::uint16_t width, std::uint16_t height,
                          std::uint32_t length) {
    tim.imageWidth = width;
    tim.imageHeight = height;
    tim.imageBlockLength = length;
    return tim;
}

std::vector<std::uint8_t> Random(std::size_t size) {
    std::vector<std::uint8_t> bytes(size);
    std::uint64_t state = 0x9E3779B97F4A7C15ull;
    for (std::uint8_t& byte : bytes) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        byte = static_cast<std::uint8_t>(state);
    }
    return bytes;
}

struct Input {
    const char* what;
    std::vector<std::uint8_t> (*make)();
    const char* size;
};

std::vector<std::uint8_t> OverJunk() {
    std::vector<std::uint8_t> file =
        testing::MakeTim(Claiming(testing::PatternTim(16, 4, 4), 65535, 65535, 0xFFFFFFF0u));
    const std::vector<std::uint8_t> junk = Random(std::size_t{64} << 20);
    file.insert(file.end(), junk.begin(), junk.end());
    return file;
}

const Input kInputs[] = {
    {"4-bit 4096 x 512 (1 MiB)",
     [] { return testing::MakeTim(testing::PatternTim(4, 4096, 512, 16)); }, "1024"},
    {"8-bit 2048 x 512 (1 MiB)", [] { return testing::MakeTim(testing::PatternTim(8, 2048, 512)); },
     "256"},
    {"16-bit 1024 x 512 (1 MiB)",
     [] { return testing::MakeTim(testing::PatternTim(16, 1024, 512)); }, "1024"},
    {"24-bit 680 x 512", [] { return testing::MakeTim(testing::PatternTim(24, 680, 512)); }, "128"},
    {"4-bit 262140 x 4 (wide)", [] { return testing::MakeTim(testing::PatternTim(4, 262140, 4)); },
     "1024"},
    {"16-bit 1 x 65535 (tall)", [] { return testing::MakeTim(testing::PatternTim(16, 1, 65535)); },
     "1024"},
    {"16-bit 1 x 1 to 1024", [] { return testing::MakeTim(testing::PatternTim(16, 1, 1)); },
     "1024"},
    {"16-bit 8 x 8 noise to 1024", [] { return testing::MakeTim(testing::PatternTim(16, 8, 8)); },
     "1024"},
    {"claims 65535 x 65535 over 32 bytes",
     [] { return testing::MakeTim(Claiming(testing::PatternTim(16, 4, 4), 65535, 65535, 44)); },
     "256"},
    {"claims a block beyond 1 MiB",
     [] {
         return testing::MakeTim(
             Claiming(testing::PatternTim(16, 4, 4), 1024, 513, 12 + (1u << 20) + 2048));
     },
     "256"},
    {"a TIM header over 64 MiB of junk", OverJunk, "256"},
    {"16 MiB of random bytes", [] { return Random(std::size_t{16} << 20); }, "256"},
};

}  // namespace

int main() {
    testing::TempDir dir;
    const auto inputPath = [&dir](std::size_t i) { return dir.File(std::to_string(i) + ".tim"); };
    if (testing::SignalThatEnds([&] {
            for (std::size_t i = 0; i < std::size(kInputs); ++i) {
                dir.Write(std::to_string(i) + ".tim", kInputs[i].make());
            }
        }) != 0) {
        std::fprintf(stderr, "writing the inputs failed\n");
        return 1;
    }
    const Figure baseline = Run({"--version"});
    std::printf("%-40s %9s %9s %9s\n", "input", "cpu", "wall", "memory");
    const auto print = [](const char* what, const Figure& figure) {
        std::printf("%-40s %6.1f ms %6.1f ms %6.1f MB\n", what, figure.milliseconds, figure.wall,
                    figure.megabytes);
    };
    print("baseline: pixalto-cli --version", baseline);
    Figure worst{0, 0, 0};
    for (std::size_t i = 0; i < std::size(kInputs); ++i) {
        const Figure figure =
            Run({"thumbnail", inputPath(i), dir.File("out.png"), "--size", kInputs[i].size});
        print(kInputs[i].what, figure);
        worst.milliseconds = std::max(worst.milliseconds, figure.milliseconds);
        worst.wall = std::max(worst.wall, figure.wall);
        worst.megabytes = std::max(worst.megabytes, figure.megabytes);
    }
    const bool inside = worst.milliseconds <= kMaxMilliseconds && worst.megabytes <= kMaxMegabytes;
    std::printf(
        "worst case: %.1f ms of processor time (%.1fx the baseline), %.1f ms wall, %.1f MB "
        "(%.1fx); bound %.0f ms, %.0f MB: %s\n",
        worst.milliseconds, worst.milliseconds / baseline.milliseconds, worst.wall, worst.megabytes,
        worst.megabytes / baseline.megabytes, kMaxMilliseconds, kMaxMegabytes,
        inside ? "inside" : "OUTSIDE");
    return inside ? 0 : 1;
}
