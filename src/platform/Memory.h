#pragma once
// Memory the program is about to fill.

#include <cstddef>

namespace pixalto {

// Asks the system for the pages of [data, data + count) at once, writable,
// instead of one fault at each page as it is first written: a buffer that
// is about to be filled whole costs one call, not hundreds of faults. Where
// the system can't, the pages come as they are written, as always.
void MapForWriting(void* data, std::size_t count);

}  // namespace pixalto
