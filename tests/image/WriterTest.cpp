#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "image/Image.h"
#include "support/ChildProcess.h"
#include "support/TempDir.h"
#include "support/TimBuilder.h"

namespace pixalto {
namespace {

using testing::MakeTim;
using testing::PatternTim;
using testing::ReadAll;
using testing::TempDir;
using testing::TimSpec;

ImageState LoadTimFile(const std::string& path, std::int64_t offset = 0) {
    File file;
    EXPECT_TRUE(file.Open(path, File::Mode::Read));
    file.Seek(offset);
    ImageState state;
    EXPECT_EQ(LoadImage(state, file, true), ErrorCode::None);
    return state;
}

std::vector<std::string> FolderContents(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST(Writer, SavesATimAsItWasRead) {
    TempDir dir;
    for (std::uint32_t bpp : {4u, 8u, 16u, 24u}) {
        auto tim = MakeTim(PatternTim(bpp, 12, 5, 2, bpp));
        // Trailing bytes after the TIM (as in a RAW file) are not saved.
        std::vector<std::uint8_t> raw(40, 0xAB);
        raw.insert(raw.end(), tim.begin(), tim.end());
        raw.insert(raw.end(), 30, 0xCD);
        ImageState state = LoadTimFile(dir.Write("disc.bin", raw), 40);
        ASSERT_EQ(WriteImageFile(state, dir.File("out.tim"), true), ErrorCode::None);
        EXPECT_EQ(ReadAll(dir.File("out.tim")), tim) << bpp;
    }
}

TEST(Writer, WritesNoClutBlockForDirectColourWhateverItsFieldsHold) {
    TempDir dir;
    auto tim = MakeTim(PatternTim(16, 4, 2));
    ImageState state = LoadTimFile(dir.Write("in.tim", tim));
    state.clutBlockLength = 44;
    state.clutHeight = 1;
    state.clutData.assign(32, 1);
    ASSERT_EQ(WriteImageFile(state, dir.File("out.tim"), true), ErrorCode::None);
    EXPECT_EQ(ReadAll(dir.File("out.tim")), tim);
}

TEST(Writer, WritesZerosForBytesAHeaderPromisesButABufferLacks) {
    TempDir dir;
    ImageState state = LoadTimFile(dir.Write("in.tim", MakeTim(PatternTim(16, 2, 1))));
    state.imageData.resize(2);
    ASSERT_EQ(WriteImageFile(state, dir.File("out.tim"), true), ErrorCode::None);
    auto out = ReadAll(dir.File("out.tim"));
    ASSERT_EQ(out.size(), 8u + 12 + 4);
    EXPECT_EQ(out[22], 0);
    EXPECT_EQ(out[23], 0);
}

TEST(Writer, WritesTheBmpAndItsSidecarAndReplacesBoth) {
    TempDir dir;
    dir.Write("face.bmp", {1, 2, 3});
    dir.Write("face.tmext", std::vector<std::uint8_t>(2000, 7));
    ImageState state = LoadTimFile(dir.Write("face.tim", MakeTim(PatternTim(16, 3, 2))));
    ASSERT_EQ(ConvertTimToBmp(state, 0), ErrorCode::None);
    ASSERT_EQ(WriteImageFile(state, dir.File("face.bmp"), false), ErrorCode::None);
    EXPECT_EQ(ReadAll(dir.File("face.tmext")), state.sidecarData);
    EXPECT_EQ(ReadAll(dir.File("face.tmext")).size(), 6u);
    auto bmp = ReadAll(dir.File("face.bmp"));
    ASSERT_EQ(bmp.size(), 54u + state.bmpPixelSize);
    EXPECT_TRUE(std::equal(state.bmpPixels.begin(), state.bmpPixels.end(), bmp.begin() + 54));
    EXPECT_EQ(FolderContents(dir.Path()),
              (std::vector<std::string>{"face.bmp", "face.tim", "face.tmext"}))
        << "no temporary files are left";
}

// A disk that fills up while the files are written, and targets that are
// not regular files: every write fails, and every file that was there stays
// as it was, with no temporary file left beside it.
TEST(Writer, FailuresLeaveNoNewOrChangedFile) {
    TempDir dir;
    ImageState state = LoadTimFile(dir.Write("face.tim", MakeTim(PatternTim(8, 4, 2, 2))));
    ASSERT_EQ(ConvertTimToBmp(state, 1), ErrorCode::None);
    const std::vector<std::uint8_t> oldBmp = {1, 2, 3}, oldSidecar = {4, 5};
    dir.Write("face.bmp", oldBmp);
    dir.Write("face.tmext", oldSidecar);
    dir.Write("old.tim", {9});
    ::mkfifo(dir.File("pipe.tim").c_str(), 0644);
    std::filesystem::create_symlink("/dev/null", dir.Path() / "null.bmp");
    std::filesystem::create_directory(dir.Path() / "folder.tmext");
    const auto before = FolderContents(dir.Path());

    // The sidecar (524 bytes) fits under 600 bytes a file, the BMP doesn't.
    const std::string results = testing::WithFileSizeLimit(600, [&] {
        std::string out;
        out += !WriteImageFile(state, dir.File("face.bmp"), false) ? '1' : '0';
        out += !WriteImageFile(state, dir.File("old.tim"), true) ? '1' : '0';
        out += !WriteImageFile(state, dir.File("new.tim"), true) ? '1' : '0';
        return out;
    });
    EXPECT_EQ(results, "000");
    EXPECT_NE(WriteImageFile(state, dir.File("pipe.tim"), true), ErrorCode::None);
    EXPECT_NE(WriteImageFile(state, dir.File("null.bmp"), false), ErrorCode::None);
    EXPECT_NE(WriteImageFile(state, dir.File("folder.bmp"), false), ErrorCode::None) << "sidecar is a folder";
    EXPECT_NE(WriteImageFile(state, dir.File("face.tmext"), false), ErrorCode::None) << "its own sidecar's name";

    EXPECT_EQ(FolderContents(dir.Path()), before);
    EXPECT_EQ(ReadAll(dir.File("face.bmp")), oldBmp);
    EXPECT_EQ(ReadAll(dir.File("face.tmext")), oldSidecar);
    EXPECT_EQ(ReadAll(dir.File("old.tim")), std::vector<std::uint8_t>{9});
    EXPECT_TRUE(std::filesystem::is_fifo(dir.Path() / "pipe.tim"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.Path() / "null.bmp"));
}

TEST(Writer, ABmpThatCantTakeItsPlaceLeavesTheOldSidecar) {
    TempDir dir;
    ImageState state = LoadTimFile(dir.Write("face.tim", MakeTim(PatternTim(4, 4, 2))));
    ASSERT_EQ(ConvertTimToBmp(state, 0), ErrorCode::None);
    std::filesystem::create_directory(dir.Path() / "face.bmp");
    dir.Write("face.bmp/keep", {1});
    dir.Write("face.tmext", {4, 5});
    EXPECT_NE(WriteImageFile(state, dir.File("face.bmp"), false), ErrorCode::None);
    EXPECT_EQ(ReadAll(dir.File("face.tmext")), (std::vector<std::uint8_t>{4, 5}));
    EXPECT_EQ(FolderContents(dir.Path()),
              (std::vector<std::string>{"face.bmp", "face.tim", "face.tmext"}));

    // With no old sidecar, the new one doesn't stay behind either.
    std::filesystem::remove(dir.File("face.tmext"));
    EXPECT_NE(WriteImageFile(state, dir.File("face.bmp"), false), ErrorCode::None);
    EXPECT_EQ(FolderContents(dir.Path()), (std::vector<std::string>{"face.bmp", "face.tim"}));
}

// The system's process folder accepts no new files, not even from root.
TEST(Writer, FailsWhereNoFileCanBeCreated) {
    TempDir dir;
    ImageState state = LoadTimFile(dir.Write("face.tim", MakeTim(PatternTim(8, 2, 2))));
    EXPECT_NE(WriteImageFile(state, "/proc/pixalto-writer-test.tim", true), ErrorCode::None);
    ASSERT_EQ(ConvertTimToBmp(state, 0), ErrorCode::None);
    EXPECT_NE(WriteImageFile(state, "/proc/pixalto-writer-test.bmp", false), ErrorCode::None);
    EXPECT_FALSE(std::filesystem::exists("/proc/pixalto-writer-test.tmext"));
}

TEST(Writer, FailsForAFolderThatDoesntExist) {
    TempDir dir;
    ImageState state = LoadTimFile(dir.Write("face.tim", MakeTim(PatternTim(24, 2, 2))));
    EXPECT_NE(WriteImageFile(state, dir.File("missing/out.tim"), true), ErrorCode::None);
    ASSERT_EQ(ConvertTimToBmp(state, 0), ErrorCode::None);
    EXPECT_NE(WriteImageFile(state, dir.File("missing/out.bmp"), false), ErrorCode::None);
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "missing"));
}

}  // namespace
}  // namespace pixalto
