#pragma once
// Replacing files without ever destroying them: a new file is written under a
// temporary name in the target's folder and moved over the target only once
// every byte has been written and the file closed. Until then, and after any
// failure, the target is exactly what it was.

#include <string>

#include "platform/File.h"

namespace pixalto {

class PendingFile {
  public:
    explicit PendingFile(std::string target) : target_(std::move(target)) {}
    ~PendingFile();  // removes the temporary file unless it was committed
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    // Creates the temporary file and opens it for writing; false when the
    // folder doesn't allow it.
    bool Create();
    File& file() { return file_; }
    // Closes the temporary file; false when it couldn't be written out.
    bool Finish();
    // Moves the finished file over the target.
    bool Commit();

    const std::string& Target() const { return target_; }

  private:
    std::string target_;
    std::string temporary_;
    File file_;
};

// Moves an existing file at path to a fresh name in its folder and stores that
// name in backup ("" when there was no file). False when it couldn't be moved.
bool MoveAside(const std::string& path, std::string& backup);
// Undoes MoveAside: puts backup back at path, or, with no backup, removes
// whatever is at path now.
void PutBack(const std::string& path, const std::string& backup);
// Removes a backup once it is no longer needed.
void DropBackup(const std::string& backup);

}  // namespace pixalto
