#pragma once
// The error-correction code of CD data sectors: two Reed-Solomon parity
// blocks, P over the columns and Q over the diagonals of bytes 12-2075 seen
// as 1,032 16-bit words in a 43-column grid, each byte plane on its own.

#include <cstdint>

namespace pixalto::disc {

// Computes P (172 bytes at 2076) and then Q (104 bytes at 2248, which also
// protects P) of a whole raw sector in place. With zeroHeader the 4 header
// bytes at 12 count as zero, as Mode 2 Form 1 sectors are coded; the
// sector's own header bytes are left as they are.
void WriteEcc(std::uint8_t* sector, bool zeroHeader);

// True when the P and Q parity stored in the sector are the ones WriteEcc
// would write.
bool EccMatches(const std::uint8_t* sector, bool zeroHeader);

}  // namespace pixalto::disc
