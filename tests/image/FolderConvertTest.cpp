#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <map>
#include <set>

#include "image/FolderConvert.h"
#include "image/Image.h"
#include "support/ChildProcess.h"
#include "support/TempDir.h"
#include "support/TimBuilder.h"

namespace pixalto {
namespace {

namespace fs = std::filesystem;
using testing::MakeTim;
using testing::PatternTim;
using testing::ReadAll;
using testing::TempDir;
using testing::TimSpec;
using Bytes = std::vector<std::uint8_t>;

struct Shown {
    std::string text, title;
    bool operator==(const Shown&) const = default;
};

class RecordingSink : public MessageSink {
  public:
    void Show(const std::string& text, const std::string& title) override {
        shown.push_back({text, title});
    }
    void Progress(std::size_t done, std::size_t total) override {
        progress.push_back(done);
        totals.insert(total);
    }
    // A batch's progress only grows and ends with every file of it.
    void ExpectProgressTo(std::size_t files) const {
        EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()) &&
                    std::adjacent_find(progress.begin(), progress.end()) == progress.end());
        EXPECT_EQ(progress.empty() ? 0 : progress.back(), files);
        EXPECT_EQ(totals, std::set<std::size_t>{files});
    }
    std::vector<Shown> shown;
    std::vector<std::size_t> progress;
    std::set<std::size_t> totals;
};

class CountingOrigins : public OriginsRequest {
  public:
    std::optional<Origins> AskOrigins(bool) override {
        ++asked;
        return Origins{1, 2, 3, 4};
    }
    int asked = 0;
};

// The TIM a round trip through BMP gives back with set 0 as palette: that
// set loses its STP bits, nothing else changes.
Bytes BackFromBmp(TimSpec desc) {
    const std::size_t entries = desc.mode == 8 ? 16 : 256;
    for (std::size_t i = 0; i < entries && i < desc.clut.size(); ++i) {
        desc.clut[i] &= 0x7FFF;
    }
    return MakeTim(desc);
}

TEST(FolderConvert, NamesAndSeparators) {
    EXPECT_EQ(ConvertedName("face.tim", true), "face.bmp");
    EXPECT_EQ(ConvertedName("b.TIM", true), "b.bmp");
    EXPECT_EQ(ConvertedName("x.tim.BMP", false), "x.tim.tim");
    EXPECT_EQ(FolderWithSeparator("/a/b"), "/a/b/");
    EXPECT_EQ(FolderWithSeparator("/a/b/"), "/a/b/");
    EXPECT_EQ(FolderWithSeparator("/"), "/");

    TempDir dir;
    for (const char* name : {"a.tim", "b.TIM", "c.Tim", "d.bmp", "e.tim.txt", "tim", ".tim"}) {
        dir.Write(name, {1});
    }
    fs::create_directory(dir.Path() / "folder.tim");
    ::mkfifo(dir.File("pipe.tim").c_str(), 0644);
    const ImageFileSearch tims = FindImageFiles(dir.Path().string(), true);
    EXPECT_EQ(tims.names, (std::vector<std::string>{"a.tim", "b.TIM", "c.Tim", "pipe.tim"}));
    EXPECT_FALSE(tims.failure);
    EXPECT_EQ(FindImageFiles(dir.Path().string() + "/", false).names,
              std::vector<std::string>{"d.bmp"});
    EXPECT_EQ(NoFilesFoundText(FindImageFiles(dir.File("folder.tim"), false)),
              "No Files were found!");

    // A folder that can't be read says why.
    const struct {
        std::string folder, failure;
    } unreadable[] = {
        {dir.File("missing"), dir.File("missing") + ": No such file or directory"},
        {dir.File("d.bmp"), dir.File("d.bmp") + ": Not a directory"},
    };
    for (const auto& c : unreadable) {
        const ImageFileSearch search = FindImageFiles(c.folder, true);
        EXPECT_TRUE(search.names.empty());
        EXPECT_EQ(NoFilesFoundText(search), "No Files were found!\n" + c.failure);
    }
}

