#include "workspace/Workspace.h"

#include <algorithm>
#include <cmath>

#include "image/LoadImage.h"
#include "image/Writer.h"
#include "platform/ByteOrder.h"
#include "raw/RawImage.h"

namespace pixalto::workspace {

void Workspace::AddObserver(Observer& observer) {
    observers_.push_back(&observer);
}

void Workspace::RemoveObserver(Observer& observer) {
    std::erase(observers_, &observer);
}

void Workspace::PictureChanged() {
    for (Observer* observer : observers_) {
        observer->PictureChanged();
    }
}

// --- The image ---

LoadOutcome Workspace::OpenImage(bool isTim, OriginsRequest& origins) {
    image.clutData = {};
    image.imageData = {};
    return FinishLoad(ReadImage(isTim, origins), 0);
}

std::optional<Failure> Workspace::ReadImage(bool isTim, OriginsRequest& origins) {
    File file;
    if (!file.Open(path, File::Mode::Read)) {
        return Failure{file.LastError().As(ErrorCode::CouldntOpenFile), Step::Opening};
    }
    if (Error error = LoadImage(image, file, isTim)) {
        return Failure{std::move(error), isTim ? Step::ReadingTim : Step::ReadingBmp};
    }
    if (!isTim) {
        if (Error error = ConvertImage(image, /*toBmp=*/false, View().currentSet, origins)) {
            return Failure{std::move(error), Step::ConvertingBmp};
        }
        image.ReleaseBmpSide();
    }
    return std::nullopt;
}

LoadOutcome Workspace::OpenSelectedEntry() {
    const auto index =
        selectedRow < 0 ? std::nullopt : ShownEntryIndex(static_cast<std::size_t>(selectedRow));
    const auto entry = index ? EntryAt(*index) : std::nullopt;
    if (!entry) {
        return {};
    }
    image.clutData = {};
    image.imageData = {};
    return FinishLoad(ReadEntryTim(entry->position), entry->position);
}

std::optional<Failure> Workspace::ReadEntryTim(std::uint64_t position) {
    // The RAW file stays open from its scan, read with the layout found then;
    // entries listed some other way are read from the file at path.
    Error error = raw_.IsOpen() ? raw::LoadTimAt(raw_, position, image)
                                : raw::LoadTimAt(path, position, raw::LayoutChoice::Auto, image);
    if (!error) {
        return std::nullopt;
    }
    const Step step = error.code == ErrorCode::CouldntOpenFile ? Step::Opening : Step::ReadingTim;
    return Failure{std::move(error), step};
}

LoadOutcome Workspace::FinishLoad(std::optional<Failure> failure, std::uint64_t position) {
    ForgetEdits();
    if (failure) {
        // Nothing of a failed load stays: no half-read CLUT, no BMP side.
        image.ReleaseBuffers();
        image.ReleaseBmpSide();
        PictureChanged();
        return {LoadResult::Failed, std::move(failure)};
    }
    imagePosition_ = position;
    // A set beyond this image's sets (kept from the previous image) becomes
    // its last set.
    const auto sets = static_cast<std::int32_t>(image.ClutSetCount());
    if (currentSet >= sets) {
        currentSet = std::max(sets - 1, 0);
    }
    PictureChanged();
    return {LoadResult::Loaded, std::nullopt};
}

void Workspace::CloseImage() {
    image.clutData = {};
    if (image.sidecarSize != 0) {
        image.sidecarData = {};
        image.sidecarSize = 0;
    }
    image.imageData = {};
    image.paintedWidth = 0;
    image.paintedHeight = 0;
    currentSet = 0;
    imagePosition_ = 0;
    ForgetEdits();
    raw_.Close();
    discFiles_.reset();
    pathRanks_.clear();
    PictureChanged();
}

void Workspace::ReleaseImage() {
    image.ReleaseBuffers();
    ForgetEdits();
    PictureChanged();
}

std::optional<Failure> Workspace::SaveTim(const std::string& target) {
    if (Error error = WriteImageFile(image, target, /*asTim=*/true)) {
        return Failure{std::move(error), Step::Writing};
    }
    savedAt_ = applied_;
    return std::nullopt;
}

std::optional<Failure> Workspace::SaveBmp(const std::string& target, OriginsRequest& origins) {
    std::optional<Failure> failure;
    if (Error error = ConvertImage(image, /*toBmp=*/true, View().currentSet, origins)) {
        failure = Failure{std::move(error), Step::ConvertingToBmp};
    } else if (Error unwritten = WriteImageFile(image, target, /*asTim=*/false)) {
        failure = Failure{std::move(unwritten), Step::Writing};
    }
    // The BMP side only stages the file.
    image.ReleaseBmpSide();
    return failure;
}

// --- View options ---

ViewOptions Workspace::View() const {
    ViewOptions view;
    view.currentSet = static_cast<std::uint32_t>(std::max(currentSet, 0));
    view.splitImage = splitImage;
    view.transparency = transparency;
    view.checkerboard = checkerboard;
    return view;
}

void Workspace::SetZoom(int factor) {
    zoom = std::clamp(factor, kMinZoom, kMaxZoom);
}

double Workspace::Scale(double pixelRatio) const {
    return zoom * (devicePixels ? 1.0 : std::max(pixelRatio, 1.0));
}

void Workspace::FitZoom(std::int64_t width, std::int64_t height, double pixelRatio) {
    const DrawableExtent extent = DrawableExtentOf(image, splitImage);
    int best = kMinZoom;
    if (image.IsLoaded() && extent.width != 0 && extent.rows != 0) {
        for (int factor = kMinZoom; factor <= kMaxZoom; ++factor) {
            SetZoom(factor);
            if (extent.width * Scale(pixelRatio) <= static_cast<double>(width) &&
                extent.rows * Scale(pixelRatio) <= static_cast<double>(height)) {
                best = factor;
            }
        }
    }
    SetZoom(best);
}

Workspace::Size Workspace::ZoomedSize(double pixelRatio) const {
    const DrawableExtent extent = DrawableExtentOf(image, splitImage);
    const double scale = Scale(pixelRatio);
    return {static_cast<std::int64_t>(std::floor(extent.width * scale)),
            static_cast<std::int64_t>(std::floor(extent.rows * scale))};
}

bool Workspace::ScrollTo(std::int64_t x, std::int64_t y, std::int64_t width, std::int64_t height,
                         double pixelRatio) {
    const Size size = ZoomedSize(pixelRatio);
    const std::int64_t newX =
        std::clamp<std::int64_t>(x, 0, std::max<std::int64_t>(size.width - width, 0));
    const std::int64_t newY =
        std::clamp<std::int64_t>(y, 0, std::max<std::int64_t>(size.height - height, 0));
    const bool changed = newX != scrollX || newY != scrollY;
    scrollX = newX;
    scrollY = newY;
    return changed;
}

std::optional<PixelProbe> Workspace::PixelUnder(std::int64_t x, std::int64_t y,
                                                double pixelRatio) const {
    if (x < 0 || y < 0) {
        return std::nullopt;
    }
    const double scale = Scale(pixelRatio);
    const double imageX = std::floor(static_cast<double>(x + scrollX) / scale);
    const double imageY = std::floor(static_cast<double>(y + scrollY) / scale);
    if (imageX > 0xFFFFFFFFu || imageY > 0xFFFFFFFFu) {
        return std::nullopt;
    }
    return ProbePixel(image, View(), static_cast<std::uint32_t>(imageX),
                      static_cast<std::uint32_t>(imageY));
}

namespace {

std::string Hex4(std::uint16_t word) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text = "0x";
    for (int shift = 12; shift >= 0; shift -= 4) {
        text += kDigits[(word >> shift) & 0xF];
    }
    return text;
}

}  // namespace

