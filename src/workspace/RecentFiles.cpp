#include "workspace/RecentFiles.h"

#include <algorithm>
#include <iterator>

namespace pixalto::workspace {
namespace {

constexpr const char* kKindNames[] = {"tim", "bmp", "raw"};

}  // namespace

const char* KindName(OpenedAs kind) {
    return kKindNames[static_cast<std::size_t>(kind)];
}

std::optional<OpenedAs> KindNamed(const std::string& name) {
    for (std::size_t i = 0; i < std::size(kKindNames); ++i) {
        if (name == kKindNames[i]) {
            return static_cast<OpenedAs>(i);
        }
    }
    return std::nullopt;
}

RecentFiles::RecentFiles(const std::vector<RecentFile>& kept) {
    // Oldest first, so that the newest ends at the front and an earlier
    // copy of a path gives way to the newer one.
    for (auto file = kept.rbegin(); file != kept.rend(); ++file) {
        if (!file->path.empty()) {
            Add(*file);
        }
    }
}

void RecentFiles::Add(const RecentFile& file) {
    Remove(file.path);
    files_.insert(files_.begin(), file);
    if (files_.size() > kCapacity) {
        files_.resize(kCapacity);
    }
}

void RecentFiles::Remove(const std::string& path) {
    std::erase_if(files_, [&path](const RecentFile& file) { return file.path == path; });
}

}  // namespace pixalto::workspace