// TIM to BMP and back again over a folder of mixed depths and sizes, large
// before small so that buffers kept from one file to the next must not leak
// into it: every TIM comes back byte for byte (but for the palette set's STP
// bits), and no origin is asked for.
TEST(FolderConvert, RoundTripsAFolderOfMixedImages) {
    struct Case {
        const char* name;
        TimSpec desc;
    };
    std::vector<Case> cases = {
        {"a.tim", PatternTim(24, 64, 40)},       {"b.TIM", PatternTim(4, 8, 2, 3, 5)},
        {"c.tim", PatternTim(8, 130, 60, 2, 9)}, {"d.tim", PatternTim(16, 3, 3)},
        {"e.tim", PatternTim(8, 6, 1, 1, 2)},    {"f.tim", PatternTim(4, 4, 3, 1, 7)},
    };
    for (Case& c : cases) {
        c.desc.imageX = 320;
        c.desc.clutY = 480;
        for (std::size_t i = 0; i < c.desc.clut.size(); i += 3) {
            c.desc.clut[i] |= 0x8000;
        }
    }
    TempDir dir;
    for (const Case& c : cases) {
        dir.Write(c.name, MakeTim(c.desc));
    }
    ImageState state;
    CountingOrigins origins;
    RecordingSink toBmp;
    auto result =
        ConvertFolder(dir.Path().string(), FindImageFiles(dir.Path().string(), true).names, true,
                      state, origins, toBmp);
    EXPECT_EQ(result.converted, cases.size());
    EXPECT_EQ(toBmp.shown, (std::vector<Shown>{{"File(s) converted!", "Mass Conversion"}}));
    for (const Case& c : cases) {
        fs::remove(dir.File(c.name));
    }
    RecordingSink toTim;
    result = ConvertFolder(dir.Path().string(), FindImageFiles(dir.Path().string(), false).names,
                           false, state, origins, toTim);
    EXPECT_EQ(result.converted, cases.size());
    EXPECT_EQ(toTim.shown, toBmp.shown);
    EXPECT_EQ(origins.asked, 0);
    for (const Case& c : cases) {
        EXPECT_EQ(ReadAll(dir.File(ConvertedName(ConvertedName(c.name, true), false))),
                  BackFromBmp(c.desc))
            << c.name;
    }
    EXPECT_FALSE(state.IsLoaded());
    EXPECT_TRUE(state.bmpPixels.empty() && state.sidecarData.empty() && state.sidecarSize == 0);
}

