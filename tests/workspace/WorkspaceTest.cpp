// The window's rules, run on the workspace alone: loads and what they say,
// the RAW file kept from its scan, the selection, the CLUT edits and what
// the observers hear.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "platform/ByteOrder.h"
#include "raw/HeadlessHost.h"
#include "raw/Job.h"
#include "raw/ScanFileJob.h"
#include "support/BmpBuilder.h"
#include "support/DiscBuilder.h"
#include "support/IsoBuilder.h"
#include "support/TempDir.h"
#include "support/TimBuilder.h"
#include "workspace/Workspace.h"

namespace pixalto::workspace {
namespace {

using testing::BmpSpec;
using testing::MakeBmp;
using testing::MakeTim;
using testing::PatternBmp;
using testing::PatternTim;
using testing::TimSpec;
using Bytes = std::vector<std::uint8_t>;

// A BMP's origins are never given.
class NoOrigins final : public OriginsRequest {
  public:
    std::optional<Origins> AskOrigins(bool) override { return std::nullopt; }
};

// The window's progress dialog as far as the entries go: they are the
// workspace's.
class EntryHost final : public raw::HeadlessHost {
  public:
    explicit EntryHost(Workspace& workspace) : workspace_(workspace) {}
    void DeleteAllEntries() override { workspace_.ClearEntries(); }
    void AddEntry(const raw::ScanEntry& entry) override { workspace_.AddEntry(entry); }
    std::size_t EntryCount() const override { return workspace_.Entries().size(); }
    std::optional<raw::ScanEntry> EntryAt(std::size_t row) const override {
        return workspace_.EntryAt(row);
    }

