#pragma once
// Patches of exactly the bytes an insertion would change, for shipping
// instead of the changed image: PPF 3.0 (the PlayStation scene's own, with
// undo data) and IPS (plain files up to 16 MiB).

#include <cstdint>
#include <string_view>
#include <vector>

#include "disc/PendingWrites.h"
#include "platform/Error.h"
#include "platform/File.h"

namespace pixalto::disc {

// A stretch of bytes that differ: what the file holds there and what it
// would. Bytes past the file's end (a plain file that grows) have none in
// before, which is then shorter than after.
struct PatchChange {
    std::uint64_t offset = 0;
    std::vector<std::uint8_t> before;
    std::vector<std::uint8_t> after;
};

// The stretches where pending differs from file, in order; bytes that stay
// the same are left out. CouldntReadToEnd when the file can't be read.
Result<std::vector<PatchChange>> ChangesOf(const PendingWrites& pending, File& file);

// A PPF 3.0 patch of changes with undo data and description (cut to its 50
// bytes). When the original holds the 1,024 bytes from 0x9320 and no change
// touches them, they go in the patch for the applier to check the image by.
std::vector<std::uint8_t> MakePpf(const std::vector<PatchChange>& changes,
                                  std::string_view description, File& original);

// An IPS patch of changes to original; IpsPastLimit (with the first such
// offset) when a change lies past the 16 MiB its 3-byte offsets reach.
Result<std::vector<std::uint8_t>> MakeIps(const std::vector<PatchChange>& changes, File& original);

}  // namespace pixalto::disc
