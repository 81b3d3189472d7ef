#pragma once
// ISO 9660 images for tests and benchmarks, made by genisoimage (or xorriso)
// from files laid out in a temporary folder.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "support/TimBuilder.h"

namespace pixalto::testing {

struct IsoFile {
    std::string path;  // "DATA/CHARA.BIN"
    std::vector<std::uint8_t> bytes;
};

// A TIM placed at an offset of a file of the image.
struct IsoTim {
    std::string path;  // "/DATA/CHARA.BIN"
    std::size_t offsetInFile;
    TimSpec shape;  // with origins of its own
    std::vector<std::uint8_t> tim;
};

// TIMs in several files and folders, each with a pattern of its own so that
// it can be found in the image by its bytes, one across a sector boundary;
// and the files holding them (6,000 bytes each, with a README.TXT that holds
// none).
std::vector<IsoTim> SampleIsoTims();
std::vector<IsoFile> FilesHolding(const std::vector<IsoTim>& tims);

// The 2,048-byte-sector image holding files; nothing when neither tool is
// installed or it fails (the caller skips).
std::optional<std::vector<std::uint8_t>> MakeIso(const std::vector<IsoFile>& files);

// The same image as MODE2/2352 (every sector Form 1, LBA i at sector i).
// The sample TIMs' image, and where each TIM's bytes lie in it.
struct SampleIso {
    std::vector<IsoTim> tims;
    std::vector<std::uint8_t> iso;
    std::size_t IsoOffsetOf(std::size_t tim) const;
};
std::optional<SampleIso> MakeSampleIso();

struct BuiltDisc;
BuiltDisc WrapMode2(const std::vector<std::uint8_t>& iso);

}  // namespace pixalto::testing
