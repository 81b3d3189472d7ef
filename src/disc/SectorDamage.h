#pragma once
// Finding damage before data is written: a write through the view gives each
// sector it touches fresh EDC and ECC, which would hide a sector that was
// already bad (a damaged byte outside the new data) from every later check.

#include <cstdint>
#include <optional>

#include "disc/DiscView.h"
#include "disc/SectorCodes.h"
#include "platform/File.h"

namespace pixalto::disc {

struct DamagedSector {
    std::uint64_t index =
        0;              // sector number in the file, from 0; at index * the view's SectorSize()
    SectorCheck check;  // its kind, and which of its codes don't match
};

// The first sector, in file order, among those that hold the view's bytes
// offset ... offset + count - 1, whose EDC or ECC doesn't match its bytes (a
// Form 2 EDC of zero, not computed, matches). Nothing when every one matches;
// sectors past the view's end or that can't be read are not looked at. file
// is the file the view reads, read here directly so that the cache plays no
// part; its position moves.
std::optional<DamagedSector> FirstDamagedSector(DiscView& view, File& file, std::uint64_t offset,
                                                std::uint64_t count);

// The sectors in file order that hold the view's bytes offset ... offset +
// count - 1 (as far as the view reaches), and how many of them have codes
// that don't match, as FirstDamagedSector judges them. Nothing for a plain
// view, no bytes, or none the view holds.
struct TouchedSectors {
    std::uint64_t first = 0;  // sector numbers in the file
    std::uint64_t last = 0;
    std::uint64_t damaged = 0;
};
std::optional<TouchedSectors> CountTouchedSectors(DiscView& view, File& file, std::uint64_t offset,
                                                  std::uint64_t count);

}  // namespace pixalto::disc