// Every kind of failure shows its one message with its title, naming the
// file, and the batch goes on to the next file; the closing message says how
// many of how many files were converted.
TEST(FolderConvert, EachFailureIsShownAndTheBatchGoesOn) {
    TempDir dir;
    const Bytes goodTim = MakeTim(PatternTim(16, 4, 2));
    dir.Write("1-good.tim", goodTim);
    dir.Write("2-fake.tim", {'B', 'M', 0, 0});
    ::mkfifo(dir.File("3-pipe.tim").c_str(), 0644);
    dir.Write("4-blocked.tim", goodTim);
    fs::create_directory(dir.Path() / "4-blocked.bmp");  // the output can't be written
    dir.Write("5-good.tim", goodTim);

    ImageState state;
    CountingOrigins origins;
    RecordingSink sink;
    auto result =
        ConvertFolder(dir.Path().string() + "/", FindImageFiles(dir.Path().string(), true).names,
                      true, state, origins, sink);
    EXPECT_EQ(result.converted, 2u);
    EXPECT_EQ(result.failed, 3u);
    EXPECT_EQ(sink.shown,
              (std::vector<Shown>{
                  {"TIM Header not found!\n" + dir.File("2-fake.tim"), "TIM Error"},
                  {"Couldn't open file!\n" + dir.File("3-pipe.tim") + ": not a regular file",
                   "File Error!"},
                  {"Failed on saving BMP File!\n" + dir.File("4-blocked.tim") + "\n" +
                       dir.File("4-blocked.bmp") + ": Is a directory",
                   "Error"},
                  {"2 of 5 file(s) converted; 3 failed!", "Mass Conversion"},
              }));
    EXPECT_TRUE(fs::is_regular_file(dir.Path() / "5-good.bmp"));
    sink.ExpectProgressTo(5);

    // BMPs: one without a sidecar asks for the origins once; a fake one and
    // one that can't be written are reported with the BMP titles.
    fs::remove(dir.File("1-good.tmext"));
    dir.Write("2-fake.bmp", {'T', 'I', 'M'});
    fs::remove(dir.File("5-good.tim"));
    fs::create_directory(dir.Path() / "5-good.tim");
    RecordingSink back;
    result = ConvertFolder(dir.Path().string(), FindImageFiles(dir.Path().string(), false).names,
                           false, state, origins, back);
    EXPECT_EQ(result.converted, 1u);
    EXPECT_EQ(origins.asked, 1);
    back.ExpectProgressTo(3);
    EXPECT_EQ(back.shown, (std::vector<Shown>{
                              {"BMP Header not found!\n" + dir.File("2-fake.bmp"), "BMP Error"},
                              {"Failed on saving TIM File!\n" + dir.File("5-good.bmp") + "\n" +
                                   dir.File("5-good.tim") + ": Is a directory",
                               "Error"},
                              {"1 of 3 file(s) converted; 2 failed!", "Mass Conversion"},
                          }));
    ImageState reloaded;
    File file;
    ASSERT_TRUE(file.Open(dir.File("1-good.tim"), File::Mode::Read));
    ASSERT_EQ(LoadImage(reloaded, file, true), ErrorCode::None);
    EXPECT_EQ(reloaded.imageOrgX, 1u);
    EXPECT_EQ(reloaded.imageOrgY, 2u);
}

// One record taken through images of every depth, small before large and
// large before small, as a folder conversion's workers take theirs: its
// pixel buffers are allocated by the first image and serve every later one,
// and no byte of an image before shows in the next (each step gives what a
// fresh record gives), TIM to BMP and back.
TEST(FolderConvert, ARecordKeepsItsBuffersAndNothingOfTheImageBefore) {
    const TimSpec tims[] = {PatternTim(4, 8, 2, 1, 5), PatternTim(24, 640, 480, 1, 3),
                            PatternTim(8, 130, 61, 2, 9), PatternTim(16, 300, 200, 1, 7),
                            PatternTim(24, 6, 3, 1, 11)};
    TempDir dir;
    ImageState reused;
    ImageState reusedBack;
    CountingOrigins origins;
    std::vector<const std::uint8_t*> first;
    for (const TimSpec& tim : tims) {
        const std::string timPath = dir.Write("in.tim", MakeTim(tim));
        ImageState fresh;
        ImageState freshBack;
        const auto step = [&](ImageState& state, const std::string& path, bool isTim) {
            File file;
            ASSERT_TRUE(file.Open(path, File::Mode::Read));
            ASSERT_EQ(LoadImage(state, file, isTim), ErrorCode::None);
            ASSERT_EQ(ConvertImage(state, isTim, 0, origins), ErrorCode::None);
        };
        step(fresh, timPath, true);
        step(reused, timPath, true);
        ASSERT_EQ(WriteImageFile(fresh, dir.File("in.bmp"), false), ErrorCode::None);
        step(freshBack, dir.File("in.bmp"), false);
        step(reusedBack, dir.File("in.bmp"), false);
        EXPECT_EQ(reused.imageData, fresh.imageData);
        EXPECT_EQ(reused.bmpPixels, fresh.bmpPixels);
        EXPECT_EQ(reusedBack.bmpPixels, freshBack.bmpPixels);
        EXPECT_EQ(reusedBack.imageData, freshBack.imageData);
        const std::vector<const std::uint8_t*> buffers = {
            reused.imageData.data(), reused.bmpPixels.data(), reusedBack.bmpPixels.data(),
            reusedBack.imageData.data()};
        if (first.empty()) {
            first = buffers;
        }
        EXPECT_EQ(buffers, first) << tim.imageWidth << " x " << tim.imageHeight;
    }
    EXPECT_EQ(origins.asked, 0);
}

