#pragma once
// Telling whether two paths lead to one file: the same device and inode once
// every symbolic link is followed, so that a file reached under another name
// or through a link is still recognised.

#include <sys/types.h>

#include <optional>
#include <string>

namespace pixalto::raw {

struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    bool operator==(const FileIdentity&) const = default;
};

// The file path leads to; nothing when there is none (or it can't be looked up).
std::optional<FileIdentity> IdentityOf(const std::string& path);

}  // namespace pixalto::raw
