#pragma once
// The files last opened or scanned, newest first, for File > Recent: each
// file once, at most eight, each with the way it was opened so that choosing
// it opens it the same way again.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace pixalto::workspace {

enum class OpenedAs { Tim, Bmp, Raw };

struct RecentFile {
    std::string path;
    OpenedAs kind = OpenedAs::Tim;
    bool operator==(const RecentFile&) const = default;
};

// The name a kind is kept under, and the kind of a kept name (nothing for a
// name this program never writes).
const char* KindName(OpenedAs kind);
std::optional<OpenedAs> KindNamed(const std::string& name);

class RecentFiles {
  public:
    static constexpr std::size_t kCapacity = 8;

    RecentFiles() = default;
    // A list as kept, newest first: the rules hold whatever was kept.
    explicit RecentFiles(const std::vector<RecentFile>& kept);

    // To the front; the same path further down goes, and the oldest beyond
    // the capacity falls off.
    void Add(const RecentFile& file);
    void Remove(const std::string& path);
    void Clear() { files_.clear(); }
    const std::vector<RecentFile>& Files() const { return files_; }

  private:
    std::vector<RecentFile> files_;
};

}  // namespace pixalto::workspace
