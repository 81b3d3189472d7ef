#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/File.h"
#include "support/ChildProcess.h"
#include "support/TempDir.h"

namespace pixalto {
namespace {

using testing::ReadAll;
using testing::TempDir;

TEST(File, OpenModes) {
    TempDir dir;
    std::string path = dir.File("a.bin");
    File file;
    // Not open: everything is refused.
    char c;
    EXPECT_EQ(file.Read(&c, 1), 0u);
    EXPECT_FALSE(file.Write(&c, 1));
    EXPECT_EQ(file.GetLength(), -1);
    EXPECT_EQ(file.GetPosition(), -1);
    EXPECT_TRUE(file.Close());

    EXPECT_FALSE(file.Open(path, File::Mode::Read));
    EXPECT_FALSE(file.Open(path, File::Mode::WriteInPlace)) << "write in place never creates";
    EXPECT_FALSE(std::filesystem::exists(path));

    ASSERT_TRUE(file.Open(path, File::Mode::CreateWrite));
    ASSERT_TRUE(file.Write("hello world", 11));
    EXPECT_EQ(file.GetPosition(), 11);
    EXPECT_TRUE(file.Close());

    ASSERT_TRUE(file.Open(path, File::Mode::WriteInPlace));
    EXPECT_EQ(file.GetLength(), 11) << "write in place never truncates";
    EXPECT_EQ(file.Seek(6), 6);
    ASSERT_TRUE(file.Write("W", 1));
    file.Close();
    auto bytes = ReadAll(path);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "hello World");

    ASSERT_TRUE(file.Open(path, File::Mode::CreateWrite));
    EXPECT_EQ(file.GetLength(), 0) << "create-and-write truncates";
    file.Close();

    EXPECT_FALSE(file.Open(dir.Path().string(), File::Mode::Read)) << "a folder is not a file";
}

// Opening a FIFO for reading would wait for a writer for ever, and a device
// is no image: only RAW files may come from a block device (a disc drive).
TEST(File, OpensOnlyTheKindsOfFileEachModeTakes) {
    TempDir dir;
    const std::string regular = dir.Write("disc.bin", {1});
    const std::string pipe = dir.File("pipe");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
    struct Case {
        std::string path;
        File::Mode mode;
        bool opens;
    };
    const Case cases[] = {
        {regular, File::Mode::Read, true},
        {regular, File::Mode::ReadRaw, true},
        {regular, File::Mode::WriteInPlace, true},
        {pipe, File::Mode::Read, false},
        {pipe, File::Mode::ReadRaw, false},
        {pipe, File::Mode::WriteInPlace, false},
        {"/dev/zero", File::Mode::Read, false},
        {"/dev/zero", File::Mode::ReadRaw, false},
        {dir.Path().string(), File::Mode::ReadRaw, false},
    };
    for (const Case& c : cases) {
        File file;
        EXPECT_EQ(file.Open(c.path, c.mode), c.opens) << c.path << " " << static_cast<int>(c.mode);
    }
}

// More pieces than one system call takes, empty ones among them: the file
// holds them all in order; a disk that fills up midway is reported.
TEST(File, WritesPiecesInOrder) {
    std::vector<std::vector<std::uint8_t>> storage;
    std::vector<std::uint8_t> expected;
    for (int i = 0; i < 3000; ++i) {
        storage.emplace_back(static_cast<std::size_t>(i % 7 == 0 ? 0 : i % 13 + 1),
                             static_cast<std::uint8_t>(i));
        expected.insert(expected.end(), storage.back().begin(), storage.back().end());
    }
    std::vector<std::span<const std::uint8_t>> pieces(storage.begin(), storage.end());
    TempDir dir;
    File file;
    ASSERT_TRUE(file.Open(dir.File("pieces"), File::Mode::CreateWrite));
    ASSERT_TRUE(file.WritePieces(pieces));
    file.Close();
    EXPECT_EQ(ReadAll(dir.File("pieces")), expected);

    const std::string full = testing::WithFileSizeLimit(1000, [&] {
        File limited;
        return limited.Open(dir.File("limited"), File::Mode::CreateWrite) &&
                       !limited.WritePieces(pieces)
                   ? "refused"
                   : "written";
    });
    EXPECT_EQ(full, "refused");
}

TEST(File, ReadReturnsWhatIsThereAndSeeksAreAbsolute) {
    TempDir dir;
    std::string path = dir.Write("data", {1, 2, 3, 4, 5});
    File file;
    ASSERT_TRUE(file.Open(path, File::Mode::Read));
    std::uint8_t buffer[8] = {};
    EXPECT_EQ(file.Read(buffer, 3), 3u);
    EXPECT_EQ(buffer[2], 3);
    EXPECT_EQ(file.Read(buffer, 8), 2u) << "short at the end";
    EXPECT_EQ(file.Read(buffer, 8), 0u);
    file.SeekToBegin();
    EXPECT_EQ(file.GetPosition(), 0);
    EXPECT_EQ(file.Seek(-2, File::SeekFrom::End), 3);
    EXPECT_EQ(file.Read(buffer, 1), 1u);
    EXPECT_EQ(buffer[0], 4);
    EXPECT_FALSE(file.Write(buffer, 1)) << "read-only file";
    EXPECT_FALSE(file.Seek(-1, File::SeekFrom::Begin));
}

TEST(File, PositionsBeyondFourGigabytes) {
    TempDir dir;
    std::string path = dir.File("sparse");
    const std::int64_t far = (std::int64_t{5} << 30) + 3;
    File file;
    ASSERT_TRUE(file.Open(path, File::Mode::CreateWrite));
    ASSERT_EQ(file.Seek(far), far);
    ASSERT_TRUE(file.Write("x", 1));
    EXPECT_EQ(file.GetPosition(), far + 1);
    EXPECT_EQ(file.GetLength(), far + 1);
    file.Close();
    ASSERT_TRUE(file.Open(path, File::Mode::Read));
    file.Seek(far);
    char c = 0;
    EXPECT_EQ(file.Read(&c, 1), 1u);
    EXPECT_EQ(c, 'x');
}

TEST(File, Names) {
    struct Case {
        const char *path, *name, *title, *folder;
        bool tim;  // ends in ".tim", whatever the case
    };
    const Case cases[] = {
        {"/a/b/pic.tim", "pic.tim", "pic", "/a/b/", true},
        {"/a/b/pic.v2.bmp", "pic.v2.bmp", "pic.v2", "/a/b/", false},
        {"noext", "noext", "noext", "", false},
        {"/a/.hidden", ".hidden", ".hidden", "/a/", false},
        {"/A/PIC.Tim", "PIC.Tim", "PIC", "/A/", true},
        {"/x.tim/.tim", ".tim", ".tim", "/x.tim/", true},
        {"/x.tim/pic.tim.bak", "pic.tim.bak", "pic.tim", "/x.tim/", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FileNameOf(c.path), c.name);
        EXPECT_EQ(FileTitleOf(c.path), c.title);
        EXPECT_EQ(FolderOf(c.path), c.folder);
        EXPECT_EQ(HasExtension(c.path, ".tim"), c.tim) << c.path;
    }
    TempDir dir;
    std::string path = dir.Write("x.tim", {});
    File file;
    ASSERT_TRUE(file.Open(path, File::Mode::Read));
    EXPECT_EQ(file.GetFilePath(), path);
    EXPECT_EQ(file.GetFileName(), "x.tim");
    EXPECT_EQ(file.GetFileTitle(), "x");
}

}  // namespace
}  // namespace pixalto
