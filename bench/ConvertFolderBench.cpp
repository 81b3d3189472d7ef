// TIM -> BMP over a folder of 500 generated TIMs of mixed depths and sizes
// (16 x 16 to 640 x 480, one CLUT set: ImageMagick reads no more), by our folder conversion and by
// ImageMagick
// (`mogrify -format bmp`) on copies of the same folder, in one run. Prints
// both times and their ratio. With an argument, that program is run as the
// folder conversion instead (for example "pixalto-cli convert-folder"),
// given the folder and "--to bmp".
//
//   bench_convert_folder [COMMAND...]

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "image/FolderConvert.h"
#include "support/TempDir.h"
#include "support/TimBuilder.h"

namespace {

using namespace pixalto;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kFiles = 500;

void MakeFolder(const testing::TempDir& dir, const std::string& folder) {
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
        dir.Write(folder + "/" + name,
                  testing::MakeTim(testing::PatternTim(bpp, width & ~7u, height, 1, seed)));
    }
}

class Quiet : public MessageSink {
  public:
    void Show(const std::string& text, const std::string&) override { last = text; }
    std::string last;
};

class NoOrigins : public OriginsRequest {
  public:
    std::optional<Origins> AskOrigins(bool) override { return Origins{}; }
};

double Seconds(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void Run(const std::string& command) {
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "failed: %s\n", command.c_str());
        std::exit(1);
    }
}

}  // namespace

int main(int argc, char** argv) {
    testing::TempDir dir;
    const fs::path source = dir.Path() / "source";
    fs::create_directory(source);
    MakeFolder(dir, "source");
    const fs::path ours = dir.Path() / "ours";
    const fs::path theirs = dir.Path() / "imagemagick";
    fs::copy(source, ours);
    fs::copy(source, theirs);
    Run("sync");

    auto start = Clock::now();
    if (argc > 1) {
        std::string command;
        for (int i = 1; i < argc; ++i) {
            command += std::string(argv[i]) + " ";
        }
        Run(command + "'" + ours.string() + "' --to bmp >/dev/null");
    } else {
        ImageState state;
        NoOrigins origins;
        Quiet messages;
        const auto result = ConvertFolder(ours.string(), FindImageFiles(ours.string(), true).names,
                                          true, state, origins, messages);
        if (result.failed != 0) {
            std::fprintf(stderr, "%zu files failed\n", result.failed);
            return 1;
        }
    }
    const double oursSeconds = Seconds(start);

    start = Clock::now();
    Run("cd '" + theirs.string() + "' && mogrify -format bmp '*.tim'");
    const double theirSeconds = Seconds(start);

    std::printf("files: %d\n", kFiles);
    std::printf("pixalto:     %8.3f s (%.2f ms a file)\n", oursSeconds, oursSeconds * 1e3 / kFiles);
    std::printf("ImageMagick: %8.3f s (%.2f ms a file)\n", theirSeconds,
                theirSeconds * 1e3 / kFiles);
    std::printf("ImageMagick / pixalto: %.1fx\n", theirSeconds / oursSeconds);
    return 0;
}
