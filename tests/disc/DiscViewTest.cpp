#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <limits>
#include <string>
#include <vector>

#include "disc/DiscCheck.h"
#include "disc/DiscLayout.h"
#include "disc/DiscView.h"
#include "disc/GoldenSectors.h"
#include "disc/SectorFormat.h"
#include "platform/File.h"
#include "support/ChildProcess.h"
#include "support/DiscBuilder.h"
#include "support/TempDir.h"

namespace pixalto::disc {
namespace {

using testing::BuiltDisc;
using testing::DiscContents;
using testing::MakeDisc;
using testing::ReadAll;
using testing::TempDir;
using testing::WithoutHeaders;

std::vector<std::uint8_t> Pattern(std::size_t size, std::uint32_t seed) {
    std::vector<std::uint8_t> bytes(size);
    std::uint32_t state = seed * 2654435761u + 1;
    for (auto& b : bytes) {
        state = state * 1103515245u + 12345u;
        b = static_cast<std::uint8_t>(state >> 16);
    }
    return bytes;
}

// Six data sectors with a gap before the first (Mode 2 only: a Mode 1 image
// is recognised by a Mode 1 first sector), two between the second and third,
// one before the sixth and one after it.
BuiltDisc GappedDisc(SectorKind dataKind = SectorKind::Mode2Form1,
                     SectorKind gapKind = SectorKind::Mode2Form2) {
    DiscContents desc;
    desc.dataKind = dataKind;
    desc.gapKind = gapKind;
    desc.data = Pattern(6 * kUserDataSize, 1);
    desc.gapsBefore = {2, 2, 5, 6};
    if (dataKind == SectorKind::Mode2Form1) {
        desc.gapsBefore.push_back(0);
    }
    desc.firstLba = 4000;
    return MakeDisc(desc);
}

// The layout a test disc was built with: a MODE2/2336 one without a file
// system is not detected.
DiscLayout LayoutOf(const BuiltDisc& disc, File& file) {
    return disc.sectorSize == kHeaderlessSectorSize ? DiscLayout::Mode2Headerless
                                                    : DetectLayout(file);
}

std::vector<std::uint8_t> ReadView(DiscView& view, std::uint64_t offset, std::size_t count) {
    std::vector<std::uint8_t> out(count);
    out.resize(view.Read(offset, out.data(), count));
    return out;
}

std::vector<std::uint8_t> Slice(const std::vector<std::uint8_t>& bytes, std::size_t offset,
                                std::size_t count) {
    offset = std::min(offset, bytes.size());
    count = std::min(count, bytes.size() - offset);
    auto from = bytes.begin() + static_cast<std::ptrdiff_t>(offset);
    return {from, from + static_cast<std::ptrdiff_t>(count)};
}

// Mode 1 and Mode 2 Form 1 sectors side by side, each kind following the
// other: the view must not take one kind's run on into the other.
BuiltDisc MixedDisc() {
    const SectorKind kinds[] = {SectorKind::Mode1, SectorKind::Mode2Form1, SectorKind::Mode1,
                                SectorKind::Mode1, SectorKind::Mode2Form1, SectorKind::Mode2Form1};
    BuiltDisc disc;
    disc.view = Pattern(std::size(kinds) * kUserDataSize, 12);
    for (std::size_t i = 0; i < std::size(kinds); ++i) {
        auto data = Slice(disc.view, i * kUserDataSize, kUserDataSize);
        auto sector = testing::MakeSector(kinds[i], static_cast<std::uint32_t>(i), data);
        disc.image.insert(disc.image.end(), sector.begin(), sector.end());
        disc.dataSectorAt.push_back(i);
    }
    return disc;
}

TEST(DiscViewTest, GoldenImageIsModeTwoAndItsViewIsTheUserData) {
    auto expected = testing::ReadGolden("user-data.bin");
    ASSERT_EQ(expected.size(), 9 * kUserDataSize);
    File file;
    ASSERT_TRUE(file.Open(testing::GoldenPath("sectors.bin"), File::Mode::Read))
        << "missing test data " << testing::GoldenPath("sectors.bin")
        << ": tests/data/disc belongs to the checkout";
    ASSERT_EQ(DetectLayout(file), DiscLayout::Mode2Raw);
    DiscView view(file, DiscLayout::Mode2Raw);
    EXPECT_EQ(view.Length(), expected.size());
    EXPECT_EQ(ReadView(view, 0, expected.size() + 100), expected);
    // In odd pieces, so that pieces start and end inside sectors.
    std::vector<std::uint8_t> pieces;
    for (std::uint64_t at = 0; at < expected.size(); at += 1000) {
        auto piece = ReadView(view, at, 1000);
        pieces.insert(pieces.end(), piece.begin(), piece.end());
    }
    EXPECT_EQ(pieces, expected);
}

struct DetectCase {
    const char* name;
    std::vector<std::uint8_t> bytes;
    DiscLayout expected;
};

TEST(DiscViewTest, DetectsRawImagesByTheirFirstSector) {
    auto mode2 = GappedDisc().image;
    auto mode1 = GappedDisc(SectorKind::Mode1, SectorKind::Other).image;
    auto brokenSync = mode2;
    brokenSync[11] = 0xFF;
    auto mode0 = mode2;
    mode0[kModeOffset] = 0;
    auto truncated = Slice(mode2, 0, 2 * kSectorSize + 1000);
    auto belowOneSector = Slice(mode2, 0, kSectorSize - 1);
    // Without sync and headers, known by the volume descriptor in sector 16.
    DiscContents fs;
    fs.data = Pattern(18 * kUserDataSize, 3);
    testing::PlaceBytes(fs.data, 16 * kUserDataSize, {0x01, 'C', 'D', '0', '0', '1'});
    auto headerless = WithoutHeaders(MakeDisc(fs)).image;
    auto otherDescriptor = headerless;
    otherDescriptor[16 * kHeaderlessSectorSize + 8] = 0x02;
    const DetectCase cases[] = {
        {"mode 2", mode2, DiscLayout::Mode2Raw},
        {"mode 1", mode1, DiscLayout::Mode1Raw},
        {"last sector partial", truncated, DiscLayout::Mode2Raw},
        {"one whole sector", Slice(mode2, 0, kSectorSize), DiscLayout::Mode2Raw},
        {"shorter than a sector", belowOneSector, DiscLayout::Plain},
        {"sync broken", brokenSync, DiscLayout::Plain},
        {"mode 0", mode0, DiscLayout::Plain},
        {"2,048-byte sectors", std::vector<std::uint8_t>(8 * kUserDataSize, 0), DiscLayout::Plain},
        {"empty", {}, DiscLayout::Plain},
        {"2,336-byte sectors", headerless, DiscLayout::Mode2Headerless},
        {"2,336-byte, up to the descriptor", Slice(headerless, 0, kLayoutDetectBytes),
         DiscLayout::Mode2Headerless},
        {"2,336-byte, descriptor cut short", Slice(headerless, 0, kLayoutDetectBytes - 1),
         DiscLayout::Plain},
        {"2,336-byte, not a primary descriptor", otherDescriptor, DiscLayout::Plain},
        {"2,336-byte, no file system", WithoutHeaders(GappedDisc()).image, DiscLayout::Plain},
    };
    TempDir dir;
    for (const DetectCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(DetectLayout(c.bytes.data(), c.bytes.size(), c.bytes.size()), c.expected);
        File file;
        ASSERT_TRUE(file.Open(dir.Write("image.bin", c.bytes), File::Mode::Read));
        EXPECT_EQ(DetectLayout(file), c.expected);
    }
}

TEST(DiscViewTest, LayoutNamesReadBackExactly) {
    for (DiscLayout layout : {DiscLayout::Plain, DiscLayout::Mode1Raw, DiscLayout::Mode2Raw,
                              DiscLayout::Mode2Headerless}) {
        EXPECT_EQ(ParseLayoutName(LayoutName(layout)), layout);
    }
    EXPECT_EQ(LayoutName(DiscLayout::Mode2Raw), "MODE2/2352");
    EXPECT_EQ(LayoutName(DiscLayout::Mode2Headerless), "MODE2/2336");
    EXPECT_EQ(LayoutName(DiscLayout::Mode1Raw), "MODE1/2352");
    EXPECT_EQ(LayoutName(DiscLayout::Plain), "plain");
    for (const char* other : {"", "mode2/2352", "MODE2/2352 ", "MODE2", "disc", "MODE2/2340"}) {
        EXPECT_EQ(ParseLayoutName(other), std::nullopt) << other;
    }
}

struct ReadCase {
    const char* name;
    std::uint64_t offset;
    std::size_t count;
};

TEST(DiscViewTest, ReadsAcrossSectorBoundariesAndGaps) {
    const BuiltDisc discs[] = {GappedDisc(), GappedDisc(SectorKind::Mode1, SectorKind::Other),
                               MixedDisc(), WithoutHeaders(GappedDisc())};
    for (const BuiltDisc& disc : discs) {
        const std::uint64_t size = disc.view.size();
        const ReadCase cases[] = {
            {"first bytes", 0, 10},
            {"across one boundary", kUserDataSize - 3, 6},
            {"across two gap sectors", 2 * kUserDataSize - 10, 20},
            {"across several sectors", 100, 4 * kUserDataSize},
            {"whole view", 0, disc.view.size()},
            {"last bytes", size - 5, 5},
            {"past the end", size - 5, 100},
            {"at the end", size, 10},
            {"far past the end", std::numeric_limits<std::uint64_t>::max() - 3, 10},
        };
        TempDir dir;
        File file;
        ASSERT_TRUE(file.Open(dir.Write("disc.bin", disc.image), File::Mode::Read));
        DiscView view(file, LayoutOf(disc, file));
        for (const ReadCase& c : cases) {
            SCOPED_TRACE(c.name);
            EXPECT_EQ(
                ReadView(view, c.offset, c.count),
                Slice(disc.view, static_cast<std::size_t>(std::min(c.offset, size)), c.count));
        }
    }
}

TEST(DiscViewTest, MapsOffsetsBothWays) {
    for (const BuiltDisc& disc : {GappedDisc(), MixedDisc(), WithoutHeaders(GappedDisc())}) {
        TempDir dir;
        File file;
        ASSERT_TRUE(file.Open(dir.Write("disc.bin", disc.image), File::Mode::Read));
        DiscView view(file, LayoutOf(disc, file));
        for (std::uint64_t v = 0; v < disc.view.size(); ++v) {
            ASSERT_EQ(view.FileOffsetOf(v), disc.FileOffsetOf(v)) << v;
        }
        EXPECT_EQ(view.FileOffsetOf(disc.view.size()), std::nullopt);
        // Every file offset maps back, or is not data; together the data
        // bytes are exactly the view.
        std::uint64_t dataBytes = 0;
        for (std::uint64_t f = 0; f < disc.image.size() + 10; ++f) {
            if (auto v = view.ViewOffsetOf(f)) {
                ASSERT_EQ(disc.FileOffsetOf(*v), f);
                ++dataBytes;
            }
        }
        EXPECT_EQ(dataBytes, disc.view.size());
    }
}

struct WriteCase {
    const char* name;
    std::uint64_t offset;
    std::size_t count;
};

// Which image bytes a write at [offset, offset + count) of the view may
// change: the written data and the codes of every sector it touches.
std::vector<bool> MayChange(const BuiltDisc& disc, std::uint64_t offset, std::size_t count) {
    std::vector<bool> may(disc.image.size(), false);
    for (std::uint64_t v = offset; v < offset + count; ++v) {
        std::uint64_t f = disc.FileOffsetOf(v);
        may[f] = true;
        const std::size_t size = disc.sectorSize;
        std::uint64_t sector = f / size;
        std::size_t codes = disc.FileOffsetOf(v - v % kUserDataSize) % size + kUserDataSize;
        std::fill(may.begin() + static_cast<std::ptrdiff_t>(sector * size + codes),
                  may.begin() + static_cast<std::ptrdiff_t>((sector + 1) * size), true);
    }
    return may;
}

// Writes into each kind of image; a MODE2/2336 image must end up exactly as
// the same write into its 2,352-byte twin with sync and headers cut off,
// since Mode 2 codes leave the header out.
TEST(DiscViewTest, WritesRebuildCodesAndTouchNothingElse) {
    struct Variant {
        const char* name;
        BuiltDisc disc;
        const BuiltDisc* twin;  // the 2,352-byte image this one is cut from
    };
    const BuiltDisc mode2 = GappedDisc();
    const Variant variants[] = {
        {"mode 2", mode2, nullptr},
        {"mode 1", GappedDisc(SectorKind::Mode1, SectorKind::Other), nullptr},
        {"mode 2 without headers", WithoutHeaders(mode2), &mode2},
    };
    // The image after writing piece at offset through the view.
    auto written = [](const BuiltDisc& disc, std::uint64_t offset,
                      const std::vector<std::uint8_t>& piece, TempDir& dir,
                      DiscCheckResult& check) {
        std::string path = dir.Write("disc.bin", disc.image);
        {
            File file;
            EXPECT_TRUE(file.Open(path, File::Mode::WriteInPlace));
            DiscView view(file, LayoutOf(disc, file));
            EXPECT_TRUE(view.Write(offset, piece.data(), piece.size()));
            // The view reads what was written, before and after reopening.
            EXPECT_EQ(ReadView(view, offset, piece.size()), piece);
        }
        auto expectedView = disc.view;
        testing::PlaceBytes(expectedView, static_cast<std::size_t>(offset), piece);
        File file;
        EXPECT_TRUE(file.Open(path, File::Mode::Read));
        const DiscLayout layout = LayoutOf(disc, file);
        DiscView view(file, layout);
        EXPECT_EQ(ReadView(view, 0, expectedView.size()), expectedView);
        check = CheckDisc(file, layout);
        return ReadAll(path);
    };
    for (const Variant& variant : variants) {
        const BuiltDisc& disc = variant.disc;
        const std::uint64_t size = disc.view.size();
        const WriteCase cases[] = {
            {"inside one sector", 300, 500},
            {"first byte", 0, 1},
            {"across one boundary", 3 * kUserDataSize - 7, 20},
            {"across two gap sectors", 2 * kUserDataSize - 100, 200},
            {"across several sectors", 1000, 3 * kUserDataSize + 77},
            {"last sector, to the end", size - 700, 700},
            {"whole view", 0, disc.view.size()},
            {"nothing", 5000, 0},
        };
        for (const WriteCase& c : cases) {
            SCOPED_TRACE(std::string(c.name) + ", " + variant.name);
            TempDir dir;
            const auto piece = Pattern(c.count, 99);
            DiscCheckResult check;
            const auto after = written(disc, c.offset, piece, dir, check);
            EXPECT_EQ(check.SectorCount(), disc.image.size() / disc.sectorSize);
            EXPECT_TRUE(check.bad.empty()) << "first bad sector " << check.bad.front().index;
            ASSERT_EQ(after.size(), disc.image.size());
            auto may = MayChange(disc, c.offset, c.count);
            for (std::size_t i = 0; i < after.size(); ++i) {
                if (!may[i]) {
                    ASSERT_EQ(after[i], disc.image[i]) << "byte " << i << " changed";
                }
            }
            if (variant.twin != nullptr) {
                TempDir twinDir;
                BuiltDisc twinAfter = *variant.twin;
                twinAfter.image = written(*variant.twin, c.offset, piece, twinDir, check);
                EXPECT_EQ(after, WithoutHeaders(twinAfter).image);
            }
        }
    }
}

TEST(DiscViewTest, RefusesWritesPastTheEndAndWritesNothing) {
    BuiltDisc disc = GappedDisc();
    const std::uint64_t size = disc.view.size();
    const WriteCase cases[] = {
        {"one byte too many", size - 10, 11},
        {"starting at the end", size, 1},
        {"starting past the end", size + 1, 0},
        {"wrapping around", std::numeric_limits<std::uint64_t>::max() - 2, 8},
    };
    TempDir dir;
    std::string path = dir.Write("disc.bin", disc.image);
    for (const WriteCase& c : cases) {
        SCOPED_TRACE(c.name);
        auto piece = Pattern(c.count, 5);
        File file;
        ASSERT_TRUE(file.Open(path, File::Mode::WriteInPlace));
        DiscView view(file, DiscLayout::Mode2Raw);
        EXPECT_FALSE(view.Write(c.offset, piece.data(), piece.size()));
        file.Close();
        EXPECT_EQ(ReadAll(path), disc.image);
    }
}

TEST(DiscViewTest, WriteToAFileOpenForReadingFails) {
    BuiltDisc disc = GappedDisc();
    TempDir dir;
    std::string path = dir.Write("disc.bin", disc.image);
    File file;
    ASSERT_TRUE(file.Open(path, File::Mode::ReadRaw));
    DiscView view(file, DiscLayout::Mode2Raw);
    std::uint8_t byte = 0x55;
    EXPECT_FALSE(view.Write(10, &byte, 1));
    // What the view reads is still the file's content.
    EXPECT_EQ(ReadView(view, 0, disc.view.size()), disc.view);
    file.Close();
    EXPECT_EQ(ReadAll(path), disc.image);
}

TEST(DiscViewTest, TruncatedImageIsReadUpToItsLastWholeSector) {
    BuiltDisc disc = GappedDisc();
    // Another data sector follows, cut short after its first 1,000 bytes.
    auto image = disc.image;
    auto extra = testing::MakeSector(SectorKind::Mode2Form1, 9000, Pattern(kUserDataSize, 3));
    image.insert(image.end(), extra.begin(), extra.begin() + 1000);
    TempDir dir;
    File file;
    ASSERT_TRUE(file.Open(dir.Write("disc.bin", image), File::Mode::WriteInPlace));
    ASSERT_EQ(DetectLayout(file), DiscLayout::Mode2Raw);
    DiscView view(file, DiscLayout::Mode2Raw);
    EXPECT_EQ(view.Length(), disc.view.size());
    EXPECT_EQ(ReadView(view, 0, disc.view.size() + 2048), disc.view);
    EXPECT_EQ(view.ViewOffsetOf(disc.image.size() + 30), std::nullopt);
    std::uint8_t byte = 1;
    EXPECT_FALSE(view.Write(disc.view.size(), &byte, 1));
}

TEST(DiscViewTest, ReachesKnowsTheEndWithoutReadingFurther) {
    BuiltDisc disc = GappedDisc();
    TempDir dir;
    File file;
    ASSERT_TRUE(file.Open(dir.Write("disc.bin", disc.image), File::Mode::Read));
    DiscView view(file, DiscLayout::Mode2Raw);
    EXPECT_EQ(view.MaxLength(), (disc.image.size() / kSectorSize) * kUserDataSize);
    EXPECT_TRUE(view.Reaches(0));
    EXPECT_TRUE(view.Reaches(disc.view.size()));
    EXPECT_FALSE(view.Reaches(disc.view.size() + 1));
}

// More sectors than the view reads at once, with a gap every seventh: reading
// in scan-sized windows, jumping back, and writing after the map is complete
// all see the same bytes.
TEST(DiscViewTest, LargeImageReadsAndWritesAcrossItsReadChunks) {
    DiscContents desc;
    desc.data = Pattern(1500 * kUserDataSize, 8);
    for (std::size_t i = 0; i < 1500; i += 7) {
        desc.gapsBefore.push_back(i);
    }
    BuiltDisc disc = MakeDisc(desc);
    TempDir dir;
    std::string path = dir.Write("disc.bin", disc.image);
    File file;
    ASSERT_TRUE(file.Open(path, File::Mode::WriteInPlace));
    DiscView view(file, DiscLayout::Mode2Raw);
    std::vector<std::uint8_t> all;
    for (std::uint64_t at = 0;; at += 30'000 - 9) {
        auto window = ReadView(view, at, 30'000);
        all.resize(static_cast<std::size_t>(at));
        all.insert(all.end(), window.begin(), window.end());
        if (window.size() < 30'000) {
            break;
        }
    }
    EXPECT_EQ(all, disc.view);
    EXPECT_EQ(ReadView(view, 12'345, 50'000), Slice(disc.view, 12'345, 50'000));
    EXPECT_EQ(view.FileOffsetOf(2'000'000), disc.FileOffsetOf(2'000'000));

    auto piece = Pattern(100 * 1024, 4);
    ASSERT_TRUE(view.Write(1'000'000, piece.data(), piece.size()));
    ASSERT_TRUE(view.Write(100, piece.data(), 3000));
    auto expected = disc.view;
    testing::PlaceBytes(expected, 1'000'000, piece);
    testing::PlaceBytes(expected, 100, Slice(piece, 0, 3000));
    EXPECT_EQ(ReadView(view, 0, expected.size()), expected);
    EXPECT_TRUE(CheckDisc(file).bad.empty());

    // A data sector turned into Form 2 through another handle, outside the
    // sectors the view read last, is not written: the view checks each
    // sector's kind again, as the file holds it, before it writes.
    const std::uint64_t changed = disc.dataSectorAt[3];
    const auto form2 = testing::MakeSector(SectorKind::Mode2Form2, 77);
    {
        File other;
        ASSERT_TRUE(other.Open(path, File::Mode::WriteInPlace));
        ASSERT_EQ(other.Seek(static_cast<std::int64_t>(changed * kSectorSize)),
                  static_cast<std::int64_t>(changed * kSectorSize));
        ASSERT_TRUE(other.Write(form2.data(), form2.size()));
    }
    EXPECT_FALSE(view.Write(3 * kUserDataSize + 10, piece.data(), 100));
    EXPECT_EQ(Slice(ReadAll(path), changed * kSectorSize, kSectorSize), form2);
}

// A stop by SIGTERM at any moment of writing leaves every sector whole, with
// its old bytes and codes or its new ones: never new data under old codes,
// nor a sector cut short at a page boundary. Each round stops a child at
// another moment of its writes; a small image keeps the rounds quick.
TEST(DiscViewTest, AStopWhileWritingLeavesEverySectorValid) {
    DiscContents desc;
    desc.data = Pattern(12 * kUserDataSize, 6);
    desc.gapsBefore = {5, 8, 8};
    const BuiltDisc disc = MakeDisc(desc);
    TempDir dir;
    const std::string path = dir.Write("disc.bin", disc.image);
    const auto piece = Pattern(disc.view.size(), 7);
    const std::size_t places = disc.view.size() - 5000;
    constexpr int kRounds = 150;
    int stopped = 0;
    for (int round = 0; round < kRounds; ++round) {
        const auto delay = std::chrono::microseconds(50 + round * 397 % 1000);
        const int ended = testing::SignalThatEndsAfter(SIGTERM, delay, [&](const auto& ready) {
            File file;
            if (!file.Open(path, File::Mode::WriteInPlace)) {
                return;
            }
            DiscView view(file, DiscLayout::Mode2Raw);
            view.Length();
            ready();
            // Pieces of odd sizes and places, whole and part sectors, until
            // stopped (or after a while, should the signal never come).
            for (std::size_t i = 0; i < 20'000; ++i) {
                view.Write(i * 7919 % places, piece.data() + i % 1000, 1 + i * 131 % 5000);
            }
        });
        stopped += ended == SIGTERM;
        File file;
        ASSERT_TRUE(file.Open(path, File::Mode::Read));
        const DiscCheckResult check = CheckDisc(file);
        ASSERT_TRUE(check.bad.empty())
            << "round " << round << ": sector " << check.bad.front().index << " torn";
    }
    EXPECT_GT(stopped, kRounds - 5) << "the writes ended before the signal came";
}

TEST(DiscViewTest, PlainLayoutIsTheFileItself) {
    auto bytes = Pattern(10'000, 2);
    TempDir dir;
    std::string path = dir.Write("plain.bin", bytes);
    File file;
    ASSERT_TRUE(file.Open(path, File::Mode::WriteInPlace));
    DiscView view(file, DiscLayout::Plain);
    EXPECT_EQ(view.Length(), bytes.size());
    EXPECT_EQ(ReadView(view, 9'990, 100), Slice(bytes, 9'990, 100));
    EXPECT_EQ(view.FileOffsetOf(1234), 1234u);
    EXPECT_EQ(view.ViewOffsetOf(9'999), 9'999u);
    EXPECT_EQ(view.ViewOffsetOf(10'000), std::nullopt);
    std::uint8_t two[2] = {7, 7};
    EXPECT_FALSE(view.Write(9'999, two, 2));
    ASSERT_TRUE(view.Write(9'998, two, 2));
    file.Close();
    bytes[9'998] = bytes[9'999] = 7;
    EXPECT_EQ(ReadAll(path), bytes);
}

}  // namespace
}  // namespace pixalto::disc
