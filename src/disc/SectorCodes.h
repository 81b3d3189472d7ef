#pragma once
// Classifying raw sectors, and rebuilding and checking their EDC and ECC by
// kind. Every function takes a whole sector of kSectorSize bytes.

#include <cstdint>

#include "disc/SectorFormat.h"

namespace pixalto::disc {

// Whether the sector begins with the sync pattern, as every data sector
// does; audio sectors have none.
bool HasSync(const std::uint8_t* sector);
// Whether the two copies of a Mode 2 sector's subheader are the same: when
// they differ, its form (and so where its codes lie) is unknown.
bool SubheaderCopiesAgree(const std::uint8_t* sector);

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
