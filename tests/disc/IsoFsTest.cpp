#include <gtest/gtest.h>

#include <algorithm>

#include "disc/DiscFiles.h"
#include "support/DiscBuilder.h"
#include "support/IsoBuilder.h"
#include "support/TempDir.h"
#include "support/TimBuilder.h"

namespace pixalto::disc {
namespace {

using Bytes = std::vector<std::uint8_t>;

// TIMs in several files and folders, each a pattern of its own so that it
// can be found in the image by its bytes.
struct Hit {
    std::string path;
    std::size_t offsetInFile;
    Bytes tim;
};

std::vector<Hit> Hits() {
    using testing::MakeTim;
    using testing::PatternTim;
    return {
        {"/DATA/CHARA.BIN", 100, MakeTim(PatternTim(4, 16, 8, 1, 1))},
        {"/DATA/CHARA.BIN", 2040, MakeTim(PatternTim(8, 40, 20, 1, 2))},  // across a sector
        {"/DATA/SUB/FACE.TIM", 0, MakeTim(PatternTim(16, 8, 4, 1, 3))},
        {"/TOP.BIN", 4106, MakeTim(PatternTim(8, 8, 8, 2, 4))},
    };
}

std::vector<testing::IsoFile> Files(const std::vector<Hit>& hits) {
    std::vector<testing::IsoFile> files = {{"README.TXT", Bytes(300, 'r')}};
    for (const Hit& hit : hits) {
        auto name = hit.path.substr(1);
        auto file = std::find_if(files.begin(), files.end(),
                                 [&](const testing::IsoFile& f) { return f.path == name; });
        if (file == files.end()) {
            files.push_back({name, Bytes(6000, 0xA5)});
            file = files.end() - 1;
        }
        std::copy(hit.tim.begin(), hit.tim.end(),
                  file->bytes.begin() + static_cast<std::ptrdiff_t>(hit.offsetInFile));
    }
    return files;
}

std::size_t Find(const Bytes& haystack, const Bytes& needle) {
    return static_cast<std::size_t>(
        std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end()) -
        haystack.begin());
}

TEST(DiscFiles, NamesEachHitByLbaPathAndOffsetInFile) {
    const std::vector<Hit> hits = Hits();
    const auto iso = testing::MakeIso(Files(hits));
    if (!iso) {
        GTEST_SKIP() << "genisoimage and xorriso are not installed";
    }
    const testing::BuiltDisc raw = testing::WrapMode2(*iso);
    testing::TempDir dir;
    struct Case {
        DiscLayout layout;
        std::string path;
    };
    for (const Case& image : {Case{DiscLayout::Plain, dir.Write("GAME.ISO", *iso)},
                              Case{DiscLayout::Mode2Raw, dir.Write("GAME.BIN", raw.image)}}) {
        SCOPED_TRACE(image.path);
        const auto files = DiscFiles::Read(image.path, image.layout);
        ASSERT_TRUE(files.has_value());
        auto positionOf = [&](std::size_t isoOffset) -> std::uint64_t {
            return image.layout == DiscLayout::Plain ? isoOffset : raw.FileOffsetOf(isoOffset);
        };
        for (const Hit& hit : hits) {
            const std::size_t at = Find(*iso, hit.tim);
            ASSERT_LT(at, iso->size());
            const DiscPlace place = files->PlaceOf(positionOf(at));
            EXPECT_EQ(place.lba, at / 2048) << hit.path;
            EXPECT_EQ(place.path, hit.path);
            EXPECT_EQ(place.offsetInFile, hit.offsetInFile) << hit.path;
        }
        // The system area and the volume descriptors belong to no file.
        const DiscPlace system = files->PlaceOf(positionOf(16 * 2048 + 1));
        EXPECT_EQ(system.lba, 16u);
        EXPECT_EQ(system.path, "");
    }
}

TEST(DiscFiles, ImageWithoutFileSystemReadsNothing) {
    testing::TempDir dir;
    testing::DiscContents desc;
    desc.data = Bytes(40 * 2048, 0x11);
    EXPECT_FALSE(DiscFiles::Read(dir.Write("NOFS.BIN", testing::MakeDisc(desc).image),
                                 DiscLayout::Mode2Raw));
    EXPECT_FALSE(DiscFiles::Read(dir.Write("ARCHIVE.DAT", desc.data), DiscLayout::Plain));
    EXPECT_FALSE(DiscFiles::Read(dir.File("missing.bin"), DiscLayout::Plain));
}

}  // namespace
}  // namespace pixalto::disc
