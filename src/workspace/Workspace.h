#pragma once
// What the window works on, without the window: the image and the file it
// came from, the view options, the RAW file with the entries its scan found
// and the one selected, and the edits made to the CLUT. The commands of the
// window are methods here that change this state and say what the window
// should show (a message box); the window's widgets only show the state and
// pass the user's input on. Failures come back as Error values with the step
// that failed; the window words and titles them. Nothing here knows Qt, so
// every rule of the window can be run without one.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "disc/DiscFiles.h"
#include "image/Convert.h"
#include "image/ImageState.h"
#include "image/Paint.h"
#include "image/PsxColor.h"
#include "platform/Error.h"
#include "raw/RawData.h"
#include "raw/ScanEntry.h"
#include "workspace/EntryList.h"

namespace pixalto::workspace {

// The step of a command that failed, which the window's message names.
enum class Step {
    Opening,          // the file couldn't be opened or read
    ReadingTim,       // a TIM, from its file or a RAW file
    ReadingBmp,       // a BMP and its sidecar
    ConvertingBmp,    // a BMP opened, to a TIM
    ConvertingToBmp,  // "Convert to BMP", "Export PNG", "Export Palette"
    ReadingPng,       // a PNG and its record, to a TIM
    ReadingPalette,   // "Import Palette"
    Writing,          // a file couldn't be written
};

struct Failure {
    Error error;
    Step step = Step::Opening;
};

// How a command that loads an image ended.
enum class LoadResult {
    Unchanged,  // there was nothing to load: the state is as it was
    Loaded,     // the image is loaded; paint it
    Failed,     // nothing is loaded any more; the failure says why
};

struct LoadOutcome {
    LoadResult result = LoadResult::Unchanged;
    std::optional<Failure> failure;  // with Failed
};

// An entry's state as the list reports a change of it: bit 0 focused, bit 1
// selected.
enum EntryState : unsigned { kEntryFocused = 1, kEntrySelected = 2 };

// Told whenever the state it shows changes.
class Observer {
  public:
    virtual ~Observer() = default;
    // The image, its CLUT or the view it is drawn with changed.
    virtual void PictureChanged() {}
    // The entries were emptied, or a scan finished adding them.
    virtual void EntriesChanged() {}
};

class Workspace {
  public:
    Workspace() = default;
    Workspace(const Workspace&) = delete;
    Workspace& operator=(const Workspace&) = delete;

    void AddObserver(Observer& observer);
    void RemoveObserver(Observer& observer);

    // --- The image and the file it came from ---
    ImageState image;
    std::string path;  // the file last chosen: an image, a RAW file or a list

    // Loads the image at path from its start: a TIM, or a BMP converted to a
    // TIM, asking origins for what its sidecar doesn't carry.
    LoadOutcome OpenImage(bool isTim, OriginsRequest& origins);
    // Loads the TIM of the selected entry, read as the scan read the RAW
    // file; Unchanged when no entry is selected.
    LoadOutcome OpenSelectedEntry();
    // Forgets the image, its CLUT edits and the RAW file; the set goes back
    // to the first. The header fields stay, as the info panel shows them.
    void CloseImage();
    // Lets go of the image's buffers as the window ends; its CLUT edits go
    // with them.
    void ReleaseImage();
    // True when the image was listed from a RAW file at a position past its
    // start ("Save Multiple Files" is offered then).
    bool ImageFromEntry() const { return imagePosition_ != 0; }

    // "Save TIM File" and "Convert to BMP" to the path chosen; nothing when
    // the file was written.
    std::optional<Failure> SaveTim(const std::string& target);
    std::optional<Failure> SaveBmp(const std::string& target, OriginsRequest& origins);

    // Opens the PNG at path as a TIM of depth (0: as its record or pixels say).
    LoadOutcome OpenPng(std::uint32_t depth, OriginsRequest& origins);
    // "Export PNG" and "Export Palette" of the current set to the path chosen.
    std::optional<Failure> SavePng(const std::string& target);
    std::optional<Failure> SavePalette(const std::string& target);
    // "Import Palette": the current set takes the palette file's colours, each
    // changed entry an edit that can be undone.
    std::optional<Failure> ImportPaletteFile(const std::string& palettePath);

