#pragma once
// Classifying raw sectors, and rebuilding and checking their EDC and ECC by
// kind. Every function takes a whole sector of kSectorSize bytes.

#include <cstdint>

#include "disc/SectorFormat.h"

namespace pixalto::disc {

// Rebuilds the EDC and ECC of a Mode 1 or Mode 2 Form 1 sector, and the EDC
// of a Form 2 sector, from its header, subheader and data. Sync, header and
// subheader stay as they are. False (and nothing changed) for other kinds.
bool RebuildSectorCodes(std::uint8_t* sector);

struct SectorCheck {
    SectorKind kind = SectorKind::Other;
    bool edcOk = true;  // Form 2: a stored EDC of zero means "not computed" and passes
    bool eccOk = true;  // Form 2 and Other have no ECC
};

SectorCheck CheckSectorCodes(const std::uint8_t* sector);

}  // namespace pixalto::disc