std::string Workspace::StatusLine(const std::optional<PixelProbe>& pixel) const {
    if (!image.IsLoaded()) {
        return {};
    }
    if (!pixel) {
        const DrawableExtent extent = DrawableExtentOf(image, splitImage);
        std::string text = std::to_string(image.pixelWidth) + " x " +
                           std::to_string(RowsToPaint(image, splitImage));
        if (extent.width != image.pixelWidth || extent.rows != RowsToPaint(image, splitImage)) {
            text += " (" + std::to_string(extent.width) + " x " + std::to_string(extent.rows) +
                    " with data)";
        }
        text += "   image at " + std::to_string(image.imageOrgX) + ", " +
                std::to_string(image.imageOrgY);
        if (!image.clutData.empty()) {
            text += "   CLUT at " + std::to_string(image.clutOrgX) + ", " +
                    std::to_string(image.clutOrgY);
        }
        return text;
    }
    std::string text = std::to_string(pixel->x) + ", " + std::to_string(pixel->y);
    if (pixel->rgb) {
        return text + "   RGB " + std::to_string(RedOf(*pixel->rgb)) + ", " +
               std::to_string(GreenOf(*pixel->rgb)) + ", " + std::to_string(BlueOf(*pixel->rgb));
    }
    if (pixel->clutIndex) {
        text += "   index " + std::to_string(*pixel->clutIndex);
    }
    if (pixel->word) {
        text += "   word " + Hex4(*pixel->word) + "   STP " +
                std::string(PsxStp(*pixel->word) ? "1" : "0");
    } else {
        text += "   not in the CLUT";
    }
    return text + (pixel->undrawn ? "   transparent" : "   opaque");
}

