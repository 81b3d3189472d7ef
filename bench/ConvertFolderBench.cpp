// TIM -> BMP over a folder of 300 generated TIMs of mixed depths and sizes
// (16 x 16 to 640 x 480, one CLUT set: ImageMagick reads no more), as users
// run it: `pixalto-cli convert-folder DIR --to bmp` against ImageMagick's
// `mogrify -format bmp *.tim`, whole processes, each in a fresh copy of the
// same folder, in one run. mogrify leaves its files to the kernel's
// writeback while the conversion makes them durable, so two more are timed:
// mogrify followed by `sync -f`, and the floor, the conversion's outputs
// written from memory by this program and flushed (no conversion can write
// the same files faster). Each is
// timed on the disk (a folder beside this program's temporary folder, or the
// one given) and on tmpfs (/dev/shm), with the page cache warm and nothing
// else left to flush: the best of a few runs, alternating. Prints the times
// and, for each file system, the ratio lines scripts/bench collects.
//
//   convert_folder_ratio_bench [DISK_FOLDER]

#include <fcntl.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

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

// The commands timed, each in a fresh copy of the TIMs.
struct Timed {
    const char* label;
    std::string command;
};

// Times command in folder, with the page cache warm (the folder's TIMs read
// once) and nothing else of the machine's left to flush, so that no command
// pays for the writes of the one before.
double TimeIn(const fs::path& folder, const std::string& command) {
    Run("sync; cat " + Quoted(folder) + "/*.tim >/dev/null");
    const auto start = Clock::now();
    Run("cd " + Quoted(folder) + " && " + command + " >/dev/null");
    return std::chrono::duration<double>(Clock::now() - start).count();
}

struct OutputFile {
    std::string name;
    std::vector<char> bytes;
};

// The conversion's outputs, read into memory from the folder it wrote them to.
std::vector<OutputFile> ReadOutputs(const fs::path& folder) {
    std::vector<OutputFile> files;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        const std::string extension = entry.path().extension().string();
        if (extension != ".bmp" && extension != ".tmext") {
            continue;
        }
        OutputFile file{entry.path().filename().string(), {}};
        file.bytes.resize(static_cast<std::size_t>(entry.file_size()));
        std::FILE* in = std::fopen(entry.path().c_str(), "rb");
        if (in == nullptr ||
            std::fread(file.bytes.data(), 1, file.bytes.size(), in) != file.bytes.size()) {
            std::fprintf(stderr, "can't read %s\n", entry.path().c_str());
            std::exit(1);
        }
        std::fclose(in);
        files.push_back(std::move(file));
    }
    return files;
}

// The floor: the outputs' bytes, already in memory, written to new files in
// folder by one thread a core (open, write, close), then made durable with
// one syncfs and a flush of the folder. No conversion writes the same files
// faster: it has their bytes still to make, and the TIMs to read.
double TimeWriting(const std::vector<OutputFile>& files, const fs::path& folder) {
    Run("sync");
    const auto start = Clock::now();
    const unsigned threads = std::max(1u, std::thread::hardware_concurrency());
    std::vector<std::thread> writers;
    for (unsigned t = 0; t < threads; ++t) {
        writers.emplace_back([&, t] {
            for (std::size_t i = t; i < files.size(); i += threads) {
                const std::string path = (folder / files[i].name).string();
                const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
                if (fd < 0 ||
                    ::write(fd, files[i].bytes.data(), files[i].bytes.size()) !=
                        static_cast<ssize_t>(files[i].bytes.size()) ||
                    ::close(fd) != 0) {
                    std::fprintf(stderr, "can't write %s\n", path.c_str());
                    std::exit(1);
                }
            }
        });
    }
    for (std::thread& writer : writers) {
        writer.join();
    }
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0 || ::syncfs(fd) != 0 || ::fsync(fd) != 0) {
        std::fprintf(stderr, "can't flush %s\n", folder.c_str());
        std::exit(1);
    }
    ::close(fd);
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void Measure(const fs::path& root, const char* label) {
    // What an interrupted run left.
    fs::remove_all(root);
    fs::create_directories(root);
    const fs::path source = root / "source";
    MakeFolder(source);
    struct statfs info {};
    const bool tmpfs = ::statfs(root.c_str(), &info) == 0 && info.f_type == kTmpfsMagic;
    const std::string ours = std::string("'") + PIXALTO_CLI_PATH + "' convert-folder . --to bmp";
    const std::string theirs = "mogrify -format bmp '*.tim'";
    const Timed timed[] = {
        {"pixalto-cli convert-folder --to bmp:", ours},
        {"mogrify -format bmp:                ", theirs},
        {"mogrify -format bmp, then sync -f:  ", theirs + " && sync -f ."},
    };
    constexpr int kTimed = sizeof timed / sizeof timed[0];
    const auto folderOf = [&](int round, int command) {
        return root / ("run" + std::to_string(round) + "-" + std::to_string(command));
    };
    // Every folder is made before the first run, and nothing is removed
    // before the last: ext4 without a journal passes over the inodes freed
    // in the last minute on each file it creates, so a cleanup between runs
    // would time the bench's own deletions, and more for the command that
    // creates more files.
    const fs::path outputs = root / "outputs";
    fs::copy(source, outputs);
    Run("cd " + Quoted(outputs) + " && " + ours + " >/dev/null");
    const std::vector<OutputFile> outputFiles = ReadOutputs(outputs);
    for (int round = 0; round < kRounds; ++round) {
        for (int i = 0; i < kTimed; ++i) {
            fs::copy(source, folderOf(round, i));
        }
        fs::create_directory(folderOf(round, kTimed));
    }
    double best[kTimed + 1];
    std::fill(std::begin(best), std::end(best), 1e9);
    for (int round = 0; round < kRounds; ++round) {
        for (int i = 0; i < kTimed; ++i) {
            best[i] = std::min(best[i], TimeIn(folderOf(round, i), timed[i].command));
        }
        best[kTimed] = std::min(best[kTimed], TimeWriting(outputFiles, folderOf(round, kTimed)));
    }
    std::printf("%s (%s, %s): %d TIMs\n", label, root.c_str(), tmpfs ? "tmpfs" : "disk", kFiles);
    for (int i = 0; i < kTimed; ++i) {
        std::printf("  %s %8.3f s\n", timed[i].label, best[i]);
    }
    std::printf("  floor, its %3zu outputs and syncfs:  %8.3f s\n", outputFiles.size(),
                best[kTimed]);
    const char* what = "ratio convert-folder --to bmp";
    std::printf("%s, %d TIMs, %s: %.1fx as fast as mogrify\n", what, kFiles, label,
                best[1] / best[0]);
    std::printf("%s, %d TIMs, %s: %.1fx as fast as mogrify then sync -f\n", what, kFiles, label,
                best[2] / best[0]);
    std::printf("%s, %d TIMs, %s: %.2fx the floor (mogrify: %.1fx)\n", what, kFiles, label,
                best[0] / best[kTimed], best[1] / best[kTimed]);
    std::fflush(stdout);
    for (const fs::directory_entry& entry : fs::directory_iterator(root)) {
        fs::remove_all(entry.path());
    }
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
