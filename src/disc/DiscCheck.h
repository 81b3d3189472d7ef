#pragma once
// Checking a raw CD image sector by sector: how many sectors of each kind it
// holds and which ones carry an EDC or ECC that doesn't match their bytes.
// For a user to verify an image before and after an insertion.

#include <cstdint>
#include <vector>

#include "disc/SectorFormat.h"
#include "platform/File.h"

namespace pixalto::disc {

struct BadSector {
    std::uint64_t index = 0;  // sector number in the file, from 0; its offset is index * 2,352
    SectorKind kind = SectorKind::Other;
    bool edcBad = false;
    bool eccBad = false;
};

struct DiscCheckResult {
    std::uint64_t mode1 = 0;
    std::uint64_t mode2Form1 = 0;
    std::uint64_t mode2Form2 = 0;
    std::uint64_t other = 0;  // no sync (audio) or a mode without codes
    // Bytes after the last whole sector (a truncated image); not checked.
    std::uint64_t partialTailBytes = 0;
    // True when the file could not be read to its end; the counts cover
    // what was read.
    bool readFailed = false;
    std::vector<BadSector> bad;  // in file order

    std::uint64_t SectorCount() const { return mode1 + mode2Form1 + mode2Form2 + other; }
};

// Reads the whole file from its start in large pieces; the position moves.
DiscCheckResult CheckDisc(File& file);

}  // namespace pixalto::disc
