// TIM -> BMP over a folder of 300 generated TIMs of mixed depths and sizes
// (16 x 16 to 640 x 480, one CLUT set: ImageMagick reads no more), as users
// run it: `pixalto-cli convert-folder DIR --to bmp` against ImageMagick's
// `mogrify -format bmp *.tim`, whole processes, on fresh copies of the same
// folder, in one run. Each is timed on the disk (a folder beside this
// program's temporary folder, or the one given) and on tmpfs (/dev/shm),
// with the page cache warm and nothing else left to flush: the best of a few
// runs, alternating. Prints the times and, for each file system, the ratio
// line scripts/bench collects.
//
//   convert_folder_ratio_bench [DISK_FOLDER]

#include <sys/vfs.h>

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

constexpr int kFiles = 300;
constexpr int kRounds = 5;
constexpr long kTmpfsMagic = 0x01021994;

void MakeFolder(const fs::path& folder) {
    fs::create_directories(folder);
    const std::uint32_t depths[] = {4, 8, 16, 24};
    std::uint32_t seed = 12345;
    for (int i = 0; i < kFiles; ++i) {
        seed = seed * 1103515245u + 12345u;
        // Sides from 16 to 640 (width) and 16 to 480 (height), small ones
        // more often, as in a game's files.
        const std::uint32_t scale = (seed >> 8) % 100;
        const std::uint32_t width = 16 + (scale * scale * 624) / 9801;
        const auto height = static_cast<std::uint16_t>(16 + (scale * scale * 464) / 9801);
        const std::uint32_t bpp = depths[(seed >> 20) % 4];
        char name[32];
        std::snprintf(name, sizeof name, "t%03d.tim", i);
        const auto bytes = testing::MakeTim(testing::PatternTim(bpp, width & ~7u, height, 1, seed));
        std::FILE* out = std::fopen((folder / name).c_str(), "wb");
        if (out == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size() ||
            std::fclose(out) != 0) {
            std::fprintf(stderr, "can't write %s\n", (folder / name).c_str());
            std::exit(1);
        }
    }
}

void Run(const std::string& command) {
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "failed: %s\n", command.c_str());
        std::exit(1);
    }
}

std::string Quoted(const fs::path& path) {
    std::string quoted = path.string();
    quoted.insert(quoted.begin(), '\'');
    quoted.push_back('\'');
    return quoted;
}

// One timed run of command on a fresh copy of source: the copy is made,
// flushed and read once before the clock starts.
double TimeOnCopy(const fs::path& source, const fs::path& copy, const std::string& command) {
    fs::remove_all(copy);
    fs::copy(source, copy);
    Run("sync; cat " + Quoted(copy) + "/*.tim >/dev/null");
    const auto start = Clock::now();
    Run("cd " + Quoted(copy) + " && " + command + " >/dev/null");
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void Measure(const fs::path& root, const char* label) {
    const fs::path source = root / "source";
    MakeFolder(source);
    struct statfs info {};
    const bool tmpfs = ::statfs(root.c_str(), &info) == 0 && info.f_type == kTmpfsMagic;
    const std::string ours = std::string("'") + PIXALTO_CLI_PATH + "' convert-folder . --to bmp";
    const std::string theirs = "mogrify -format bmp '*.tim'";
    double best[2] = {1e9, 1e9};
    for (int round = 0; round < kRounds; ++round) {
        best[0] = std::min(best[0], TimeOnCopy(source, root / "pixalto", ours));
        best[1] = std::min(best[1], TimeOnCopy(source, root / "imagemagick", theirs));
    }
    std::printf("%s (%s, %s): %d TIMs\n", label, root.c_str(), tmpfs ? "tmpfs" : "disk", kFiles);
    std::printf("  pixalto-cli convert-folder --to bmp: %8.3f s\n", best[0]);
    std::printf("  mogrify -format bmp:                 %8.3f s\n", best[1]);
    std::printf("ratio convert-folder --to bmp, %d TIMs, %s: %.1fx as fast as mogrify\n", kFiles,
                label, best[1] / best[0]);
    std::fflush(stdout);
    fs::remove_all(source);
    fs::remove_all(root / "pixalto");
    fs::remove_all(root / "imagemagick");
}

}  // namespace

int main(int argc, char** argv) {
    if (std::system("command -v mogrify >/dev/null") != 0) {
        std::fprintf(stderr,
                     "ImageMagick's mogrify is not installed: no baseline to compare with\n");
        return 1;
    }
    if (argc > 1) {
        const fs::path root = fs::path(argv[1]) / "pixalto-bench-folder";
        Measure(root, "disk");
        fs::remove_all(root);
    } else {
        testing::TempDir disk;
        Measure(disk.Path(), "disk");
    }
    const fs::path shm = "/dev/shm/pixalto-bench-folder";
    if (fs::is_directory("/dev/shm")) {
        Measure(shm, "tmpfs");
        fs::remove_all(shm);
    }
    return 0;
}
