#pragma once
// Room for the pixel buffers of an image record, which a folder conversion
// reuses from one image to the next.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <span>
#include <utility>
#include <vector>

#include "platform/Memory.h"

namespace pixalto {

// An allocator whose resize leaves new bytes as they come instead of
// clearing them: the readers and the conversion write every pixel byte they
// size, so clearing megabytes first would be work thrown away. A resize that
// has to give zeros says so (resize(count, 0)).
template <class T>
struct NoFillAllocator : std::allocator<T> {
    template <class U>
    struct rebind {
        using other = NoFillAllocator<U>;
    };
    NoFillAllocator() = default;
    template <class U>
    NoFillAllocator(const NoFillAllocator<U>&) noexcept {}

    template <class U>
    void construct(U* place) noexcept {
        ::new (static_cast<void*>(place)) U;
    }
    template <class U, class... Args>
    void construct(U* place, Args&&... args) {
        ::new (static_cast<void*>(place)) U(std::forward<Args>(args)...);
    }
};

// The pixel buffers of an image record.
using PixelBytes = std::vector<std::uint8_t, NoFillAllocator<std::uint8_t>>;

// Pixels equal plain bytes of the same contents.
inline bool operator==(const PixelBytes& pixels, const std::vector<std::uint8_t>& bytes) {
    return std::equal(pixels.begin(), pixels.end(), bytes.begin(), bytes.end());
}

// The least room a pixel buffer gets when it has to grow: the console's
// whole video memory, which nearly every image fits in. A record that goes
// through a folder of files then grows once, not at each larger image. The
// room is mapped as a whole when it is made (a megabyte, whatever the image):
// one call instead of a fault at every page the images after write.
inline constexpr std::size_t kLeastPixelRoom = std::size_t{1024} * 512 * 2;

// Makes room for count bytes in buffer. A buffer that has to grow comes back
// empty, its old bytes not copied: the caller writes new ones over them.
inline void MakePixelRoom(PixelBytes& buffer, std::size_t count) {
    if (buffer.capacity() < count) {
        buffer = {};
        buffer.reserve(std::max(count, kLeastPixelRoom));
        MapForWriting(buffer.data(), buffer.capacity());
    }
}

// The first count bytes of buffer that exist: a header may promise more than
// a buffer holds.
template <class Buffer>
std::span<const std::uint8_t> Present(const Buffer& buffer, std::uint64_t count) {
    return {buffer.data(), static_cast<std::size_t>(std::min<std::uint64_t>(count, buffer.size()))};
}

}  // namespace pixalto
