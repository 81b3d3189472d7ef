#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

#include "cli/CliRun.h"
#include "platform/ByteOrder.h"
#include "support/DiscBuilder.h"
#include "support/TempDir.h"
#include "support/TimBuilder.h"

namespace pixalto {
namespace {

using testing::MakeTim;
using testing::PatternTim;
using testing::ReadAll;
using testing::RunCli;
using Bytes = std::vector<std::uint8_t>;

// Applies a PPF 3.0 patch as the format's developer documentation describes
// it (PPF3.txt of the PPF 3.0 distribution): "PPF30", encoding 2, a 50-byte
// description, image type, block check and undo flags and a spare byte;
// with the block check the image's 1,024 bytes from 0x9320 follow and must
// match; then records of an 8-byte little-endian offset, a count byte, the
// new bytes and (with undo data) the old ones. undo writes the old bytes.
// False when the patch is not one or the check block doesn't match.
bool ApplyPpf(const Bytes& patch, Bytes& image, bool undo) {
    const std::string magic(patch.begin(), patch.begin() + 5);
    if (patch.size() < 60 || magic != "PPF30" || patch[5] != 2) {
        return false;
    }
    const bool check = patch[57] == 1;
    const bool hasUndo = patch[58] == 1;
    std::size_t at = 60;
    if (check) {
        if (image.size() < 0x9320 + 1024 ||
            !std::equal(patch.begin() + 60, patch.begin() + 1084, image.begin() + 0x9320)) {
            return false;
        }
        at = 1084;
    }
    if (undo && !hasUndo) {
        return false;
    }
    while (at < patch.size()) {
        const std::uint64_t offset = ReadU64LE(patch.data() + at);
        const std::size_t count = patch[at + 8];
        const std::size_t data = at + 9 + (undo ? count : 0);
        if (image.size() < offset + count) {
            image.resize(offset + count);
        }
        std::copy_n(patch.begin() + static_cast<std::ptrdiff_t>(data), count,
                    image.begin() + static_cast<std::ptrdiff_t>(offset));
        at += 9 + count * (hasUndo ? 2 : 1);
    }
    return true;
}

// IPS: "PATCH", records of a 3-byte big-endian offset, a 2-byte count and
// the bytes (a count of 0 is a run: 2-byte length and the byte), "EOF".
bool ApplyIps(const Bytes& patch, Bytes& image) {
    if (patch.size() < 8 || std::string(patch.begin(), patch.begin() + 5) != "PATCH") {
        return false;
    }
    for (std::size_t at = 5; at + 3 <= patch.size();) {
        if (std::string(patch.begin() + static_cast<std::ptrdiff_t>(at),
                        patch.begin() + static_cast<std::ptrdiff_t>(at + 3)) == "EOF") {
            return at + 3 == patch.size();
        }
        const std::size_t offset = patch[at] << 16 | patch[at + 1] << 8 | patch[at + 2];
        std::size_t count = patch[at + 3] << 8 | patch[at + 4];
        Bytes bytes;
        if (count == 0) {
            count = patch[at + 5] << 8 | patch[at + 6];
            bytes.assign(count, patch[at + 7]);
            at += 8;
        } else {
            bytes.assign(patch.begin() + static_cast<std::ptrdiff_t>(at + 5),
                         patch.begin() + static_cast<std::ptrdiff_t>(at + 5 + count));
            at += 5 + count;
        }
        if (image.size() < offset + count) {
            image.resize(offset + count);
        }
        std::copy(bytes.begin(), bytes.end(), image.begin() + static_cast<std::ptrdiff_t>(offset));
    }
    return false;
}

enum class Kind { Plain, Mode2, Headerless };

// A MODE2/2352 image of 24 data sectors with Form 2 sectors between some,
// the same without sync and headers (MODE2/2336, known by the volume
// descriptor in its sector 16), or the same data as a plain file, with three
// TIMs: one inside a sector, one across two sector boundaries, one near the
// end. The check block of a PPF patch (sector 16) holds none of them.
struct PatchImage {
    testing::TempDir dir;
    testing::DiscContents desc;
    testing::DiscContents edited;  // desc with the edits, as insertion leaves the data
    const std::vector<std::size_t> at = {300, 1900, 22 * 2048 + 100};
    const std::vector<Bytes> tims = {MakeTim(PatternTim(4, 16, 8)), MakeTim(PatternTim(16, 40, 20)),
                                     MakeTim(PatternTim(8, 16, 4))};
    testing::BuiltDisc built;
    Kind kind;
    bool disc;
    std::string image;
    Bytes original;

