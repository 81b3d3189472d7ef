#pragma once
// Room for the pixel buffers of an image record, which a folder conversion
// reuses from one image to the next.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/Memory.h"

namespace pixalto {

// The least room a pixel buffer gets when it has to grow: the console's
// whole video memory, which nearly every image fits in. A record that goes
// through a folder of files then grows once, not at each larger image. The
// room is mapped as a whole when it is made (a megabyte, whatever the image):
// one call instead of a fault at every page the images after write.
inline constexpr std::size_t kLeastPixelRoom = std::size_t{1024} * 512 * 2;

// Makes room for count bytes in buffer. A buffer that has to grow comes back
// empty, its old bytes not copied: the caller writes new ones over them.
inline void MakePixelRoom(std::vector<std::uint8_t>& buffer, std::size_t count) {
    if (buffer.capacity() < count) {
        buffer = {};
        buffer.reserve(std::max(count, kLeastPixelRoom));
        MapForWriting(buffer.data(), buffer.capacity());
    }
}

}  // namespace pixalto
