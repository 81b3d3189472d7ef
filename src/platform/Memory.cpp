#include "platform/Memory.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

#ifndef MADV_POPULATE_WRITE
#define MADV_POPULATE_WRITE 23
#endif

namespace pixalto {

void MapForWriting(void* data, std::size_t count) {
    static const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
    // Whole pages inside the range only: the pages at its ends may hold
    // other allocations, which this must not touch.
    const auto begin = (reinterpret_cast<std::uintptr_t>(data) + page - 1) & ~(page - 1);
    const auto end = (reinterpret_cast<std::uintptr_t>(data) + count) & ~(page - 1);
    if (begin < end) {
        static_cast<void>(
            ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_POPULATE_WRITE));
    }
}

}  // namespace pixalto