    explicit PatchImage(Kind imageKind) : kind(imageKind), disc(imageKind != Kind::Plain) {
        desc.data = Bytes(24 * 2048, 0xA5);
        for (std::size_t i = 0; i < tims.size(); ++i) {
            testing::PlaceBytes(desc.data, at[i], tims[i]);
        }
        // Data sector 13 is file sector 16, after the three gaps.
        testing::PlaceBytes(desc.data, 13 * 2048, {0x01, 'C', 'D', '0', '0', '1'});
        desc.gapsBefore = {1, 2, 2};
        edited = desc;
        built = Build(desc);
        original = disc ? built.image : desc.data;
        image = dir.Write("GAME.BIN", original);
        EXPECT_EQ(RunCli({"extract", image, "1-"}).exitCode, 0);
    }
    testing::BuiltDisc Build(const testing::DiscContents& contents) const {
        const testing::BuiltDisc raw = testing::MakeDisc(contents);
        return kind == Kind::Headerless ? testing::WithoutHeaders(raw) : raw;
    }
    std::uint64_t Sector(std::size_t tim, std::size_t byte) const {
        return built.FileOffsetOf(at[tim] + byte) / built.sectorSize;
    }
    // Writes TIM i edited (its last byte flipped) and, when grow, longer.
    void Edit(std::size_t i, std::size_t grow = 0) {
        Bytes edit = tims[i];
        edit.back() ^= 0xFF;
        edit.resize(edit.size() + grow, 0x55);
        dir.Write(std::to_string(i + 1) + ".tim", edit);
        testing::PlaceBytes(edited.data, at[i], edit);
    }
    std::string List() const { return dir.File("timextracts.txt"); }
};

struct timespec ModifiedAt(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(stat(path.c_str(), &info), 0);
    return info.st_mtim;
}

// A dry run reports each record (size, sectors, damage, whether it would be
// written) and leaves every byte and the timestamp of the image as they were.
TEST(InsertPreview, DryRunReportsEachRecordAndWritesNothing) {
    for (const Kind kind : {Kind::Mode2, Kind::Headerless}) {
        SCOPED_TRACE(kind == Kind::Mode2 ? "MODE2/2352" : "MODE2/2336");
        PatchImage disc(kind);
        disc.Edit(0);
        disc.Edit(1, 6);
        disc.Edit(2);
        // A byte of TIM 3's sector outside the TIM itself goes bad.
        Bytes damaged = disc.original;
        damaged[disc.built.FileOffsetOf(22 * 2048 + 2000)] ^= 1;
        disc.dir.Write("GAME.BIN", damaged);
        const struct timespec before = ModifiedAt(disc.image);
        const auto s = [&](std::size_t tim, std::size_t byte) {
            return std::to_string(disc.Sector(tim, byte));
        };
        const std::string span2 = s(1, 0) + "-" + s(1, disc.tims[1].size() + 5);
        const std::string header = "File #\tSize\tSectors\tDamaged\tResult\n";
        struct Case {
            std::vector<std::string> options;
            std::string rows;
            int exitCode;
        };
        for (const Case& c : {
                 Case{{},
                      "1\tsame\t" + s(0, 0) + "\t0\twould be written\n2\t6 bytes bigger\t" + span2 +
                          "\t0\tnot written: its size changed (--yes writes it)\n3\tsame\t" +
                          s(2, 0) + "\t1\tnot written: Couldn't insert TIM #3. Sector " + s(2, 0) +
                          " at byte " + std::to_string(disc.Sector(2, 0) * disc.built.sectorSize) +
                          " is already damaged: its EDC and ECC don't match its bytes.\n"
                          "1 of 3 TIMs would be written.\n",
                      1},
                 Case{{"--yes", "--rebuild-damaged"},
                      "1\tsame\t" + s(0, 0) + "\t0\twould be written\n2\t6 bytes bigger\t" + span2 +
                          "\t0\twould be written\n3\tsame\t" + s(2, 0) +
                          "\t1\twould be written\n3 of 3 TIMs would be written.\n",
                      0},
             }) {
            std::vector<std::string> args = {"insert", disc.List(), "--dry-run"};
            args.insert(args.end(), c.options.begin(), c.options.end());
            auto run = RunCli(args);
            EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
            EXPECT_EQ(run.out, header + c.rows);
            EXPECT_EQ(run.err, "");  // the rows say what each answer did
            EXPECT_EQ(ReadAll(disc.image), damaged);
            const struct timespec after = ModifiedAt(disc.image);
            EXPECT_EQ(after.tv_sec, before.tv_sec);
            EXPECT_EQ(after.tv_nsec, before.tv_nsec);
        }
    }
}

// A patch holds exactly what insertion changes: applied to a copy of the
// untouched image it gives the image a direct insertion makes, and its undo
// data gives the original back.
TEST(InsertPatch, AppliesAsInsertionDoesAndUndoes) {
    struct Case {
        Kind kind;
        std::string patch;
    };
    for (const Case& c :
         {Case{Kind::Mode2, "fix.ppf"}, Case{Kind::Plain, "fix.ppf"}, Case{Kind::Mode2, "fix.ips"},
          Case{Kind::Plain, "FIX.IPS"}, Case{Kind::Headerless, "fix.ppf"}}) {
        SCOPED_TRACE(c.patch + " kind " + std::to_string(static_cast<int>(c.kind)));
        PatchImage image(c.kind);
        image.Edit(0);
        image.Edit(1);
        const std::string patchPath = image.dir.File(c.patch);
        auto run = RunCli({"insert", image.List(), "--patch", patchPath});
        ASSERT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(ReadAll(image.image), image.original);

        ASSERT_EQ(RunCli({"insert", image.List()}).exitCode, 0);
        const Bytes inserted = ReadAll(image.image);
        ASSERT_NE(inserted, image.original);
        // The edited data with every sector's codes as the disc would have
        // them, and the image check agrees.
        EXPECT_EQ(inserted, image.disc ? image.Build(image.edited).image : image.edited.data);
        if (image.disc) {
            auto check = RunCli({"check-disc", image.image});
            EXPECT_EQ(check.exitCode, 0) << check.out;
        }
        std::size_t changed = 0;
        for (std::size_t i = 0; i < inserted.size(); ++i) {
            changed += inserted[i] != image.original[i] ? 1 : 0;
        }
        EXPECT_EQ(run.out, "Patch written to " + patchPath + ": " + std::to_string(changed) +
                               " bytes of the image change.\n");

        const Bytes patch = ReadAll(patchPath);
        Bytes copy = image.original;
        const bool ips = c.patch.find("ppf") == std::string::npos;
        ASSERT_TRUE(ips ? ApplyIps(patch, copy) : ApplyPpf(patch, copy, false));
        EXPECT_EQ(copy, inserted);
        if (!ips) {
            EXPECT_EQ(std::string(patch.begin() + 6, patch.begin() + 56),
                      "Made by Pixalto from timextracts.txt" + std::string(14, ' '));
            EXPECT_EQ(patch[57], 1) << "the check block is in the patch";
            ASSERT_TRUE(ApplyPpf(patch, copy, true));
            EXPECT_EQ(copy, image.original);
        }
    }
}

// IPS offsets have 3 bytes: a change past 16 MiB is refused, and no patch
// is left behind; an unknown patch kind is a usage error.
TEST(InsertPatch, RefusesWhatThePatchCantHold) {
    testing::TempDir dir;
    const Bytes tim = MakeTim(PatternTim(16, 4, 2));
    const std::uint64_t at = (std::uint64_t{1} << 24) + 100;
    {
        Bytes raw(at + tim.size(), 0xA5);
        std::copy(tim.begin(), tim.end(), raw.begin() + static_cast<std::ptrdiff_t>(at));
        dir.Write("BIG.BIN", raw);
    }
    ASSERT_EQ(RunCli({"extract", dir.File("BIG.BIN"), "1"}).exitCode, 0);
    Bytes edited = tim;
    edited.back() ^= 1;
    dir.Write("1.tim", edited);
    auto run = RunCli({"insert", dir.File("timextracts.txt"), "--patch", dir.File("out.ips")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err,
              "An IPS patch reaches only the first 16 MiB of a file, but this insertion "
              "changes the byte at offset " +
                  std::to_string(at + tim.size() - 1) + ": make a PPF patch (.ppf) instead.\n");
    EXPECT_FALSE(std::filesystem::exists(dir.File("out.ips")));

    run = RunCli({"insert", dir.File("timextracts.txt"), "--patch", dir.File("out.bps")});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("--patch must name a .ppf or .ips file, not '"), std::string::npos);
}

}  // namespace
}  // namespace pixalto