    // --- View options ---
    std::int32_t currentSet = 0;
    bool splitImage = false;
    bool transparency = false;
    // Under Transparency, undrawn pixels show a checkerboard.
    bool checkerboard = true;
    ViewOptions View() const;
    void ToggleSplitImage();
    void ToggleTransparency();
    void ToggleCheckerboard();
    // Whether there is a set to choose: a CLUT with more than one whole set.
    bool CanChooseSet() const;
    void SelectSet(std::int32_t set);
    // The set a scroll bar over the sets can reach last.
    std::int32_t LastSelectableSet() const;

    // --- Zoom ---
    // Whole factors only, so that every image pixel is the same block.
    static constexpr int kMinZoom = 1;
    static constexpr int kMaxZoom = 16;
    // Kept when another image opens or the image closes.
    int zoom = kMinZoom;
    // One device pixel per image pixel at 1:1; off, the zoom counts logical
    // pixels, so the image follows the desktop's scaling.
    bool devicePixels = true;
    void ZoomIn() { SetZoom(zoom + 1); }
    void ZoomOut() { SetZoom(zoom - 1); }
    void SetZoom(int factor);
    // Device pixels per image pixel at pixelRatio device pixels per logical
    // one.
    double Scale(double pixelRatio) const;
    // Sets the largest factor at which the drawn image fits width x height
    // device pixels, and 1 when even 1:1 doesn't fit or nothing is loaded.
    void FitZoom(std::int64_t width, std::int64_t height, double pixelRatio);

    // --- Scrolling ---
    // The drawn image's size in device pixels at the zoom.
    struct Size {
        std::int64_t width = 0;
        std::int64_t height = 0;
    };
    Size ZoomedSize(double pixelRatio) const;
    // Device pixels of the zoomed image hidden left of and above the area.
    std::int64_t scrollX = 0;
    std::int64_t scrollY = 0;
    // Scrolls to (x, y), kept within what an area of width x height device
    // pixels leaves hidden; true when the offset changed.
    bool ScrollTo(std::int64_t x, std::int64_t y, std::int64_t width, std::int64_t height,
                  double pixelRatio);

    // --- The status line ---
    // The image pixel under the device pixel (x, y) of the image area, as
    // zoomed and scrolled; nothing off the image.
    std::optional<PixelProbe> PixelUnder(std::int64_t x, std::int64_t y, double pixelRatio) const;
    // What the status bar says of that pixel, or of the image when the
    // cursor is off it; "" when nothing is loaded.
    std::string StatusLine(const std::optional<PixelProbe>& pixel) const;

    // --- The RAW file and its entries ---
    // Opens path as the RAW file to scan, taking its layout as detected;
    // false when it can't be opened. It stays open for the entries' TIMs.
    // A disc image's file system is read once here, to name each entry's
    // file.
    bool OpenRawFile();
    raw::RawData& RawFile() { return raw_; }
    // How the RAW file's bytes are read, for the user: "" for a plain file.
    std::string RawLayoutNote();
    // Whether the RAW file is a disc image (a known layout) whose file system
    // couldn't be read: its entries show their sector only.
    bool DiscWithoutFileSystem() const;

    const std::vector<raw::ScanEntry>& Entries() const { return entries_; }
    void ClearEntries();
    void AddEntry(const raw::ScanEntry& entry) { entries_.push_back(entry); }
    std::optional<raw::ScanEntry> EntryAt(std::size_t row) const;
    // Tells the observers that the entries are complete.
    void EntriesSettled();

