#include "cli/CliRun.h"

#include <png.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "support/TempDir.h"

namespace pixalto::testing {
namespace {

// Sets a resource's soft and hard limit; a negative value leaves it as it is.
bool Limit(decltype(RLIMIT_AS) resource, long long value) {
    if (value < 0) {
        return true;
    }
    const rlimit limit{static_cast<rlim_t>(value), static_cast<rlim_t>(value)};
    return ::setrlimit(resource, &limit) == 0;
}

}  // namespace

CliResult RunCli(const std::vector<std::string>& args, const CliSetup& setup) {
    const char* cli = std::getenv("PIXALTO_CLI");
    if (cli == nullptr) {
        throw std::runtime_error("PIXALTO_CLI is not set; run the tests through ctest");
    }
    TempDir dir;
    std::string inPath = dir.Write("stdin", {setup.input.begin(), setup.input.end()});
    std::string outPath = dir.File("stdout");
    std::string errPath = dir.File("stderr");
    pid_t pid = ::fork();
    if (pid == 0) {
        if (!std::freopen(inPath.c_str(), "rb", stdin) ||
            !std::freopen(outPath.c_str(), "wb", stdout) ||
            !std::freopen(errPath.c_str(), "wb", stderr)) {
            ::_exit(127);
        }
        if (!setup.workDir.empty() && ::chdir(setup.workDir.c_str()) != 0) {
            ::_exit(127);
        }
        if (setup.fileSizeLimit >= 0) {
            // Ignored signals stay ignored across exec: the write fails instead.
            std::signal(SIGXFSZ, SIG_IGN);
        }
        if (!Limit(RLIMIT_FSIZE, setup.fileSizeLimit) || !Limit(RLIMIT_AS, setup.memoryLimit)) {
            ::_exit(127);
        }
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(cli));
        for (const auto& arg : args) {
            argv.push_back(const_cast<char*>(arg.c_str()));
        }
        argv.push_back(nullptr);
        ::execv(cli, argv.data());
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    CliResult result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    auto out = ReadAll(outPath);
    auto err = ReadAll(errPath);
    result.out.assign(out.begin(), out.end());
    result.err.assign(err.begin(), err.end());
    return result;
}

std::uint32_t PngImage::At(int x, int y) const {
    const std::uint8_t* p = rgba.data() + (static_cast<std::size_t>(y) * width + x) * 4;
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
           p[3];
}

PngImage ReadPng(const std::string& path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    PngImage result;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        return result;
    }
    image.format = PNG_FORMAT_RGBA;
    result.rgba.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, result.rgba.data(), 0, nullptr)) {
        return {};
    }
    result.width = static_cast<int>(image.width);
    result.height = static_cast<int>(image.height);
    return result;
}

}  // namespace pixalto::testing
