// TIM -> PNG -> TIM of a 1024 x 512 16-bit TIM as users run it
// (`pixalto-cli to-png`, then `pixalto-cli to-tim`), against ImageMagick's
// `convert` of the same TIM to PNG, whole processes, in one run, on tmpfs
// (/dev/shm) when there is one: the best of a few runs, alternating. Checks
// that the round trip gave the TIM back, and prints the times and the ratio
// line scripts/bench collects. Without `convert` there is no baseline: it
// says so and skips.
//
//   png_ratio_bench

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/TempDir.h"
#include "support/TimBuilder.h"

namespace {

using namespace pixalto;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kRounds = 5;

double Timed(const std::string& command) {
    const auto start = Clock::now();
    if (std::system(("(" + command + ") >/dev/null").c_str()) != 0) {
        std::fprintf(stderr, "failed: %s\n", command.c_str());
        std::exit(1);
    }
    return std::chrono::duration<double>(Clock::now() - start).count();
}

std::string Quoted(const fs::path& path) {
    return "'" + path.string() + "'";
}

}  // namespace

int main() {
    if (std::system("command -v convert >/dev/null") != 0) {
        std::printf(
            "skipped: ImageMagick's convert is not installed, no baseline to compare with\n");
        return 0;
    }
    const fs::path root = fs::is_directory("/dev/shm")
                              ? fs::path("/dev/shm/pixalto-bench-png")
                              : fs::temp_directory_path() / "pixalto-bench-png";
    fs::remove_all(root);
    fs::create_directories(root);
    const auto tim = testing::MakeTim(testing::PatternTim(16, 1024, 512, 0, 7));
    const fs::path in = root / "in.tim";
    {
        std::FILE* out = std::fopen(in.c_str(), "wb");
        if (out == nullptr || std::fwrite(tim.data(), 1, tim.size(), out) != tim.size() ||
            std::fclose(out) != 0) {
            std::perror(in.c_str());
            return 1;
        }
    }
    const std::string cli = std::string("'") + PIXALTO_CLI_PATH + "'";
    const std::string ours = cli + " to-png " + Quoted(in) + " " + Quoted(root / "ours.png") +
                             " && " + cli + " to-tim " + Quoted(root / "ours.png") + " " +
                             Quoted(root / "back.tim");
    const std::string theirs = "convert " + Quoted(in) + " " + Quoted(root / "theirs.png");
    double best[2] = {1e9, 1e9};
    for (int round = 0; round < kRounds; ++round) {
        best[0] = std::min(best[0], Timed(ours));
        best[1] = std::min(best[1], Timed(theirs));
    }
    const bool same = testing::ReadAll((root / "back.tim").string()) == tim;
    std::printf("1024 x 512 16-bit TIM (%s)\n", root.c_str());
    std::printf("  pixalto-cli to-png + to-tim: %8.3f s (%s)\n", best[0],
                same ? "the same TIM back" : "A DIFFERENT TIM BACK");
    std::printf("  convert TIM to PNG:          %8.3f s\n", best[1]);
    std::printf("ratio to-png + to-tim, 1024 x 512 16-bit: %.2fx the time of convert to PNG\n",
                best[0] / best[1]);
    fs::remove_all(root);
    return same ? 0 : 1;
}
