#include <gtest/gtest.h>

#include <vector>

#include "disc/DiscCheck.h"
#include "disc/GoldenSectors.h"
#include "disc/SectorFormat.h"
#include "platform/File.h"
#include "support/DiscBuilder.h"
#include "support/TempDir.h"

namespace pixalto::disc {
namespace {

using testing::TempDir;

DiscCheckResult CheckBytes(const std::vector<std::uint8_t>& bytes) {
    TempDir dir;
    File file;
    if (!file.Open(dir.Write("disc.bin", bytes), File::Mode::Read)) {
        ADD_FAILURE() << "couldn't open the image";
        return {};
    }
    return CheckDisc(file);
}

TEST(DiscCheckTest, GoldenImageCountsItsKindsAndHasNoBadSector) {
    File file;
    ASSERT_TRUE(file.Open(testing::GoldenPath("sectors.bin"), File::Mode::Read))
        << "missing test data " << testing::GoldenPath("sectors.bin")
        << ": tests/data/disc belongs to the checkout";
    DiscCheckResult result = CheckDisc(file);
    EXPECT_EQ(result.mode2Form1, 9u);
    EXPECT_EQ(result.mode2Form2, 2u);
    EXPECT_EQ(result.mode1 + result.other + result.partialTailBytes, 0u);
    EXPECT_TRUE(result.bad.empty());
    EXPECT_EQ(result.failure, ErrorCode::None);
}

TEST(DiscCheckTest, CountsEveryKindAndThePartialTail) {
    std::vector<std::uint8_t> image;
    auto add = [&](SectorKind kind, int times) {
        for (int i = 0; i < times; ++i) {
            auto sector =
                testing::MakeSector(kind, static_cast<std::uint32_t>(image.size() / 2352));
            image.insert(image.end(), sector.begin(), sector.end());
        }
    };
    add(SectorKind::Mode2Form1, 3);
    add(SectorKind::Mode2Form2, 2);
    add(SectorKind::Mode1, 4);
    add(SectorKind::Other, 1);
    // An audio sector: no sync at all.
    image.insert(image.end(), kSectorSize, 0x33);
    image.insert(image.end(), 100, 0);
    DiscCheckResult result = CheckBytes(image);
    EXPECT_EQ(result.mode2Form1, 3u);
    EXPECT_EQ(result.mode2Form2, 2u);
    EXPECT_EQ(result.mode1, 4u);
    EXPECT_EQ(result.other, 1u);
    EXPECT_EQ(result.notData, 1u);
    ASSERT_EQ(result.notDataRuns.size(), 1u);
    EXPECT_EQ(result.notDataRuns[0].first, 10u);
    EXPECT_EQ(result.SectorCount(), 11u);
    EXPECT_EQ(result.partialTailBytes, 100u);
    EXPECT_TRUE(result.bad.empty());
}

struct DamageCase {
    const char* name;
    std::size_t sector;
    std::size_t offset;
    SectorKind kind;
    bool edcBad;
    bool eccBad;
};

// A Form 1 image with Form 2 sectors at 1 and 4: one flipped byte is found in
// its sector, with the codes it breaks.
TEST(DiscCheckTest, FindsTheSectorOfACorruptedByte) {
    testing::DiscContents desc;
    desc.data.assign(5 * kUserDataSize, 0x10);
    desc.gapsBefore = {1, 3};
    const auto image = testing::MakeDisc(desc).image;
    const DamageCase cases[] = {
        {"user data", 2, 24 + 2047, SectorKind::Mode2Form1, true, true},
        {"edc", 0, kForm1EdcOffset + 3, SectorKind::Mode2Form1, true, true},
        {"p parity", 5, kEccPOffset, SectorKind::Mode2Form1, false, true},
        {"q parity", 6, kEccQOffset + 50, SectorKind::Mode2Form1, false, true},
        {"form 2 data", 1, 500, SectorKind::Mode2Form2, true, false},
    };
    for (const DamageCase& c : cases) {
        SCOPED_TRACE(c.name);
        auto damaged = image;
        damaged[c.sector * kSectorSize + c.offset] ^= 0x01;
        DiscCheckResult result = CheckBytes(damaged);
        ASSERT_EQ(result.bad.size(), 1u);
        EXPECT_EQ(result.bad[0].index, c.sector);
        EXPECT_EQ(result.bad[0].kind, c.kind);
        EXPECT_EQ(result.bad[0].edcBad, c.edcBad);
        EXPECT_EQ(result.bad[0].eccBad, c.eccBad);
    }
}

TEST(DiscCheckTest, PlainFileIsNotAnImage) {
    DiscCheckResult result = CheckBytes(std::vector<std::uint8_t>(3 * kSectorSize + 7, 0xAB));
    EXPECT_EQ(result.failure, ErrorCode::NotARawCdImage);
    EXPECT_EQ(result.SectorCount(), 0u);
    EXPECT_TRUE(result.bad.empty());
    EXPECT_EQ(CheckBytes({}).failure, ErrorCode::NotARawCdImage);
}

}  // namespace
}  // namespace pixalto::disc
