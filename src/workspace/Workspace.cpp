#include "workspace/Workspace.h"

#include <algorithm>

#include "image/FolderConvert.h"
#include "image/LoadImage.h"
#include "image/Writer.h"
#include "platform/ByteOrder.h"
#include "raw/Messages.h"
#include "raw/RawImage.h"

namespace pixalto::workspace {
namespace {

// The titles and texts the window shows for loading and storing an image.
constexpr const char* kTimErrorTitle = "TIM Error";
constexpr const char* kBmpErrorTitle = "BMP Error";
constexpr const char* kBmpConversionErrorTitle = "BMP conversion Error!";
constexpr const char* kConversionErrorTitle = "Conversion Error";
constexpr const char* kTimSaved = "TIM File has been saved!";
constexpr const char* kBmpSaved = "BMP File has been saved!";
constexpr const char* kFileSavedTitle = "File Saved";

Message CouldntOpen() {
    return {raw::msg::kCouldntOpenFile, raw::msg::kFileErrorTitle};
}

}  // namespace

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

std::optional<Message> Workspace::ReadImage(bool isTim, OriginsRequest& origins) {
    File file;
    if (!file.Open(path, File::Mode::Read)) {
        return CouldntOpen();
    }
    std::string failure = LoadImage(image, file, isTim);
    if (!failure.empty()) {
        return Message{failure, isTim ? kTimErrorTitle : kBmpErrorTitle};
    }
    if (!isTim) {
        failure = ConvertImage(image, /*toBmp=*/false, View().currentSet, origins);
        if (!failure.empty()) {
            return Message{failure, kBmpConversionErrorTitle};
        }
        image.ReleaseBmpSide();
    }
    return std::nullopt;
}

LoadOutcome Workspace::OpenSelectedEntry() {
    const auto entry =
        selectedRow < 0 ? std::nullopt : EntryAt(static_cast<std::size_t>(selectedRow));
    if (!entry) {
        return {};
    }
    image.clutData = {};
    image.imageData = {};
    return FinishLoad(ReadEntryTim(entry->position), entry->position);
}

std::optional<Message> Workspace::ReadEntryTim(std::uint64_t position) {
    // The RAW file stays open from its scan, read with the layout found then;
    // entries listed some other way are read from the file at path.
    const std::string failure =
        raw_.IsOpen() ? raw::LoadTimAt(raw_, position, image)
                      : raw::LoadTimAt(path, position, raw::LayoutChoice::Auto, image);
    if (failure == raw::kCouldntOpenFile) {
        return CouldntOpen();
    }
    if (!failure.empty()) {
        return Message{failure, kTimErrorTitle};
    }
    return std::nullopt;
}

LoadOutcome Workspace::FinishLoad(std::optional<Message> failure, std::uint64_t position) {
    unsaved_ = false;
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
    unsaved_ = false;
    raw_.Close();
    PictureChanged();
}

Message Workspace::SaveTim(const std::string& target) {
    if (!WriteImageFile(image, target, /*asTim=*/true)) {
        return {msg::kFailedSavingTim, msg::kErrorTitle};
    }
    unsaved_ = false;
    return {kTimSaved, kFileSavedTitle};
}

Message Workspace::SaveBmp(const std::string& target, OriginsRequest& origins) {
    const std::string failure = ConvertImage(image, /*toBmp=*/true, View().currentSet, origins);
    if (!failure.empty()) {
        image.ReleaseBmpSide();
        return {failure, kConversionErrorTitle};
    }
    const bool written = WriteImageFile(image, target, /*asTim=*/false);
    image.ReleaseBmpSide();
    if (!written) {
        return {msg::kFailedSavingBmp, msg::kErrorTitle};
    }
    return {kBmpSaved, kFileSavedTitle};
}

// --- View options ---

ViewOptions Workspace::View() const {
    ViewOptions view;
    view.currentSet = static_cast<std::uint32_t>(std::max(currentSet, 0));
    view.splitImage = splitImage;
    view.transparency = transparency;
    return view;
}

void Workspace::ToggleSplitImage() {
    splitImage = !splitImage;
    PictureChanged();
}

void Workspace::ToggleTransparency() {
    transparency = !transparency;
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
    return raw_.Open(path, File::Mode::ReadRaw, raw::LayoutChoice::Auto);
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
    EntriesSettled();
}

std::optional<raw::ScanEntry> Workspace::EntryAt(std::size_t row) const {
    if (row >= entries_.size()) {
        return std::nullopt;
    }
    return entries_[row];
}

void Workspace::EntriesSettled() {
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
    WriteU16LE(image.clutData.data() + *offset, color);
    unsaved_ = true;
    PictureChanged();
    return true;
}

}  // namespace pixalto::workspace
