#include <gtest/gtest.h>

#include "disc/PatchFile.h"
#include "support/TempDir.h"

namespace pixalto::disc {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Pending writes merge where they meet or overlap, the later winning, and a
// patch holds only the bytes that differ from the file; an IPS record never
// starts at 0x454F46 (its offset would read as "EOF") but a byte earlier.
TEST(PatchFile, ChangesAreExactlyTheDifferingBytes) {
    testing::TempDir dir;
    const std::uint64_t eof = 0x454F46;
    Bytes original(eof + 64, 0x20);
    original[eof - 1] = 0x7A;
    File file;
    ASSERT_TRUE(file.Open(dir.Write("IMAGE.BIN", original), File::Mode::Read));

    PendingWrites pending;
    const Bytes a = {1, 2, 3, 0x20, 5};  // the fourth byte stays as it is
    const Bytes b = {9, 9};
    const Bytes c = {7, 7, 7};
    pending.Put(10, a.data(), a.size());
    pending.Put(14, b.data(), b.size());  // meets a's end: one run
    pending.Put(eof, c.data(), c.size());
    ASSERT_EQ(pending.Runs().size(), 2u);
    Bytes seen(8, 0);
    pending.Overlay(9, seen.data(), seen.size());
    EXPECT_EQ(seen, (Bytes{0, 1, 2, 3, 0x20, 9, 9, 0}));

    auto changes = ChangesOf(pending, file);
    ASSERT_TRUE(changes.ok());
    struct Expected {
        std::uint64_t offset;
        Bytes before, after;
    };
    const std::vector<Expected> expected = {
        {10, {0x20, 0x20, 0x20}, {1, 2, 3}},
        {14, {0x20, 0x20}, {9, 9}},
        {eof, {0x20, 0x20, 0x20}, {7, 7, 7}},
    };
    ASSERT_EQ(changes->size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ((*changes)[i].offset, expected[i].offset) << i;
        EXPECT_EQ((*changes)[i].before, expected[i].before) << i;
        EXPECT_EQ((*changes)[i].after, expected[i].after) << i;
    }

    auto ips = MakeIps(*changes, file);
    ASSERT_TRUE(ips.ok());
    const Bytes expectedIps = {'P',  'A',  'T',  'C', 'H',                 // magic
                               0,    0,    10,   0,   3,   1,    2, 3,     // 10: 3 bytes
                               0,    0,    14,   0,   2,   9,    9,        // 14: 2 bytes
                               0x45, 0x4F, 0x45, 0,   4,   0x7A, 7, 7, 7,  // a byte early
                               'E',  'O',  'F'};
    EXPECT_EQ(*ips, expectedIps);
}

}  // namespace
}  // namespace pixalto::disc