void Workspace::ToggleSplitImage() {
    splitImage = !splitImage;
    PictureChanged();
}

void Workspace::ToggleTransparency() {
    transparency = !transparency;
    PictureChanged();
}

void Workspace::ToggleCheckerboard() {
    checkerboard = !checkerboard;
    PictureChanged();
}

bool Workspace::CanChooseSet() const {
    // Nothing to choose from: no CLUT, one set, or less than one whole set.
    return !image.clutData.empty() && image.ClutSetCount() > 1;
}

std::int32_t Workspace::LastSelectableSet() const {
    const auto sets = static_cast<std::int32_t>(image.ClutSetCount());
    return image.bpp > 8 ? 0 : std::max(sets - 1, 0);
}

void Workspace::SelectSet(std::int32_t set) {
    currentSet = set;
    PictureChanged();
}

// --- The RAW file and its entries ---

bool Workspace::OpenRawFile() {
    discFiles_.reset();
    pathRanks_.clear();
    if (!raw_.Open(path, File::Mode::ReadRaw, raw::LayoutChoice::Auto)) {
        return false;
    }
    // A plain file is a disc only when it holds a file system (an .iso).
    discFiles_ = disc::DiscFiles::Read(path, raw_.Layout());
    if (discFiles_) {
        const auto& extents = discFiles_->Extents();
        std::vector<std::uint32_t> byPath(extents.size());
        for (std::size_t i = 0; i < byPath.size(); ++i) {
            byPath[i] = static_cast<std::uint32_t>(i);
        }
        std::sort(byPath.begin(), byPath.end(), [&](std::uint32_t a, std::uint32_t b) {
            return extents[a].path < extents[b].path;
        });
        pathRanks_.resize(extents.size());
        std::uint32_t rank = 0;
        for (std::size_t i = 0; i < byPath.size(); ++i) {
            if (i != 0 && extents[byPath[i]].path != extents[byPath[i - 1]].path) {
                ++rank;
            }
            pathRanks_[byPath[i]] = rank;
        }
    }
    return true;
}

const disc::DiscFiles::Extent* Workspace::ExtentOf(const raw::ScanEntry& entry) const {
    return discFiles_ ? discFiles_->ExtentAt(discFiles_->PlaceOf(entry.position).lba) : nullptr;
}

bool Workspace::DiscWithoutFileSystem() const {
    return raw_.IsOpen() && raw_.IsDisc() && !discFiles_;
}

