#pragma once
// ISO 9660 images for tests and benchmarks, made by genisoimage (or xorriso)
// from files laid out in a temporary folder.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pixalto::testing {

struct IsoFile {
    std::string path;  // "DATA/CHARA.BIN"
    std::vector<std::uint8_t> bytes;
};

// The 2,048-byte-sector image holding files; nothing when neither tool is
// installed or it fails (the caller skips).
std::optional<std::vector<std::uint8_t>> MakeIso(const std::vector<IsoFile>& files);

// The same image as MODE2/2352 (every sector Form 1, LBA i at sector i).
struct BuiltDisc;
BuiltDisc WrapMode2(const std::vector<std::uint8_t>& iso);

}  // namespace pixalto::testing