// The workers write each file to its temporaries before the calling thread
// announces it; the files take their places a group at a time, in order, a
// group being a few megabytes at most (the first TIMs take a megabyte each).
// A stop by a signal while later files are written ahead removes every
// temporary and leaves each output whole or not there at all, every file of
// the groups before in place.
TEST(FolderConvert, FilesAreWrittenAheadAndAStopLeavesOnlyWholeFiles) {
    class StoppingSink : public RecordingSink {
      public:
        void Converting(const std::string& path) override {
            if (temporariesAtFirst < 0) {
                temporariesAtFirst = static_cast<int>(std::count_if(
                    fs::directory_iterator(FolderOf(path)), fs::directory_iterator(),
                    [](const auto& entry) {
                        return entry.path().filename().string().rfind(".pixalto-", 0) == 0;
                    }));
            }
            if (FileNameOf(path) == stopAt) {
                std::raise(SIGTERM);
            }
        }
        std::string stopAt;
        int temporariesAtFirst = -1;
    };
    TempDir dir;
    std::vector<std::string> names;
    for (std::uint32_t i = 0; i < 160; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "f%03u.tim", i);
        names.push_back(name);
        dir.Write(name, MakeTim(i < 10 ? PatternTim(16, 512, 1024, 1, i)
                                       : PatternTim(4 << (i % 3), 8 + i % 24, 2, 1, i)));
    }
    ImageState state;
    CountingOrigins origins;
    StoppingSink whole;
    ConvertFolder(dir.Path().string(), names, true, state, origins, whole);
    EXPECT_GE(whole.temporariesAtFirst, 2);  // the first BMP and its sidecar at least
    EXPECT_EQ(whole.shown, (std::vector<Shown>{{"File(s) converted!", "Mass Conversion"}}));
    std::map<std::string, Bytes> outputs;
    for (const auto& entry : fs::directory_iterator(dir.Path())) {
        if (entry.path().extension() != ".tim") {
            outputs[entry.path().filename().string()] = ReadAll(entry.path().string());
            fs::remove(entry.path());
        }
    }
    ASSERT_EQ(outputs.size(), 2 * names.size());

    const struct {
        const char* stopAt;
        std::size_t inPlace;  // at least the outputs of the files before this one
    } stops[] = {{"f000.tim", 0}, {"f012.tim", 4}, {"f150.tim", 128}};
    for (const auto& [stopAt, inPlace] : stops) {
        StoppingSink stopping;
        stopping.stopAt = stopAt;
        EXPECT_EQ(testing::SignalThatEnds([&] {
                      ConvertFolder(dir.Path().string(), names, true, state, origins, stopping);
                  }),
                  SIGTERM);
        for (std::size_t i = 0; i < inPlace; ++i) {
            EXPECT_TRUE(fs::exists(dir.File(ConvertedName(names[i], true)))) << stopAt << ": " << i;
        }
        for (const auto& entry : fs::directory_iterator(dir.Path())) {
            const std::string name = entry.path().filename().string();
            if (entry.path().extension() != ".tim") {
                ASSERT_TRUE(outputs.count(name)) << stopAt << ": " << name;
                EXPECT_LT(FileTitleOf(name), FileTitleOf(stopAt)) << name;
                EXPECT_EQ(ReadAll(entry.path().string()), outputs[name]) << name;
                fs::remove(entry.path());
            }
        }
    }
}

}  // namespace
}  // namespace pixalto