    // --- The list of entries as shown: sorted and filtered ---
    // Rows shown, and the entry (its index in Entries()) a row shows.
    std::size_t ShownCount() const { return ordered_ ? shown_.size() : entries_.size(); }
    std::optional<std::size_t> ShownEntryIndex(std::size_t row) const;
    // Sorts the rows by a column, ties in the order found; nothing: in the
    // order found. A sort by a column that a row has no value in puts it
    // first. The entries themselves stay as the scan found them. Either
    // leaves no row selected.
    void SortEntries(std::optional<ListColumn> column, bool descending);
    void FilterEntries(const EntryFilter& filter);
    const EntryFilter& Filter() const { return filter_; }
    // Whether a column has a value for this file (the sector only in a raw
    // CD image, the path only in a disc whose file system could be read).
    bool HasColumn(ListColumn column) const;
    // What an entry's row shows in a column; nothing when the file doesn't
    // tell (a header that can't be read, the thumbnail's column, a hit in no
    // file). The path's value is its place in the paths' alphabetical order,
    // which is what the rows sort by.
    std::optional<std::int64_t> ListValue(const raw::ScanEntry& entry, ListColumn column);
    // The text of that cell: the value in decimal, the path itself, "" without
    // one.
    std::string ListText(const raw::ScanEntry& entry, ListColumn column);
    EntryDetails DetailsOf(const raw::ScanEntry& entry) { return ReadEntryDetails(raw_, entry); }
    // The thumbnail of entry index, made when first asked for (0 x 0 when
    // its TIM can't be read).
    const Thumbnail& ThumbnailOf(std::size_t index);
    // Thumbnails kept at most.
    static constexpr std::size_t kThumbnailsKept = 512;
    std::size_t ThumbnailsHeld() const { return thumbnails_.Size(); }

    // Shows each entry's TIM as its row is selected.
    bool followSelection = true;

    // The row whose TIM a double click shows, counted as the list shows its
    // rows; -1 for none.
    std::int64_t selectedRow = -1;
    // A change of an entry's state as the list reports it.
    void OnEntryStateChanged(std::int64_t row, unsigned oldState, unsigned newState);

    // --- CLUT edits ---
    // Entries in a set of the image's CLUT.
    std::uint32_t ClutSetSize() const { return ClutSetEntries(image.bpp); }
    // The colour of entry index of the current set; nothing when the CLUT
    // doesn't hold it.
    std::optional<PsxColor> ClutColor(std::uint32_t index) const;
    // Writes it; false (and nothing written) when the CLUT doesn't hold it.
    bool SetClutColor(std::uint32_t index, PsxColor color);
    // An edit of the CLUT that no saved file holds yet: undoing back to what
    // was saved leaves none.
    bool HasUnsavedChanges() const { return savedAt_ != applied_; }
    // Undo and redo the CLUT edits of this image, one at a time; each shows
    // the set it changed. False when there is nothing to undo or redo.
    bool CanUndo() const { return applied_ != 0; }
    bool CanRedo() const { return applied_ < edits_.size(); }
    bool Undo();
    bool Redo();

  private:
    std::optional<std::size_t> ClutOffset(std::uint32_t index) const;
    std::optional<Failure> ReadImage(bool isTim, OriginsRequest& origins);
    std::optional<Failure> ReadEntryTim(std::uint64_t position);
    LoadOutcome FinishLoad(std::optional<Failure> failure, std::uint64_t position);
    void PictureChanged();
    void ForgetEdits();

    // One CLUT edit: the entry's byte offset in the CLUT, the set shown then,
    // and its colour before and after.
    struct ClutEdit {
        std::size_t offset;
        std::int32_t set;
        PsxColor before;
        PsxColor after;
    };
    void ApplyEdit(const ClutEdit& edit, PsxColor color);

    void ArrangeEntries();

    raw::RawData raw_;
    // The RAW file's file system, when it is a disc that has one; and the
    // place of each of its extents' paths in alphabetical order (one rank
    // for extents of the same file).
    std::optional<disc::DiscFiles> discFiles_;
    std::vector<std::uint32_t> pathRanks_;
    const disc::DiscFiles::Extent* ExtentOf(const raw::ScanEntry& entry) const;
    std::vector<raw::ScanEntry> entries_;
    // The rows' entries while sorted or filtered; otherwise every entry in
    // the order found, with no index held.
    std::vector<std::uint32_t> shown_;
    bool ordered_ = false;
    std::optional<ListColumn> sortColumn_;
    bool sortDescending_ = false;
    EntryFilter filter_;
    ThumbnailCache thumbnails_{kThumbnailsKept};
    std::uint64_t imagePosition_ = 0;
    // edits_[0, applied_) are in the CLUT; the rest can be redone. savedAt_
    // is applied_ as the file was last saved or loaded, or kNever once the
    // edits that led there were dropped.
    static constexpr std::size_t kNever = static_cast<std::size_t>(-1);
    std::vector<ClutEdit> edits_;
    std::size_t applied_ = 0;
    std::size_t savedAt_ = 0;
    std::vector<Observer*> observers_;
};

}  // namespace pixalto::workspace
