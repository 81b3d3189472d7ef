#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "image/ImageState.h"
#include "platform/Error.h"
#include "platform/FileReplace.h"

namespace pixalto {

// Stores the image at path: the TIM side in the TIM layout when asTim, else
// the BMP side, with the sidecar file beside it (same folder and title,
// ".tmext") when it has sidecar content. Every value is written as held in
// state. Files are replaced only once all of their bytes are written: on any
// failure (FailedSavingTim or FailedSavingBmp, naming the file and the
// system's reason) no file is new or changed.
Error WriteImageFile(const ImageState& state, const std::string& path, bool asTim);

// Image files written as one group, as a folder conversion writes them: Add
// writes a file's bytes to temporaries beside it; Commit flushes the whole
// group to the disk at once, puts each file in its place in the order added,
// then flushes their folder once. Each file keeps WriteImageFile's guarantee,
// and a stop by a signal at any moment removes the group's temporaries.
class ImageWriteBatch {
  public:
    // A BMP and its sidecar each: as many files as can be cleaned up on a
    // stop, shared by the group being committed and the ones written after.
    static constexpr std::size_t kCapacity = kMostPendingFiles / 2;

    // Writes the image as WriteImageFile would, short of the flush; the
    // failure is the one it would give, and leaves nothing of this file.
    Error Add(const ImageState& state, const std::string& path, bool asTim);
    std::size_t Size() const { return count_; }
    bool Full() const { return count_ == kCapacity; }
    // Puts the added files in place; errors[i] gets the failure of the i-th
    // one added (None when it took its place). Empties the batch.
    void Commit(std::span<Error> errors);

    // Add for file number index of a run (entry index % kCapacity), for
    // files written on several threads: each may stage its own entries while
    // the others do, as long as no two stage the same entry before it is
    // committed.
    Error Stage(std::size_t index, const ImageState& state, const std::string& path, bool asTim);
    // Commit for files first to first + errors.size() - 1 (at most
    // kCapacity), in that order, staged or not (an entry that holds no file
    // gets None). Empties those entries. Without flushFolder, the renames are
    // left for the next group's flush, which takes the whole file system
    // with it: only a run's last group flushes its folder.
    void CommitEntries(std::size_t first, std::span<Error> errors, bool flushFolder = true);

  private:
    struct Entry {
        std::optional<PendingFile> image;
        std::optional<PendingFile> sidecar;
        bool asTim = false;
    };
    std::array<Entry, kCapacity> entries_;
    std::size_t count_ = 0;
    // The folders of renames left for a later flush.
    std::vector<std::string> unsynced_;
};

}  // namespace pixalto