std::string Workspace::RawLayoutNote() {
    if (!raw_.IsOpen() || !raw_.IsDisc()) {
        return {};
    }
    return "Read as a " + std::string(disc::LayoutName(raw_.Layout())) + " disc image";
}

void Workspace::ClearEntries() {
    entries_.clear();
    entries_.shrink_to_fit();
    // Thumbnails are held by entry; a sort or a filter keeps them.
    thumbnails_.Clear();
    EntriesSettled();
}

std::optional<std::size_t> Workspace::ShownEntryIndex(std::size_t row) const {
    if (row >= ShownCount()) {
        return std::nullopt;
    }
    return ordered_ ? shown_[row] : row;
}

void Workspace::SortEntries(std::optional<ListColumn> column, bool descending) {
    sortColumn_ = column;
    sortDescending_ = descending;
    // The selected row would show another entry now.
    selectedRow = -1;
    EntriesSettled();
}

void Workspace::FilterEntries(const EntryFilter& filter) {
    filter_ = filter;
    selectedRow = -1;
    EntriesSettled();
}

bool Workspace::HasColumn(ListColumn column) const {
    switch (column) {
        case ListColumn::Sector:
            return raw_.IsDisc() || discFiles_.has_value();
        case ListColumn::Path:
            return discFiles_.has_value();
        default:
            return true;
    }
}

std::optional<std::int64_t> Workspace::ListValue(const raw::ScanEntry& entry, ListColumn column) {
    switch (column) {
        case ListColumn::FileNumber:
            return entry.fileNumber;
        case ListColumn::Position:
            return static_cast<std::int64_t>(entry.position);
        case ListColumn::Height:
            return entry.height;
        case ListColumn::Sector:
            // A plain file holding a file system (an .iso) has sectors too.
            if (discFiles_) {
                return static_cast<std::int64_t>(discFiles_->PlaceOf(entry.position).lba);
            }
            if (!raw_.IsDisc()) {
                return std::nullopt;
            }
            return static_cast<std::int64_t>(entry.position /
                                             disc::GeometryOf(raw_.Layout()).sectorSize);
        case ListColumn::Path:
            if (const auto* extent = ExtentOf(entry)) {
                return pathRanks_[static_cast<std::size_t>(extent - discFiles_->Extents().data())];
            }
            return std::nullopt;
        case ListColumn::Thumbnail:
            return std::nullopt;
        case ListColumn::Width:
        case ListColumn::Bpp:
        case ListColumn::ClutSets:
            break;
    }
    const EntryDetails details = DetailsOf(entry);
    if (details.bpp == 0) {
        return std::nullopt;
    }
    switch (column) {
        case ListColumn::Width:
            return details.pixelWidth;
        case ListColumn::Bpp:
            return details.bpp;
        default:
            return details.clutSets;
    }
}

std::string Workspace::ListText(const raw::ScanEntry& entry, ListColumn column) {
    if (column == ListColumn::Path) {
        const auto* extent = ExtentOf(entry);
        return extent ? extent->path : std::string();
    }
    const auto value = ListValue(entry, column);
    return value ? std::to_string(*value) : std::string();
}

void Workspace::ArrangeEntries() {
    shown_.clear();
    ordered_ = sortColumn_.has_value() || !filter_.Empty();
    if (!ordered_) {
        shown_.shrink_to_fit();
        return;
    }
    // Entries are numbered in int32: every index fits.
    const bool needsDetails = filter_.width || filter_.bpp;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const raw::ScanEntry& entry = entries_[i];
        if (filter_.height && entry.height != *filter_.height) {
            continue;
        }
        if (needsDetails) {
            const EntryDetails details = DetailsOf(entry);
            if ((filter_.width && (details.bpp == 0 || details.pixelWidth != *filter_.width)) ||
                (filter_.bpp && details.bpp != *filter_.bpp)) {
                continue;
            }
        }
        shown_.push_back(static_cast<std::uint32_t>(i));
    }
    if (!sortColumn_) {
        return;
    }
    // Each key read once: a column from the headers costs a read per entry.
    std::vector<std::int64_t> keys(entries_.size());
    for (std::uint32_t index : shown_) {
        keys[index] = ListValue(entries_[index], *sortColumn_).value_or(-1);
    }
    std::stable_sort(shown_.begin(), shown_.end(), [&](std::uint32_t a, std::uint32_t b) {
        return sortDescending_ ? keys[a] > keys[b] : keys[a] < keys[b];
    });
}

