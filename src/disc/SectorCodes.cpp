#include "disc/SectorCodes.h"

#include <algorithm>
#include <iterator>

#include "disc/Ecc.h"
#include "disc/Edc.h"
#include "platform/ByteOrder.h"

namespace pixalto::disc {
namespace {

struct EdcSpan {
    std::size_t begin = 0;  // first byte covered
    std::size_t at = 0;     // where the code is stored, right after the covered bytes
};

// Mode 1 covers sync and header too; Mode 2 starts at its subheader.
EdcSpan EdcSpanOf(SectorKind kind) {
    switch (kind) {
        case SectorKind::Mode1:
            return {0, kMode1EdcOffset};
        case SectorKind::Mode2Form1:
            return {kSubheaderOffset, kForm1EdcOffset};
        case SectorKind::Mode2Form2:
            return {kSubheaderOffset, kForm2EdcOffset};
        case SectorKind::Other:
            break;
    }
    return {};
}

std::uint32_t EdcOf(const std::uint8_t* sector, EdcSpan span) {
    return ComputeEdc(sector + span.begin, span.at - span.begin);
}

// Mode 2 sectors are coded as if their header were zero, so that the
// parity survives a copy to another address.
bool EccZeroesHeader(SectorKind kind) {
    return kind == SectorKind::Mode2Form1;
}

}  // namespace

bool HasSync(const std::uint8_t* sector) {
    return std::equal(std::begin(kSync), std::end(kSync), sector);
}

bool SubheaderCopiesAgree(const std::uint8_t* sector) {
    const std::uint8_t* first = sector + kSubheaderOffset;
    return std::equal(first, first + kSubheaderSize, first + kSubheaderSize);
}

SectorKind ClassifySector(const std::uint8_t* sector) {
    if (!HasSync(sector)) {
        return SectorKind::Other;
    }
    switch (sector[kModeOffset]) {
        case 1:
            return SectorKind::Mode1;
        case 2:
            return (sector[kSubmodeOffset] & kSubmodeForm2) != 0 ? SectorKind::Mode2Form2
                                                                 : SectorKind::Mode2Form1;
        default:
            return SectorKind::Other;
    }
}

SectorKind ClassifyHeaderless(const std::uint8_t* stored) {
    constexpr std::size_t kSubmode = kSubmodeOffset - (kSectorSize - kHeaderlessSectorSize);
    return (stored[kSubmode] & kSubmodeForm2) != 0 ? SectorKind::Mode2Form2
                                                   : SectorKind::Mode2Form1;
}

void CompleteStoredSector(std::uint8_t* sector, std::size_t storedSize) {
    if (storedSize >= kSectorSize) {
        return;
    }
    std::copy(std::begin(kSync), std::end(kSync), sector);
    std::fill(sector + kHeaderOffset, sector + kModeOffset, std::uint8_t{0});
    sector[kModeOffset] = 2;
}

bool RebuildSectorCodes(std::uint8_t* sector) {
    SectorKind kind = ClassifySector(sector);
    if (kind == SectorKind::Other) {
        return false;
    }
    EdcSpan span = EdcSpanOf(kind);
    WriteU32LE(sector + span.at, EdcOf(sector, span));
    if (IsDataSector(kind)) {
        WriteEcc(sector, EccZeroesHeader(kind));
    }
    return true;
}

SectorCheck CheckSectorCodes(const std::uint8_t* sector) {
    SectorCheck check;
    check.kind = ClassifySector(sector);
    if (check.kind == SectorKind::Other) {
        return check;
    }
    EdcSpan span = EdcSpanOf(check.kind);
    std::uint32_t stored = ReadU32LE(sector + span.at);
    bool notComputed = check.kind == SectorKind::Mode2Form2 && stored == 0;
    check.edcOk = notComputed || stored == EdcOf(sector, span);
    if (IsDataSector(check.kind)) {
        check.eccOk = EccMatches(sector, EccZeroesHeader(check.kind));
    }
    return check;
}

}  // namespace pixalto::disc
