#pragma once
// A fresh folder under the system's temporary folder, removed with all its
// contents when the object goes.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace pixalto::testing {

class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::string File(const std::string& name) const { return (path_ / name).string(); }
    // Writes bytes to name inside the folder and returns the full path.
    std::string Write(const std::string& name, const std::vector<std::uint8_t>& bytes) const;

  private:
    std::filesystem::path path_;
};

std::vector<std::uint8_t> ReadAll(const std::string& path);

}  // namespace pixalto::testing