  private:
    Workspace& workspace_;
};

struct Counts final : Observer {
    void PictureChanged() override { ++pictures; }
    void EntriesChanged() override { ++entries; }
    int pictures = 0, entries = 0;
};

// A RAW file with the TIMs at their offsets, scanned into the workspace.
raw::JobState ScanInto(Workspace& workspace, const testing::TempDir& dir, const std::string& name,
                       const Bytes& bytes) {
    workspace.path = dir.Write(name, bytes);
    workspace.OpenRawFile();
    EntryHost host(workspace);
    raw::ScanFileJob scan(host, workspace.RawFile());
    const raw::JobState result = raw::RunJob(scan);
    workspace.EntriesSettled();
    return result;
}

TEST(Workspace, ALoadSaysWhatToShowAndAFailureLeavesNothingLoaded) {
    BmpSpec notBmp = PatternBmp(8, 4, 4);
    notBmp.type = 0x4D43;
    BmpSpec badBiSize = PatternBmp(24, 4, 4);
    badBiSize.biSize = 41;
    TimSpec partialSet = PatternTim(4, 8, 2);
    partialSet.clut.resize(8);
    const Failure tim{Error(ErrorCode::TimHeaderNotFound), Step::ReadingTim};
    const Failure missing{Error(ErrorCode::CouldntOpenFile), Step::Opening};
    struct Case {
        const char* what;
        bool asTim;
        Bytes bytes;  // none: the file is missing
        std::optional<Failure> said;
        std::int32_t set, last;  // the set after a load with set 3 chosen, and the last
        bool choose;             // whether a set can be chosen
    };
    const Failure notBmpSaid{Error(ErrorCode::BmpHeaderNotFound), Step::ReadingBmp};
    const Failure conversion{Error(ErrorCode::BadBiSize), Step::ConvertingBmp};
    const std::vector<Case> cases = {
        {"4 sets keep set 3", true, MakeTim(PatternTim(4, 8, 2, 4)), {}, 3, 3, true},
        {"2 sets: the last", true, MakeTim(PatternTim(8, 8, 2, 2)), {}, 1, 1, true},
        {"one set", true, MakeTim(PatternTim(4, 8, 2)), {}, 0, 0, false},
        {"partial set", true, MakeTim(partialSet), {}, 0, 0, false},
        {"16-bit", true, MakeTim(PatternTim(16, 8, 2)), {}, 0, 0, false},
        {"24-bit", true, MakeTim(PatternTim(24, 4, 1)), {}, 0, 0, false},
        {"missing TIM", true, {}, missing, 3, 0, false},
        {"missing BMP", false, {}, missing, 3, 0, false},
        {"not a TIM", true, {1, 2, 3, 4, 5, 6, 7, 8}, tim, 3, 0, false},
        {"not a BMP", false, MakeBmp(notBmp), notBmpSaid, 3, 0, false},
        {"conversion", false, MakeBmp(badBiSize), conversion, 3, 0, false},
    };
    testing::TempDir dir;
    NoOrigins origins;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Workspace workspace;
        workspace.currentSet = 3;
        workspace.path = c.bytes.empty() ? dir.File("missing") : dir.Write("file", c.bytes);
        const LoadOutcome outcome = workspace.OpenImage(c.asTim, origins);
        EXPECT_EQ(outcome.result, c.said ? LoadResult::Failed : LoadResult::Loaded);
        ASSERT_EQ(outcome.failure.has_value(), c.said.has_value());
        if (c.said) {
            EXPECT_EQ(outcome.failure->error.code, c.said->error.code);
            EXPECT_EQ(outcome.failure->step, c.said->step);
        }
        EXPECT_EQ(workspace.image.IsLoaded(), !c.said);
        EXPECT_EQ(workspace.currentSet, c.set);
        EXPECT_EQ(workspace.CanChooseSet(), c.choose);
        if (c.said) {
            EXPECT_TRUE(workspace.image.clutData.empty());
            EXPECT_TRUE(workspace.image.bmpPixels.empty());
            EXPECT_TRUE(workspace.image.bmpPalette.empty());
        } else {
            EXPECT_EQ(workspace.LastSelectableSet(), c.last);
        }
        EXPECT_FALSE(workspace.ImageFromEntry());
    }
}

TEST(Workspace, TheRawFileIsOpenedOnceAndItsEntriesAreReadFromIt) {
    testing::TempDir dir;
    testing::DiscContents disc;
    disc.data = Bytes(6 * 2048, 0xA5);
    const std::vector<std::size_t> at = {100, 2000, 3 * 2048 + 50};
    const std::vector<TimSpec> tims = {PatternTim(4, 8, 2, 4), PatternTim(8, 8, 4, 2),
                                       PatternTim(16, 10, 3)};
    for (std::size_t i = 0; i < at.size(); ++i) {
        testing::PlaceBytes(disc.data, at[i], MakeTim(tims[i]));
    }
    disc.gapsBefore = {1, 2};
    const testing::BuiltDisc built = testing::MakeDisc(disc);

    Workspace workspace;
    Counts heard;
    workspace.AddObserver(heard);
    ASSERT_EQ(ScanInto(workspace, dir, "GAME.BIN", built.image), raw::kJobFinished);
    EXPECT_EQ(workspace.RawLayoutNote(), "Read as a MODE2/2352 disc image");
    ASSERT_EQ(workspace.Entries().size(), 3u);
    EXPECT_EQ(heard.entries, 2);  // emptied, then settled; not once per entry
    // The file is read as it was opened for the scan, not looked up again.
    std::filesystem::remove(workspace.path);

    struct Pick {
        std::int64_t row;
        LoadResult result;
        std::int32_t set;  // 3 chosen before each
    };
    for (const Pick& pick : {Pick{-1, LoadResult::Unchanged, 3}, Pick{3, LoadResult::Unchanged, 3},
                             Pick{0, LoadResult::Loaded, 3}, Pick{1, LoadResult::Loaded, 1},
                             Pick{2, LoadResult::Loaded, 0}}) {
        SCOPED_TRACE(pick.row);
        workspace.currentSet = 3;
        workspace.selectedRow = pick.row;
        EXPECT_EQ(workspace.OpenSelectedEntry().result, pick.result);
        EXPECT_EQ(workspace.currentSet, pick.set);
        if (pick.result == LoadResult::Loaded) {
            const auto row = static_cast<std::size_t>(pick.row);
            EXPECT_EQ(workspace.Entries()[row].position, built.FileOffsetOf(at[row]));
            EXPECT_EQ(workspace.ListValue(workspace.Entries()[row], ListColumn::Sector),
                      static_cast<std::int64_t>(built.FileOffsetOf(at[row]) / 2352));
            EXPECT_TRUE(workspace.ImageFromEntry());
            EXPECT_EQ(Bytes(workspace.image.imageData.begin(),
                            workspace.image.imageData.begin() + workspace.image.imageDataSize),
                      tims[row].pixels);
        }
    }
    EXPECT_FALSE(workspace.HasColumn(ListColumn::Path));  // a disc with no file system
    EXPECT_TRUE(workspace.DiscWithoutFileSystem());
    workspace.CloseImage();
    EXPECT_FALSE(workspace.RawFile().IsOpen());
    EXPECT_EQ(workspace.RawLayoutNote(), "");
    workspace.RemoveObserver(heard);

    // A disc with a file system names the file of each hit, and none for a
    // TIM in its system area; the rows sort by that name.
    auto sample = testing::MakeSampleIso();
    if (!sample) {
        GTEST_SKIP() << "genisoimage and xorriso are not installed";
    }
    testing::IsoTim system{"", 0, PatternTim(4, 8, 2), {}};
    system.tim = MakeTim(system.shape);
    testing::PlaceBytes(sample->iso, 2 * 2048 + 10, system.tim);
    sample->tims.push_back(system);
    const testing::BuiltDisc iso = testing::WrapMode2(sample->iso);
    const testing::BuiltDisc headerless = testing::WithoutHeaders(iso);
    // Each image's file position of an ISO offset; the sector is the ISO's.
    struct Image {
        std::string name;
        const Bytes& bytes;
        std::function<std::uint64_t(std::size_t)> positionOf;
    };
    const Image images[] = {
        {"FS.BIN", iso.image, [&](std::size_t at) { return iso.FileOffsetOf(at); }},
        {"FS.ISO", sample->iso, [](std::size_t at) { return std::uint64_t{at}; }},
        {"FS.IMG", headerless.image, [&](std::size_t at) { return headerless.FileOffsetOf(at); }},
    };
    for (const Image& image : images) {
        SCOPED_TRACE(image.name);
        ASSERT_EQ(ScanInto(workspace, dir, image.name, image.bytes), raw::kJobFinished);
        ASSERT_TRUE(workspace.HasColumn(ListColumn::Path));
        ASSERT_TRUE(workspace.HasColumn(ListColumn::Sector));
        EXPECT_FALSE(workspace.DiscWithoutFileSystem());
        ASSERT_EQ(workspace.Entries().size(), sample->tims.size());
        for (std::size_t i = 0; i < sample->tims.size(); ++i) {
            const std::size_t at = sample->IsoOffsetOf(i);
            const auto entry = std::find_if(
                workspace.Entries().begin(), workspace.Entries().end(),
                [&](const raw::ScanEntry& e) { return e.position == image.positionOf(at); });
            ASSERT_NE(entry, workspace.Entries().end()) << i;
            EXPECT_EQ(workspace.ListText(*entry, ListColumn::Path), sample->tims[i].path);
            EXPECT_EQ(workspace.ListValue(*entry, ListColumn::Sector),
                      static_cast<std::int64_t>(at / 2048));
        }
        for (const bool descending : {false, true}) {
            workspace.SortEntries(ListColumn::Path, descending);
            std::vector<std::string> paths;
            for (std::size_t row = 0; row < workspace.ShownCount(); ++row) {
                paths.push_back(workspace.ListText(
                    workspace.Entries()[*workspace.ShownEntryIndex(row)], ListColumn::Path));
            }
            std::vector<std::string> sorted = {"", "/DATA/CHARA.BIN", "/DATA/CHARA.BIN",
                                               "/DATA/SUB/FACE.TIM", "/TOP.BIN"};
            if (descending) {
                std::reverse(sorted.begin(), sorted.end());
            }
            EXPECT_EQ(paths, sorted);
        }
        workspace.SortEntries(std::nullopt, false);
    }
    workspace.CloseImage();
    EXPECT_FALSE(workspace.HasColumn(ListColumn::Path));
}

// Four TIMs listed with what their headers add, sorted and filtered over
// the entries, the selection counted as the list shows its rows, and a
// thumbnail that samples the image's pixels.
TEST(Workspace, TheListReadsItsColumnsFromTheHeadersAndSortsAndFiltersItsRows) {
    TimSpec wide;  // 16-bit 128 x 2, black but pixel (11, 1) red
    wide.mode = 2;
    wide.imageWidth = 128;
    wide.imageHeight = 2;
    wide.pixels.assign(128 * 2 * 2, 0);
    wide.pixels[2 * (128 + 11)] = 0x1F;
    const std::vector<TimSpec> tims = {PatternTim(4, 16, 8, 2), PatternTim(8, 8, 4),
                                       PatternTim(16, 10, 3), wide};
    Bytes raw(100, 0xA5);
    for (const TimSpec& tim : tims) {
        const Bytes bytes = MakeTim(tim);
        raw.insert(raw.end(), bytes.begin(), bytes.end());
        raw.insert(raw.end(), 7, 0xA5);
    }
    testing::TempDir dir;
    Workspace workspace;
    ASSERT_EQ(ScanInto(workspace, dir, "raw.bin", raw), raw::kJobFinished);
    ASSERT_EQ(workspace.Entries().size(), 4u);

    using C = ListColumn;
    const C columns[] = {C::Width, C::Height, C::Bpp, C::ClutSets, C::Sector, C::Thumbnail};
    using Values = std::vector<std::optional<std::int64_t>>;
    const std::vector<Values> values = {{16, 8, 4, 2, {}, {}},
                                        {8, 4, 8, 1, {}, {}},
                                        {10, 3, 16, 0, {}, {}},
                                        {128, 2, 16, 0, {}, {}}};
    EXPECT_FALSE(workspace.HasColumn(C::Sector));
    EXPECT_FALSE(workspace.HasColumn(C::Path));
    for (std::size_t i = 0; i < values.size(); ++i) {
        Values row;
        for (C column : columns) {
            row.push_back(workspace.ListValue(workspace.Entries()[i], column));
        }
        EXPECT_EQ(row, values[i]) << i;
    }

    // The file numbers of the rows shown.
    const auto shown = [&workspace] {
        std::vector<std::int32_t> numbers;
        for (std::size_t row = 0; row < workspace.ShownCount(); ++row) {
            numbers.push_back(workspace.Entries()[*workspace.ShownEntryIndex(row)].fileNumber);
        }
        return numbers;
    };
    struct Arrangement {
        std::optional<C> column;
        bool descending;
        const char* filter;
        std::vector<std::int32_t> rows;
    };
    for (const Arrangement& a : std::vector<Arrangement>{
             {C::Width, false, "", {2, 3, 1, 4}},
             {C::Width, true, "", {4, 1, 3, 2}},
             {C::Bpp, true, "", {3, 4, 2, 1}},  // ties in the order found
             {C::ClutSets, false, "", {3, 4, 2, 1}},
             {C::Position, true, "", {4, 3, 2, 1}},
             {C::Height, false, "16bpp", {4, 3}},
             {{}, false, "16BPP", {3, 4}},
             {{}, false, "16x8", {1}},
             {{}, false, "16x*", {1}},
             {{}, false, "*x4, 8bpp", {2}},
             {{}, false, "8x4 4bpp", {}},
             {C::Width, false, "*x*", {2, 3, 1, 4}},
             {{}, false, "", {1, 2, 3, 4}},
         }) {
        SCOPED_TRACE(a.filter);
        const auto filter = ParseEntryFilter(a.filter);
        ASSERT_TRUE(filter);
        workspace.FilterEntries(*filter);
        workspace.SortEntries(a.column, a.descending);
        EXPECT_EQ(shown(), a.rows);
    }
    for (const char* refused :
         {"16", "4bpp 8bpp", "4x4 8x8", "*x* 4x4", "ax4", "4x", "bpp", "-4bpp"}) {
        EXPECT_FALSE(ParseEntryFilter(refused)) << refused;
    }

    // The selected row is the row as shown; a new order selects none.
    workspace.selectedRow = 2;
    workspace.SortEntries(C::Width, true);
    EXPECT_EQ(workspace.selectedRow, -1);
    workspace.selectedRow = 0;
    ASSERT_EQ(workspace.OpenSelectedEntry().result, LoadResult::Loaded);
    EXPECT_EQ(workspace.image.pixelWidth, 128u);
    workspace.selectedRow = 4;
    EXPECT_EQ(workspace.OpenSelectedEntry().result, LoadResult::Unchanged);

    // 128 x 2 fits 64 x 1; column 5 samples image column 11 of row 1.
    const Thumbnail& thumbnail = workspace.ThumbnailOf(3);
    ASSERT_EQ(std::pair(thumbnail.width, thumbnail.height), std::pair(64u, 1u));
    EXPECT_EQ(thumbnail.At(5, 0), MakePixel(255, 7, 7));
    EXPECT_EQ(thumbnail.At(4, 0), MakePixel(7, 7, 7));
    // Small images keep their size: 10 x 3 stays 10 x 3.
    EXPECT_EQ(workspace.ThumbnailOf(2).width, 10u);
    EXPECT_EQ(workspace.ThumbnailsHeld(), 2u);
    // Held by entry: a new order keeps them, new entries don't.
    workspace.SortEntries(std::nullopt, false);
    EXPECT_EQ(workspace.ThumbnailsHeld(), 2u);
    workspace.ClearEntries();
    EXPECT_EQ(workspace.ThumbnailsHeld(), 0u);
}

TEST(Workspace, TheThumbnailCacheKeepsTheMostRecentlyUsed) {
    ThumbnailCache cache(2);
    cache.Add(1, Thumbnail{1, 1, {kUndrawn}});
    cache.Add(2, Thumbnail{2, 1, {kUndrawn, kUndrawn}});
    ASSERT_NE(cache.Find(1), nullptr);
    cache.Add(3, Thumbnail{});
    EXPECT_EQ(cache.Size(), 2u);
    EXPECT_EQ(cache.Find(2), nullptr);  // the least recently used
    ASSERT_NE(cache.Find(1), nullptr);
    EXPECT_EQ(cache.Find(1)->width, 1u);
    EXPECT_NE(cache.Find(3), nullptr);
}

TEST(Workspace, TheSelectedRowFollowsTheListsStateChanges) {
    struct Change {
        std::int64_t row;
        unsigned oldState, newState;
        std::int64_t selected;
    };
    Workspace workspace;
    for (const Change& c : std::vector<Change>{
             {4, 0, 3, 4}, {4, 3, 1, 4}, {2, 2, 0, -1}, {5, 0, 3, 5}, {5, 3, 0, 0}, {7, 0, 1, 0}}) {
        workspace.OnEntryStateChanged(c.row, c.oldState, c.newState);
        EXPECT_EQ(workspace.selectedRow, c.selected)
            << c.row << " " << c.oldState << "->" << c.newState;
    }
}

TEST(Workspace, ClutEditsReachOnlyEntriesTheClutHoldsAndStayUnsavedUntilSaved) {
    testing::TempDir dir;
    TimSpec desc = PatternTim(4, 4, 1, 2);
    desc.clut.pop_back();  // set 1 lacks its last entry
    Workspace workspace;
    Counts heard;
    workspace.AddObserver(heard);
    NoOrigins origins;
    workspace.path = dir.Write("a.tim", MakeTim(desc));
    ASSERT_EQ(workspace.OpenImage(true, origins).result, LoadResult::Loaded);
    EXPECT_EQ(workspace.ClutSetSize(), 16u);

    struct Edit {
        std::int32_t set;
        std::uint32_t index;
        bool written;
    };
    for (const Edit& e : {Edit{0, 15, true}, Edit{0, 16, false}, Edit{1, 14, true},
                          Edit{1, 15, false}, Edit{2, 0, false}}) {
        SCOPED_TRACE(::testing::Message() << e.set << ":" << e.index);
        workspace.SelectSet(e.set);
        const auto before = workspace.image.clutData;
        const int pictures = heard.pictures;
        EXPECT_EQ(workspace.ClutColor(e.index).has_value(), e.written);
        EXPECT_EQ(workspace.SetClutColor(e.index, 0x1234), e.written);
        EXPECT_EQ(heard.pictures, pictures + (e.written ? 1 : 0));
        if (e.written) {
            const std::size_t offset = 2 * (static_cast<std::size_t>(e.set) * 16 + e.index);
            EXPECT_EQ(ReadU16LE(workspace.image.clutData.data() + offset), 0x1234);
            EXPECT_EQ(workspace.ClutColor(e.index), PsxColor{0x1234});
        } else {
            EXPECT_EQ(workspace.image.clutData, before);
        }
    }
    // Saved only by a TIM that was written; a load or a close drops the edits.
    EXPECT_TRUE(workspace.HasUnsavedChanges());
    const auto unwritten = workspace.SaveTim(dir.Path().string());
    ASSERT_TRUE(unwritten);
    EXPECT_EQ(unwritten->error.code, ErrorCode::FailedSavingTim);
    EXPECT_EQ(unwritten->step, Step::Writing);
    EXPECT_TRUE(workspace.HasUnsavedChanges());
    EXPECT_FALSE(workspace.SaveTim(dir.File("b.tim")));
    EXPECT_FALSE(workspace.HasUnsavedChanges());
    for (bool close : {false, true}) {
        workspace.SelectSet(0);
        workspace.SetClutColor(0, 0x4321);
        EXPECT_TRUE(workspace.HasUnsavedChanges());
        if (close) {
            workspace.CloseImage();
        } else {
            workspace.OpenImage(true, origins);
        }
        EXPECT_FALSE(workspace.HasUnsavedChanges());
    }
    EXPECT_FALSE(workspace.ClutColor(0));
    workspace.RemoveObserver(heard);
}

TEST(Workspace, UndoAndRedoWalkTheClutEditsAndKnowTheSavedState) {
    testing::TempDir dir;
    Workspace workspace;
    NoOrigins origins;
    workspace.path = dir.Write("a.tim", MakeTim(PatternTim(4, 4, 1, 2)));
    ASSERT_EQ(workspace.OpenImage(true, origins).result, LoadResult::Loaded);
    const PsxColor loaded0 = *workspace.ClutColor(0);
    workspace.SelectSet(1);
    const PsxColor loaded1 = *workspace.ClutColor(2);
    workspace.SelectSet(0);

    enum Do { Edit0, Edit1, EditOutside, Undo, Redo, Save };
    struct Step {
        Do action;
        PsxColor color;  // of the edit
        bool done;
        PsxColor set0Entry0, set1Entry2;
        std::int32_t set;  // shown after the step
        bool unsaved, canUndo, canRedo;
    };
    const PsxColor a = 0x1111, b = 0x2222, c = 0x3333;
    const Step steps[] = {
        {Undo, 0, false, loaded0, loaded1, 0, false, false, false},
        {Edit0, a, true, a, loaded1, 0, true, true, false},
        {Edit1, b, true, a, b, 1, true, true, false},
        {EditOutside, c, false, a, b, 1, true, true, false},
        {Undo, 0, true, a, loaded1, 1, true, true, true},
        {Undo, 0, true, loaded0, loaded1, 0, false, false, true},  // back to the file
        {Undo, 0, false, loaded0, loaded1, 0, false, false, true},
        {Redo, 0, true, a, loaded1, 0, true, true, true},
        {Save, 0, true, a, loaded1, 0, false, true, true},
        {Undo, 0, true, loaded0, loaded1, 0, true, false, true},
        {Redo, 0, true, a, loaded1, 0, false, true, true},  // what was saved
        {Undo, 0, true, loaded0, loaded1, 0, true, false, true},
        // A new edit drops the redo, and with it the way back to the saved state.
        {Edit0, c, true, c, loaded1, 0, true, true, false},
        {Redo, 0, false, c, loaded1, 0, true, true, false},
        {Undo, 0, true, loaded0, loaded1, 0, true, false, true},
    };
    for (std::size_t i = 0; i < std::size(steps); ++i) {
        SCOPED_TRACE(i);
        const Step& s = steps[i];
        bool done = false;
        switch (s.action) {
            case Edit0:
                workspace.SelectSet(0);
                done = workspace.SetClutColor(0, s.color);
                break;
            case Edit1:
                workspace.SelectSet(1);
                done = workspace.SetClutColor(2, s.color);
                break;
            case EditOutside:
                done = workspace.SetClutColor(16, s.color);
                break;
            case Undo:
                done = workspace.Undo();
                break;
            case Redo:
                done = workspace.Redo();
                break;
            case Save:
                done = !workspace.SaveTim(dir.File("saved.tim"));
                break;
        }
        EXPECT_EQ(done, s.done);
        EXPECT_EQ(workspace.currentSet, s.set);
        EXPECT_EQ(ReadU16LE(workspace.image.clutData.data()), s.set0Entry0);
        EXPECT_EQ(ReadU16LE(workspace.image.clutData.data() + 2 * (16 + 2)), s.set1Entry2);
        EXPECT_EQ(workspace.HasUnsavedChanges(), s.unsaved);
        EXPECT_EQ(workspace.CanUndo(), s.canUndo);
        EXPECT_EQ(workspace.CanRedo(), s.canRedo);
    }
    // A new image, or none, has nothing to undo.
    workspace.OpenImage(true, origins);
    EXPECT_FALSE(workspace.CanUndo() || workspace.CanRedo() || workspace.HasUnsavedChanges());
    workspace.SetClutColor(0, a);
    workspace.ReleaseImage();
    EXPECT_FALSE(workspace.Undo() || workspace.HasUnsavedChanges());
}

struct ZoomCase {
    const char* desc;
    bool loaded, split, devicePixels;
    int start;  // the zoom before the step
    std::int64_t width, height;
    double ratio;
    int fit;  // FitZoom's factor; 0 when the case steps instead
    int step, zoomAfter;
    double scale;  // device pixels per image pixel after it
};

TEST(Workspace, ZoomStaysWholeWithinItsRangeAndFitsTheDrawnImage) {
    // The image is 16 x 8 pixels: a fit is limited by whichever side is
    // tighter, split halves the rows, and logical pixels cost the ratio.
    const std::vector<ZoomCase> cases = {
        {"up", true, false, true, 1, 0, 0, 1, 0, 1, 2, 2},
        {"top", true, false, true, 16, 0, 0, 1, 0, 1, 16, 16},
        {"bottom", true, false, true, 1, 0, 0, 1, 0, -1, 1, 1},
        {"logical at 1.5", true, false, false, 2, 0, 0, 1.5, 0, 0, 2, 3},
        {"logical never below 1:1", true, false, false, 1, 0, 0, 0.5, 0, 0, 1, 1},
        {"fit width", true, false, true, 5, 64, 1000, 1, 4, 0, 4, 4},
        {"fit height", true, false, true, 5, 1000, 39, 1, 4, 0, 4, 4},
        {"fit exactly", true, false, true, 1, 48, 24, 1, 3, 0, 3, 3},
        {"fit split rows", true, true, true, 1, 1000, 39, 1, 9, 0, 9, 9},
        {"fit huge", true, false, true, 1, 100000, 100000, 1, 16, 0, 16, 16},
        {"fit too small", true, false, true, 7, 15, 8, 1, 1, 0, 1, 1},
        {"fit logical", true, false, false, 1, 64, 64, 2, 2, 0, 2, 4},
        {"fit unloaded", false, false, true, 7, 1000, 1000, 1, 1, 0, 1, 1},
    };
    testing::TempDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.desc);
        Workspace workspace;
        workspace.path = dir.Write("z.tim", MakeTim(PatternTim(16, 16, 8)));
        NoOrigins origins;
        if (c.loaded) {
            ASSERT_EQ(workspace.OpenImage(true, origins).result, LoadResult::Loaded);
        }
        workspace.splitImage = c.split;
        workspace.devicePixels = c.devicePixels;
        workspace.SetZoom(c.start);
        if (c.fit != 0) {
            workspace.FitZoom(c.width, c.height, c.ratio);
            EXPECT_EQ(workspace.zoom, c.fit);
        } else if (c.step > 0) {
            workspace.ZoomIn();
        } else if (c.step < 0) {
            workspace.ZoomOut();
        }
        EXPECT_EQ(workspace.zoom, c.zoomAfter);
        EXPECT_DOUBLE_EQ(workspace.Scale(c.ratio), c.scale);
        // Another image, or none, keeps the zoom.
        workspace.CloseImage();
        EXPECT_EQ(workspace.zoom, c.zoomAfter);
    }
}

