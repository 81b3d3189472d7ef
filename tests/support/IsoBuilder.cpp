#include "support/IsoBuilder.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "support/DiscBuilder.h"
#include "support/TempDir.h"

namespace pixalto::testing {

std::vector<IsoTim> SampleIsoTims() {
    auto place = [](std::string path, std::size_t offset, TimSpec shape) {
        const auto seed = static_cast<std::uint16_t>(offset % 1000 + path.size());
        shape.imageX = static_cast<std::uint16_t>(seed * 2);
        shape.imageY = static_cast<std::uint16_t>(seed + 1);
        shape.clutX = static_cast<std::uint16_t>(seed * 3);
        shape.clutY = static_cast<std::uint16_t>(seed + 2);
        return IsoTim{std::move(path), offset, shape, MakeTim(shape)};
    };
    return {
        place("/DATA/CHARA.BIN", 100, PatternTim(4, 16, 8, 1, 1)),
        place("/DATA/CHARA.BIN", 2040, PatternTim(8, 40, 20, 1, 2)),  // across a sector
        place("/DATA/SUB/FACE.TIM", 0, PatternTim(16, 8, 4, 1, 3)),
        place("/TOP.BIN", 4106, PatternTim(8, 8, 8, 2, 4)),
    };
}

std::vector<IsoFile> FilesHolding(const std::vector<IsoTim>& tims) {
    std::vector<IsoFile> files = {{"README.TXT", std::vector<std::uint8_t>(300, 'r')}};
    for (const IsoTim& hit : tims) {
        const std::string name = hit.path.substr(1);
        auto file = std::find_if(files.begin(), files.end(),
                                 [&](const IsoFile& f) { return f.path == name; });
        if (file == files.end()) {
            files.push_back({name, std::vector<std::uint8_t>(6000, 0xA5)});
            file = files.end() - 1;
        }
        std::copy(hit.tim.begin(), hit.tim.end(),
                  file->bytes.begin() + static_cast<std::ptrdiff_t>(hit.offsetInFile));
    }
    return files;
}

std::optional<std::vector<std::uint8_t>> MakeIso(const std::vector<IsoFile>& files) {
    TempDir dir;
    const std::filesystem::path root = dir.Path() / "root";
    for (const IsoFile& file : files) {
        std::filesystem::create_directories((root / file.path).parent_path());
        std::ofstream(root / file.path, std::ios::binary)
            .write(reinterpret_cast<const char*>(file.bytes.data()),
                   static_cast<std::streamsize>(file.bytes.size()));
    }
    const std::string out = dir.File("image.iso");
    const std::string args = " -quiet -o '" + out + "' '" + root.string() + "' 2>/dev/null";
    if (std::system(("genisoimage" + args).c_str()) != 0 &&
        std::system(("xorriso -as mkisofs" + args).c_str()) != 0) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> image = ReadAll(out);
    if (image.empty()) {
        return std::nullopt;
    }
    return image;
}

std::optional<SampleIso> MakeSampleIso() {
    SampleIso sample;
    sample.tims = SampleIsoTims();
    auto iso = MakeIso(FilesHolding(sample.tims));
    if (!iso) {
        return std::nullopt;
    }
    sample.iso = std::move(*iso);
    return sample;
}

std::size_t SampleIso::IsoOffsetOf(std::size_t tim) const {
    const auto& bytes = tims.at(tim).tim;
    return static_cast<std::size_t>(
        std::search(iso.begin(), iso.end(), bytes.begin(), bytes.end()) - iso.begin());
}

BuiltDisc WrapMode2(const std::vector<std::uint8_t>& iso) {
    DiscContents desc;
    desc.data = iso;
    return MakeDisc(desc);
}

}  // namespace pixalto::testing
