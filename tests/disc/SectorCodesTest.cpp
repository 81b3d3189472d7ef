#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "disc/Edc.h"
#include "disc/GoldenSectors.h"
#include "disc/SectorCodes.h"
#include "disc/SectorFormat.h"
#include "support/DiscBuilder.h"

namespace pixalto::disc {
namespace {

using testing::ReadGolden;

constexpr std::size_t kGoldenSectors = 11;

std::vector<std::uint8_t> GoldenSector(const std::vector<std::uint8_t>& all, std::size_t index) {
    auto from = all.begin() + static_cast<std::ptrdiff_t>(index * kSectorSize);
    return {from, from + static_cast<std::ptrdiff_t>(kSectorSize)};
}

TEST(SectorCodesTest, GoldenSectorsAreClassifiedAsTheirSubheadersSay) {
    auto all = ReadGolden("sectors.bin");
    ASSERT_EQ(all.size(), kGoldenSectors * kSectorSize);
    for (std::size_t i = 0; i < kGoldenSectors; ++i) {
        SectorKind expected = (i == 3 || i == 7) ? SectorKind::Mode2Form2 : SectorKind::Mode2Form1;
        EXPECT_EQ(ClassifySector(all.data() + i * kSectorSize), expected) << "sector " << i;
    }
}

// Blank every code a sector carries, rebuild, and get the original back.
TEST(SectorCodesTest, RebuildsEveryGoldenSectorByteForByte) {
    auto all = ReadGolden("sectors.bin");
    ASSERT_EQ(all.size(), kGoldenSectors * kSectorSize);
    for (std::size_t i = 0; i < kGoldenSectors; ++i) {
        auto original = GoldenSector(all, i);
        auto sector = original;
        if (ClassifySector(sector.data()) == SectorKind::Mode2Form2) {
            std::fill(sector.begin() + kForm2EdcOffset, sector.end(), 0);
        } else {
            std::fill(sector.begin() + kForm1EdcOffset, sector.end(), 0);
        }
        ASSERT_TRUE(RebuildSectorCodes(sector.data()));
        EXPECT_EQ(sector, original) << "sector " << i;
        SectorCheck check = CheckSectorCodes(original.data());
        EXPECT_TRUE(check.edcOk && check.eccOk) << "sector " << i;
    }
}

TEST(SectorCodesTest, EdcOfKnownTexts) {
    // The CRC of no bytes is its initial value; one 0x01 byte gives the
    // reflected polynomial's table entry for 1.
    EXPECT_EQ(ComputeEdc(nullptr, 0), 0u);
    const std::uint8_t one = 1;
    std::uint32_t crc = 1;
    for (int bit = 0; bit < 8; ++bit) {
        crc = (crc >> 1) ^ ((crc & 1) ? 0xD8018001u : 0);
    }
    EXPECT_EQ(ComputeEdc(&one, 1), crc);
}

struct Corruption {
    const char* name;
    SectorKind kind;
    std::size_t offset;
    bool edcOk;
    bool eccOk;
};

// Flipping one byte shows up in exactly the codes that cover it. Mode 2
// codes leave out the header (the ECC counts it as zero); Mode 1 covers it.
TEST(SectorCodesTest, CheckFindsAFlippedByteInTheCodesThatCoverIt) {
    const Corruption cases[] = {
        {"form1 data", SectorKind::Mode2Form1, 24 + 1000, false, false},
        {"form1 last data byte", SectorKind::Mode2Form1, 2071, false, false},
        {"form1 subheader", SectorKind::Mode2Form1, 18 + 4, false, false},
        {"form1 edc", SectorKind::Mode2Form1, 2072, false, false},
        {"form1 p parity", SectorKind::Mode2Form1, 2076 + 100, true, false},
        {"form1 q parity", SectorKind::Mode2Form1, 2351, true, false},
        {"form1 header", SectorKind::Mode2Form1, 13, true, true},
        {"mode1 header", SectorKind::Mode1, 13, false, false},
        {"mode1 data", SectorKind::Mode1, 16, false, false},
        {"mode1 edc", SectorKind::Mode1, 2067, false, false},
        {"mode1 reserved", SectorKind::Mode1, 2070, true, false},
        {"mode1 q parity", SectorKind::Mode1, 2300, true, false},
        {"form2 data", SectorKind::Mode2Form2, 24 + 2000, false, true},
        {"form2 edc", SectorKind::Mode2Form2, 2349, false, true},
    };
    std::vector<std::uint8_t> data(2048);
    for (std::size_t i = 0; i < data.size(); ++i) {
        data[i] = static_cast<std::uint8_t>(i * 31 + 5);
    }
    for (const Corruption& c : cases) {
        SCOPED_TRACE(c.name);
        auto sector = testing::MakeSector(c.kind, 1234, data);
        SectorCheck clean = CheckSectorCodes(sector.data());
        ASSERT_TRUE(clean.edcOk && clean.eccOk);
        sector[c.offset] ^= 0x40;
        SectorCheck check = CheckSectorCodes(sector.data());
        EXPECT_EQ(check.kind, c.kind);
        EXPECT_EQ(check.edcOk, c.edcOk);
        EXPECT_EQ(check.eccOk, c.eccOk);
    }
}

TEST(SectorCodesTest, Form2EdcOfZeroMeansNotComputed) {
    auto sector = testing::MakeSector(SectorKind::Mode2Form2, 7);
    std::fill(sector.begin() + kForm2EdcOffset, sector.end(), 0);
    EXPECT_TRUE(CheckSectorCodes(sector.data()).edcOk);
    sector[100] ^= 1;
    EXPECT_TRUE(CheckSectorCodes(sector.data()).edcOk);
}

TEST(SectorCodesTest, SectorsWithoutSyncOrKnownModeHaveNoCodes) {
    auto broken = testing::MakeSector(SectorKind::Mode2Form1, 3);
    broken[5] = 0;
    auto mode0 = testing::MakeSector(SectorKind::Other, 3);
    auto mode3 = testing::MakeSector(SectorKind::Mode1, 3);
    mode3[kModeOffset] = 3;
    for (auto* sector : {&broken, &mode0, &mode3}) {
        auto before = *sector;
        EXPECT_EQ(ClassifySector(sector->data()), SectorKind::Other);
        EXPECT_FALSE(RebuildSectorCodes(sector->data()));
        EXPECT_EQ(*sector, before);
    }
}

}  // namespace
}  // namespace pixalto::disc