struct StatusCase {
    const char* desc;
    std::uint8_t mode;
    std::uint16_t unitsWide, height;
    Bytes pixels;
    bool transparency, split;
    int zoom;
    std::int64_t x, y;  // device pixels of the area; scrolled by (1, 0) at zoom > 2
    std::string line;
};

TEST(Workspace, TheStatusLineReadsThePixelUnderTheCursorOrDescribesTheImage) {
    const std::string off4 = "4 x 2   image at 320, 0   CLUT at 0, 480";
    const Bytes fourBit = {0x21, 0x03, 0x10, 0x00};  // indices 1 2 3 0 / 0 1 0 0
    const std::vector<StatusCase> cases = {
        {"CLUT index", 8, 1, 2, fourBit, false, false, 1, 0, 0,
         "0, 0   index 1   word 0x801F   STP 1   opaque"},
        {"word 0 drawn", 8, 1, 2, fourBit, false, false, 1, 1, 0,
         "1, 0   index 2   word 0x0000   STP 0   opaque"},
        {"word 0 transparent", 8, 1, 2, fourBit, true, false, 1, 1, 0,
         "1, 0   index 2   word 0x0000   STP 0   transparent"},
        {"zoomed", 8, 1, 2, fourBit, false, false, 2, 3, 2,
         "1, 1   index 1   word 0x801F   STP 1   opaque"},
        {"zoomed and scrolled", 8, 1, 2, fourBit, false, false, 3, 4, 0,
         "1, 0   index 2   word 0x0000   STP 0   opaque"},
        {"split ORs the halves", 8, 1, 2, fourBit, false, true, 1, 1, 0,
         "1, 0   index 3   word 0x7C00   STP 0   opaque"},
        {"right of the image", 8, 1, 2, fourBit, false, false, 1, 4, 0, off4},
        {"below the image", 8, 1, 2, fourBit, false, false, 1, 0, 2, off4},
        {"left of the image", 8, 1, 2, fourBit, false, false, 1, -1, 0, off4},
        {"below the split", 8, 1, 2, fourBit, false, true, 1, 0, 1,
         "4 x 1   image at 320, 0   CLUT at 0, 480"},
        {"index past the CLUT",
         9,
         1,
         1,
         {200, 1},
         true,
         false,
         1,
         0,
         0,
         "0, 0   index 200   not in the CLUT   transparent"},
        {"16-bit",
         2,
         1,
         1,
         {0x00, 0x80},
         false,
         false,
         1,
         0,
         0,
         "0, 0   word 0x8000   STP 1   opaque"},
        {"16-bit off", 2, 1, 1, {0x00, 0x80}, false, false, 1, 1, 0, "1 x 1   image at 320, 0"},
        {"24-bit",
         3,
         3,
         1,
         {10, 20, 30, 40, 50, 60},
         true,
         false,
         1,
         1,
         0,
         "1, 0   RGB 40, 50, 60"},
        {"data ends",
         2,
         4,
         4,
         {1, 0, 2, 0},
         false,
         false,
         1,
         0,
         1,
         "4 x 4 (2 x 1 with data)   image at 320, 0"},
    };
    testing::TempDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.desc);
        TimSpec tim;
        tim.mode = c.mode;
        tim.clutY = 480;
        tim.clut.assign(16, 0);
        tim.clut[1] = 0x801F;
        tim.clut[3] = 0x7C00;
        tim.imageX = 320;
        tim.imageWidth = c.unitsWide;
        tim.imageHeight = c.height;
        tim.pixels = c.pixels;
        Workspace workspace;
        workspace.path = dir.Write("s.tim", MakeTim(tim));
        EXPECT_EQ(workspace.StatusLine(workspace.PixelUnder(c.x, c.y, 1)), "");
        NoOrigins origins;
        ASSERT_EQ(workspace.OpenImage(true, origins).result, LoadResult::Loaded);
        workspace.transparency = c.transparency;
        workspace.splitImage = c.split;
        workspace.SetZoom(c.zoom);
        workspace.ScrollTo(c.zoom > 2 ? 1 : 0, 0, 1, 1, 1);
        EXPECT_EQ(workspace.StatusLine(workspace.PixelUnder(c.x, c.y, 1)), c.line);
    }
}

}  // namespace
}  // namespace pixalto::workspace
