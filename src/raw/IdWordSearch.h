#pragma once
// Finding the TIM identifier word (10 00 00 00) in a scan window. Random data
// holds a 0x10 byte every 256 bytes or so, but the whole word about once in
// 4 GiB, so looking for the word rather than its first byte leaves the full
// test almost nothing but real TIMs and near misses that copy a header.

#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/ByteOrder.h"

namespace pixalto::raw {

inline constexpr std::uint32_t kIdWord = 0x10;

// Calls found(p) for every p < end, in increasing order, where the four bytes
// at data + p are the identifier word. Reads data[0] to data[end + 2].
template <typename Found>
void ForEachIdWord(const std::uint8_t* data, std::size_t end, Found&& found) {
    std::size_t i = 0;
#if defined(__SSE2__)
    // 64 bytes at a time: one test for "no 0x10 byte at all", which most
    // blocks pass; otherwise a bit mask of the 0x10 bytes and one of the zero
    // bytes, the latter shifted down by 1, 2 and 3 so that a set bit marks a
    // whole word. The zeros of the three bytes after the block are shifted in
    // at the top, since a word at 61 to 63 ends in the next block.
    const __m128i idByte = _mm_set1_epi8(static_cast<char>(kIdWord));
    const __m128i zero = _mm_setzero_si128();
    for (; i + 64 <= end; i += 64) {
        __m128i lanes[4];
        __m128i ids[4];
        for (int k = 0; k < 4; ++k) {
            lanes[k] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i + 16 * k));
            ids[k] = _mm_cmpeq_epi8(lanes[k], idByte);
        }
        const __m128i any =
            _mm_or_si128(_mm_or_si128(ids[0], ids[1]), _mm_or_si128(ids[2], ids[3]));
        if (_mm_movemask_epi8(any) == 0) {
            continue;
        }
        std::uint64_t idBits = 0;
        std::uint64_t zeroBits = 0;
        for (int k = 0; k < 4; ++k) {
            idBits |= std::uint64_t{static_cast<std::uint16_t>(_mm_movemask_epi8(ids[k]))}
                      << (16 * k);
            zeroBits |= std::uint64_t{static_cast<std::uint16_t>(
                            _mm_movemask_epi8(_mm_cmpeq_epi8(lanes[k], zero)))}
                        << (16 * k);
        }
        const std::uint64_t after = std::uint64_t{data[i + 64] == 0} |
                                    std::uint64_t{data[i + 65] == 0} << 1 |
                                    std::uint64_t{data[i + 66] == 0} << 2;
        std::uint64_t words = idBits & ((zeroBits >> 1) | (after << 63)) &
                              ((zeroBits >> 2) | (after << 62)) & ((zeroBits >> 3) | (after << 61));
        while (words != 0) {
            found(i + static_cast<std::size_t>(__builtin_ctzll(words)));
            words &= words - 1;
        }
    }
#endif
    while (i < end) {
        const void* hit = std::memchr(data + i, static_cast<int>(kIdWord), end - i);
        if (hit == nullptr) {
            return;
        }
        i = static_cast<std::size_t>(static_cast<const std::uint8_t*>(hit) - data);
        if (ReadU32LE(data + i) == kIdWord) {
            found(i);
        }
        ++i;
    }
}

}  // namespace pixalto::raw
