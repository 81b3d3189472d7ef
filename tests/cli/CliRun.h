#pragma once
// Runs the built pixalto-cli (its path comes from the PIXALTO_CLI variable
// that CTest sets) and captures what it printed, and reads PNGs it wrote.

#include <cstdint>
#include <string>
#include <vector>

namespace pixalto::testing {

struct CliResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// How the program is started, beyond its arguments.
struct CliSetup {
    std::string input;    // what standard input holds (a file, never a terminal)
    std::string workDir;  // the folder it starts in; "" for the test's own
    // A limit on the size of any file it writes (RLIMIT_FSIZE); writing past
    // it fails with EFBIG ("File too large") instead of stopping the program.
    long long fileSizeLimit = -1;
    // A limit on its address space (RLIMIT_AS): memory it asks for beyond it
    // is refused, as when the machine runs out.
    long long memoryLimit = -1;
};

// Arguments are passed as they are, without a shell.
CliResult RunCli(const std::vector<std::string>& args, const CliSetup& setup);
inline CliResult RunCli(const std::vector<std::string>& args, const std::string& input = "") {
    CliSetup setup;
    setup.input = input;
    return RunCli(args, setup);
}

inline bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

struct PngImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;        // 4 bytes a pixel, row by row
    std::uint32_t At(int x, int y) const;  // 0xRRGGBBAA
};

// Reads an 8-bit RGBA PNG; an empty image (width 0) when the file is not one.
PngImage ReadPng(const std::string& path);

}  // namespace pixalto::testing
