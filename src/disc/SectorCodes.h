#pragma once
// Classifying raw sectors, and rebuilding and checking their EDC and ECC by
// kind. Every function takes a whole sector of kSectorSize bytes.

#include <cstddef>
#include <cstdint>

#include "disc/SectorFormat.h"

namespace pixalto::disc {

// Whether the sector begins with the sync pattern, as every data sector
// does; audio sectors have none.
bool HasSync(const std::uint8_t* sector);
// Whether the two copies of a Mode 2 sector's subheader are the same: when
// they differ, its form (and so where its codes lie) is unknown.
bool SubheaderCopiesAgree(const std::uint8_t* sector);

// The kind of a sector of a MODE2/2336 image (kHeaderlessSectorSize bytes at
// stored): Mode 2 Form 1 or Form 2, as its submode says.
SectorKind ClassifyHeaderless(const std::uint8_t* stored);
// Makes the kSectorSize bytes at sector a whole raw sector once the file's
// storedSize bytes of it have been put at sector + kSectorSize - storedSize:
// a MODE2/2336 sector gets the sync and a header with a zero address and mode
// 2. Mode 2 codes leave the header out (the EDC starts at the subheader, the
// ECC takes the address as zero), so they check and rebuild as on the disc.
// Nothing to do for a stored size of kSectorSize.
void CompleteStoredSector(std::uint8_t* sector, std::size_t storedSize);

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
