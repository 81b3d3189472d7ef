#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "FuzzTarget.h"

namespace pixalto::fuzz {
namespace {

struct ScratchFolder {
    ScratchFolder() {
        std::string base = std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp";
        std::string pattern = base + "/pixalto-fuzz-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("mkdtemp failed");
        }
        path = pattern;
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    std::string path;
};

}  // namespace

std::string WriteScratchFile(const std::string& name, const std::uint8_t* data, std::size_t size) {
    static ScratchFolder folder;
    std::string path = folder.path + "/" + name;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr || (size != 0 && std::fwrite(data, 1, size, file) != size)) {
        std::abort();  // the harness itself is broken, not the code under test
    }
    std::fclose(file);
    return path;
}

}  // namespace pixalto::fuzz
