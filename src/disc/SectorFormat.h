#pragma once
// The layout of a raw 2,352-byte CD sector as a disc image stores it, and the
// kinds of sector a PlayStation disc holds.

#include <cstddef>
#include <cstdint>

namespace pixalto::disc {

inline constexpr std::size_t kSectorSize = 2352;
inline constexpr std::size_t kUserDataSize = 2048;
// A MODE2/2336 image stores each Mode 2 sector without its sync and header:
// the subheader comes first.
inline constexpr std::size_t kHeaderlessSectorSize = 2336;

// Every data sector starts with this pattern; audio sectors have none.
inline constexpr std::uint8_t kSync[12] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                           0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
inline constexpr std::size_t kHeaderOffset = 12;  // minute, second, frame (BCD), mode
inline constexpr std::size_t kModeOffset = 15;
inline constexpr std::size_t kSubheaderOffset =
    16;  // Mode 2: file, channel, submode, coding, twice
inline constexpr std::size_t kSubmodeOffset = 18;
inline constexpr std::uint8_t kSubmodeForm2 = 0x20;
inline constexpr std::size_t kSubheaderSize = 4;  // each of the two copies

// Modes 0 (no data), 1 and 2; any other mode byte is damage.
constexpr bool IsKnownMode(std::uint8_t mode) {
    return mode <= 2;
}

// Mode 1: user data right after the header, EDC over everything before it,
// 8 reserved bytes, then the parity.
inline constexpr std::size_t kMode1DataOffset = 16;
inline constexpr std::size_t kMode1EdcOffset = 2064;
// Mode 2 Form 1: user data after the subheader; the EDC covers the subheader
// and the data, not the header.
inline constexpr std::size_t kForm1DataOffset = 24;
inline constexpr std::size_t kForm1EdcOffset = 2072;
// Mode 2 Form 2: 2,324 bytes of data and an EDC that may be left at zero.
inline constexpr std::size_t kForm2DataSize = 2324;
inline constexpr std::size_t kForm2EdcOffset = 2348;

// The two parity blocks protect bytes 12-2075 in both data forms.
inline constexpr std::size_t kEccDataOffset = 12;
inline constexpr std::size_t kEccPOffset = 2076;
inline constexpr std::size_t kEccPSize = 172;
inline constexpr std::size_t kEccQOffset = 2248;
inline constexpr std::size_t kEccQSize = 104;

enum class SectorKind {
    Mode1,       // 2,048 bytes of data at 16
    Mode2Form1,  // 2,048 bytes of data at 24
    Mode2Form2,  // 2,324 bytes of data (audio, video) at 24: not part of the data view
    Other,       // no sync (audio), or a mode the view doesn't read (0, or unknown)
};

// What kind of sector the kSectorSize bytes at sector hold.
SectorKind ClassifySector(const std::uint8_t* sector);

// Where a sector of this kind keeps its 2,048 bytes of data; 0 for the kinds
// that have none in the data view.
constexpr std::size_t UserDataOffset(SectorKind kind) {
    switch (kind) {
        case SectorKind::Mode1:
            return kMode1DataOffset;
        case SectorKind::Mode2Form1:
            return kForm1DataOffset;
        case SectorKind::Mode2Form2:
        case SectorKind::Other:
            return 0;
    }
    return 0;
}

constexpr bool IsDataSector(SectorKind kind) {
    return kind == SectorKind::Mode1 || kind == SectorKind::Mode2Form1;
}

}  // namespace pixalto::disc
