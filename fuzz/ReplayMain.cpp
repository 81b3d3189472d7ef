// The replay program a fuzz target builds into without libFuzzer: runs every
// file given (or every file of a folder given) through the target once.
//   replay --write-seeds DIR   writes the target's seed inputs into DIR
//   replay PATH...             replays files and folders

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "FuzzTarget.h"

namespace fs = std::filesystem;

namespace {

int WriteSeeds(const fs::path& dir) {
    fs::create_directories(dir);
    int n = 0;
    for (const auto& seed : pixalto::fuzz::Seeds()) {
        std::ofstream out(dir / ("seed-" + std::to_string(n++)),
                          std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(seed.data()),
                  static_cast<std::streamsize>(seed.size()));
        if (!out) {
            std::fprintf(stderr, "couldn't write seeds into %s\n", dir.c_str());
            return 1;
        }
    }
    std::printf("wrote %d seeds into %s\n", n, dir.c_str());
    return 0;
}

void ReplayFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::uint8_t> data{std::istreambuf_iterator<char>(in),
                                   std::istreambuf_iterator<char>()};
    LLVMFuzzerTestOneInput(data.data(), data.size());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--write-seeds") {
        return WriteSeeds(argv[2]);
    }
    int replayed = 0;
    for (int i = 1; i < argc; ++i) {
        fs::path path = argv[i];
        if (fs::is_directory(path)) {
            for (const auto& entry : fs::recursive_directory_iterator(path)) {
                if (entry.is_regular_file()) {
                    ReplayFile(entry.path());
                    ++replayed;
                }
            }
        } else if (fs::exists(path)) {
            ReplayFile(path);
            ++replayed;
        }
    }
    std::printf("replayed %d inputs\n", replayed);
    return replayed > 0 ? 0 : 1;
}
