#pragma once
// Writes kept in memory instead of going to the file: what an insertion would
// change, for a dry run or for a patch. Runs of bytes by file offset, merged
// where they meet or overlap, the later write winning.

#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

namespace pixalto::disc {

class PendingWrites {
  public:
    void Put(std::uint64_t offset, const std::uint8_t* data, std::size_t count);
    // Copies the pending bytes among offset ... offset + count - 1 over bytes,
    // which hold the file's bytes there: what the file would read.
    void Overlay(std::uint64_t offset, std::uint8_t* bytes, std::size_t count) const;

    const std::map<std::uint64_t, std::vector<std::uint8_t>>& Runs() const { return runs_; }
    bool Empty() const { return runs_.empty(); }

  private:
    std::map<std::uint64_t, std::vector<std::uint8_t>> runs_;
};

}  // namespace pixalto::disc
