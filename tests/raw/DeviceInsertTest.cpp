#include <gtest/gtest.h>

#include "raw/InsertJob.h"
#include "raw/RawFiles.h"
#include "support/TempDir.h"

namespace pixalto::raw {
namespace {

using testing::Bytes;

// stat as a disc in a drive answers it.
int StatAsBlockDevice(const char*, struct stat* info) {
    *info = {};
    info->st_mode = S_IFBLK | 0660;
    return 0;
}

// A block device (a disc in a drive) is never written into: insertion is
// refused before a byte is written, with the device named; reading it for a
// dry run (or a patch) is allowed.
TEST(DeviceInsert, RefusesToWriteIntoABlockDevice) {
    struct Case {
        bool dryRun;
        JobState outcome;
        std::vector<testing::Shown> messages;
    };
    testing::TempDir dir;
    const Bytes raw(400, 0xA5);
    const std::string rawPath = dir.Write("DISC.BIN", raw);
    dir.Write("1.tim", Bytes(16, 0x11));
    const std::string list = "DISC.BIN\r\n\r\n" + FormatListRecord({1, 100, 16});
    const std::string listPath = dir.Write("timextracts.txt", Bytes(list.begin(), list.end()));
    for (const Case& c :
         {Case{false,
               kJobStopped,
               {{rawPath + " is a device (a disc in a drive), which insertion never writes: "
                           "insert into an image of the disc instead.",
                 "Insertion Error"}}},
          Case{true, kJobFinished, {}}}) {
        testing::RecordingHost host;
        InsertOptions options;
        options.statFile = StatAsBlockDevice;
        options.dryRun = c.dryRun;
        InsertJob job(host, listPath, options);
        EXPECT_EQ(RunJob(job), c.outcome) << c.dryRun;
        EXPECT_EQ(host.messages, c.messages);
        EXPECT_EQ(testing::ReadAll(rawPath), raw);
    }
}

}  // namespace
}  // namespace pixalto::raw
