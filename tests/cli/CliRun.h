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

// Arguments are passed as they are, without a shell.
CliResult RunCli(const std::vector<std::string>& args, const std::string& input = "");

struct PngImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;        // 4 bytes a pixel, row by row
    std::uint32_t At(int x, int y) const;  // 0xRRGGBBAA
};

// Reads an 8-bit RGBA PNG; an empty image (width 0) when the file is not one.
PngImage ReadPng(const std::string& path);

}  // namespace pixalto::testing
