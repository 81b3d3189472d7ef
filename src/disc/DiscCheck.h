#pragma once
// Checking a raw CD image sector by sector: how many sectors of each kind it
// holds and which ones are damaged: an EDC or ECC that doesn't match their
// bytes, a mode byte no sector has, or Mode 2 subheader copies that differ.
// For a user to verify an image before and after an insertion.

#include <cstdint>
#include <vector>

#include "disc/DiscLayout.h"
#include "disc/SectorFormat.h"
#include "platform/File.h"

namespace pixalto::disc {

enum class SectorFault {
    Codes,               // EDC or ECC wrong, as edcBad and eccBad say
    UnknownMode,         // a mode byte other than 0, 1 or 2
    SubheadersDisagree,  // Mode 2 with two different subheader copies
};

struct BadSector {
    std::uint64_t index = 0;              // sector number in the file, from 0
    SectorKind kind = SectorKind::Other;  // Other unless the fault is in the codes
    bool edcBad = false;
    bool eccBad = false;
    SectorFault fault = SectorFault::Codes;
    std::uint8_t mode = 0;  // the header's mode byte
};

// Consecutive sectors, from file sector first on.
struct SectorRun {
    std::uint64_t first = 0;
    std::uint64_t count = 0;
};

struct DiscCheckResult {
    // Why the check couldn't look at every sector: NotARawCdImage when the
    // file is shorter than one sector or has no sync in the first and is no
    // MODE2/2336 image (random bytes, a text, an ISO; nothing else is filled
    // in then), CouldntReadToEnd
    // when it could not be read to its end (the counts cover what was read),
    // OutOfMemory when no buffer could be had for the reading.
    Error failure;
    std::uint64_t mode1 = 0;
    std::uint64_t mode2Form1 = 0;
    std::uint64_t mode2Form2 = 0;
    // With a sync but no kind: Mode 0, and the damaged ones listed in bad
    // (an unknown mode, subheader copies that differ).
    std::uint64_t other = 0;
    // Without a sync: audio, or a data sector whose sync is damaged. Not
    // data, and not counted as bad.
    std::uint64_t notData = 0;
    std::vector<SectorRun> notDataRuns;  // in file order
    // Bytes after the last whole sector (a truncated image); not checked.
    std::uint64_t partialTailBytes = 0;
    std::vector<BadSector> bad;  // in file order
    // The bytes each sector takes in the file: 2,352, or 2,336 for a Mode 2
    // image stored without sync and headers. A sector's offset is its index
    // times this.
    std::size_t sectorSize = kSectorSize;

    std::uint64_t SectorCount() const { return mode1 + mode2Form1 + mode2Form2 + other + notData; }
};

// Reads the whole file from its start in large pieces; the position moves.
// The layout is detected: a file without a sync in its first sector is taken
// as a MODE2/2336 image when its file system's volume descriptor says so.
DiscCheckResult CheckDisc(File& file);
// The same with the layout given: Mode2Headerless reads 2,336-byte sectors;
// any other is checked as 2,352-byte sectors with a sync in the first.
DiscCheckResult CheckDisc(File& file, DiscLayout layout);

}  // namespace pixalto::disc