const Thumbnail& Workspace::ThumbnailOf(std::size_t index) {
    if (const Thumbnail* held = thumbnails_.Find(index)) {
        return *held;
    }
    Thumbnail made;
    if (index < entries_.size() && raw_.IsOpen()) {
        ImageState tim;
        if (!raw::LoadTimAt(raw_, entries_[index].position, tim) && tim.IsLoaded()) {
            made = MakeThumbnail(tim, kThumbnailSide);
        }
    }
    return thumbnails_.Add(index, std::move(made));
}

std::optional<raw::ScanEntry> Workspace::EntryAt(std::size_t row) const {
    if (row >= entries_.size()) {
        return std::nullopt;
    }
    return entries_[row];
}

void Workspace::EntriesSettled() {
    ArrangeEntries();
    for (Observer* observer : observers_) {
        observer->EntriesChanged();
    }
}

void Workspace::OnEntryStateChanged(std::int64_t row, unsigned oldState, unsigned newState) {
    if (oldState == kEntrySelected) {
        selectedRow = -1;
    } else if (newState == 0) {
        selectedRow = 0;
    } else if (newState == (kEntryFocused | kEntrySelected)) {
        selectedRow = row;
    }
}

// --- CLUT edits ---

std::optional<std::size_t> Workspace::ClutOffset(std::uint32_t index) const {
    if (index >= ClutSetSize()) {
        return std::nullopt;
    }
    const std::uint64_t entry = std::uint64_t{View().currentSet} * ClutSetSize() + index;
    // A CLUT shorter than the set, or a set beyond the CLUT, has no entry
    // here: nothing is read or written beyond the CLUT.
    if (entry >= image.clutData.size() / 2) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(entry * 2);
}

std::optional<PsxColor> Workspace::ClutColor(std::uint32_t index) const {
    const auto offset = ClutOffset(index);
    if (!offset) {
        return std::nullopt;
    }
    return ReadU16LE(image.clutData.data() + *offset);
}

bool Workspace::SetClutColor(std::uint32_t index, PsxColor color) {
    const auto offset = ClutOffset(index);
    if (!offset) {
        return false;
    }
    // A new edit drops the ones undone before it; if the saved state was
    // among them, no undo can reach it again.
    edits_.resize(applied_);
    if (savedAt_ > applied_) {
        savedAt_ = kNever;
    }
    const ClutEdit edit{*offset, currentSet, ReadU16LE(image.clutData.data() + *offset), color};
    edits_.push_back(edit);
    ++applied_;
    ApplyEdit(edit, color);
    return true;
}

bool Workspace::Undo() {
    if (!CanUndo()) {
        return false;
    }
    --applied_;
    ApplyEdit(edits_[applied_], edits_[applied_].before);
    return true;
}

bool Workspace::Redo() {
    if (!CanRedo()) {
        return false;
    }
    ++applied_;
    ApplyEdit(edits_[applied_ - 1], edits_[applied_ - 1].after);
    return true;
}

void Workspace::ApplyEdit(const ClutEdit& edit, PsxColor color) {
    // Every way the CLUT goes forgets the edits, so the offset is inside
    // the CLUT they were made in; checked all the same, as a write outside
    // it would cost memory that isn't the image's.
    if (edit.offset + 2 > image.clutData.size()) {
        return;
    }
    WriteU16LE(image.clutData.data() + edit.offset, color);
    currentSet = edit.set;
    PictureChanged();
}

void Workspace::ForgetEdits() {
    edits_.clear();
    applied_ = 0;
    savedAt_ = 0;
}

}  // namespace pixalto::workspace
