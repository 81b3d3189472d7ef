#include "support/IsoBuilder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "support/DiscBuilder.h"
#include "support/TempDir.h"

namespace pixalto::testing {

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

BuiltDisc WrapMode2(const std::vector<std::uint8_t>& iso) {
    DiscContents desc;
    desc.data = iso;
    return MakeDisc(desc);
}

}  // namespace pixalto::testing
