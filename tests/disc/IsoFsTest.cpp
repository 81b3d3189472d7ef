#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>

#include "disc/DiscFiles.h"
#include "support/DiscBuilder.h"
#include "support/IsoBuilder.h"
#include "support/TempDir.h"

namespace pixalto::disc {
namespace {

using Bytes = std::vector<std::uint8_t>;

// The sample's TIMs, and one in the last file of a folder whose listing takes
// several sectors (as a game's data folders do).
std::optional<testing::SampleIso> SampleWithLongFolder() {
    testing::SampleIso sample{testing::SampleIsoTims(), {}};
    const testing::TimSpec shape = testing::PatternTim(4, 24, 6, 1, 9);
    sample.tims.push_back({"/MANY/ZZ.BIN", 10, shape, testing::MakeTim(shape)});
    auto files = testing::FilesHolding(sample.tims);
    for (int i = 0; i < 80; ++i) {
        files.push_back({"MANY/FILLER" + std::to_string(i) + ".BIN", Bytes(1, 0)});
    }
    auto iso = testing::MakeIso(files);
    if (!iso) {
        return std::nullopt;
    }
    sample.iso = std::move(*iso);
    return sample;
}

TEST(DiscFiles, NamesEachHitByLbaPathAndOffsetInFile) {
    const auto sample = SampleWithLongFolder();
    if (!sample) {
        GTEST_SKIP() << "genisoimage and xorriso are not installed";
    }
    const testing::BuiltDisc raw = testing::WrapMode2(sample->iso);
    const testing::BuiltDisc headerless = testing::WithoutHeaders(raw);
    testing::TempDir dir;
    struct Case {
        DiscLayout layout;
        std::string path;
        const testing::BuiltDisc* wrapped;  // nothing for the ISO itself
    };
    for (const Case& image : {Case{DiscLayout::Plain, dir.Write("GAME.ISO", sample->iso), nullptr},
                              Case{DiscLayout::Mode2Raw, dir.Write("GAME.BIN", raw.image), &raw},
                              Case{DiscLayout::Mode2Headerless,
                                   dir.Write("GAME.IMG", headerless.image), &headerless}}) {
        SCOPED_TRACE(image.path);
        File file;
        ASSERT_TRUE(file.Open(image.path, File::Mode::Read));
        EXPECT_EQ(DetectLayout(file), image.layout);
        const auto files = DiscFiles::Read(image.path, image.layout);
        ASSERT_TRUE(files.has_value());
        auto positionOf = [&](std::size_t isoOffset) -> std::uint64_t {
            return image.wrapped ? image.wrapped->FileOffsetOf(isoOffset) : isoOffset;
        };
        for (std::size_t i = 0; i < sample->tims.size(); ++i) {
            const testing::IsoTim& hit = sample->tims[i];
            const std::size_t at = sample->IsoOffsetOf(i);
            ASSERT_LT(at, sample->iso.size());
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
