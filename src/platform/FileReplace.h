#pragma once
// Replacing files without ever destroying them. A new file is written under a
// short temporary name in the target's folder, flushed to the disk, and only
// then renamed over the target, so until that moment, and after any failure,
// the target is exactly what it was.
//
// - A symbolic link is followed: the file it points to is replaced and the
//   link stays a link.
// - A target that exists must be a regular file the user may write; anything
//   else (a device, a FIFO, a folder) is refused before a byte is written.
// - The replacement keeps the old file's owner and mode bits, set-ID and
//   sticky bits included; where the owner can't be kept (only root may give
//   a file away), the set-ID bits are dropped. A new file gets 0666 less the
//   umask.
// - Temporary files are removed on failure, and also when the program is
//   stopped by SIGINT, SIGTERM or SIGHUP.
// - A group of files (a folder conversion) can be flushed together, which
//   costs one journal commit instead of one for each file, and their renames
//   made durable with one flush of their folder.

#include <span>
#include <string>

#include "platform/File.h"

namespace pixalto {

class PendingFile;
void FinishTogether(std::span<PendingFile* const> files, std::span<bool> finished);

class PendingFile {
  public:
    explicit PendingFile(std::string target) : target_(std::move(target)) {}
    ~PendingFile();  // removes the temporary file unless it was committed
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    // Checks the target and creates the temporary file beside the file that
    // will be replaced, open for writing; false when the target is refused or
    // the folder doesn't allow it.
    bool Create();
    File& file() { return file_; }
    // Flushes and closes the temporary file; false when it couldn't be
    // written out.
    bool Finish();
    // Closes the temporary file without flushing it, for FinishTogether to
    // flush with the rest of its group; false when it couldn't be closed.
    bool FinishLater();
    // Moves the finished file over the target.
    bool Commit();
    // Why Create, Finish or Commit failed, about Target (never the temporary
    // name, which would mean nothing to the user).
    const Error& LastError() const {
        return error_.code != ErrorCode::None ? error_ : file_.LastError();
    }

    // The path as given, and the file that Commit replaces: the end of its
    // chain of symbolic links (known after Create).
    const std::string& Target() const { return target_; }
    const std::string& Destination() const { return destination_; }

  private:
    friend void FinishTogether(std::span<PendingFile* const>, std::span<bool>);
    friend Error CommitBoth(PendingFile&, PendingFile&);

    std::string target_;
    std::string destination_;
    std::string temporary_;
    int cleanupSlot_ = -1;
    bool flushLater_ = false;
    bool replacing_ = false;  // the destination existed at Create
    File file_;
    Error error_;
};

// The largest number of files that may be pending at once and still be
// removed on a stop by a signal.
inline constexpr int kMostPendingFiles = 512;

// Finish for a group of files closed by FinishLater: one flush of the file
// system of each folder they are in, instead of one for each file. When a
// flush fails, every file of that folder fails with its reason, named by its
// target. finished[i] says whether files[i] is ready for Commit (its
// LastError says why not).
void FinishTogether(std::span<PendingFile* const> files, std::span<bool> finished);

// For a thread that creates temporaries while another commits them (a folder
// conversion's workers): the signals that stop the program go to the other
// threads, so that the cleanup never runs on this one while it is between
// creating a temporary and marking it for removal. A stop waits for the
// temporaries being created on other threads.
void LeaveStopsToOtherThreads();

// Makes committed renames durable: one flush of each folder the files are in.
void SyncFoldersOf(std::span<PendingFile* const> files);
// The same for one folder, named by its path ("" or ending in '/', as
// FolderOf gives it).
void SyncFolder(const std::string& folder);

// Commits two finished files as one change: first, then second. Should the
// second fail to take its place, the first target gets its old file back (or
// goes, when there was none). The old file of the first target stays at its
// name until the first rename, and a stop by a signal between the two renames
// puts it back, so it is never left only under a temporary name. Returns
// the failure of the commit that failed.
Error CommitBoth(PendingFile& first, PendingFile& second);

}  // namespace pixalto
