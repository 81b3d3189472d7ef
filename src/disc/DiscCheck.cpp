#include "disc/DiscCheck.h"

#include <algorithm>
#include <array>
#include <new>
#include <optional>

#include "disc/DiscLayout.h"
#include "disc/SectorCodes.h"

namespace pixalto::disc {
namespace {

constexpr std::uint64_t kChunkSectors = 448;

void CountKind(DiscCheckResult& result, SectorKind kind) {
    switch (kind) {
        case SectorKind::Mode1:
            ++result.mode1;
            break;
        case SectorKind::Mode2Form1:
            ++result.mode2Form1;
            break;
        case SectorKind::Mode2Form2:
            ++result.mode2Form2;
            break;
        case SectorKind::Other:
            ++result.other;
            break;
    }
}

void CountNotData(DiscCheckResult& result, std::uint64_t index) {
    ++result.notData;
    std::vector<SectorRun>& runs = result.notDataRuns;
    if (!runs.empty() && runs.back().first + runs.back().count == index) {
        ++runs.back().count;
    } else {
        runs.push_back({index, 1});
    }
}

// A sector with a sync whose kind can't be told: its codes can't be checked.
std::optional<SectorFault> KindFault(const std::uint8_t* sector) {
    const std::uint8_t mode = sector[kModeOffset];
    if (!IsKnownMode(mode)) {
        return SectorFault::UnknownMode;
    }
    if (mode == 2 && !SubheaderCopiesAgree(sector)) {
        return SectorFault::SubheadersDisagree;
    }
    return std::nullopt;
}

void Check(DiscCheckResult& result, std::uint64_t index, const std::uint8_t* sector) {
    if (!HasSync(sector)) {
        CountNotData(result, index);
        return;
    }
    const std::uint8_t mode = sector[kModeOffset];
    if (std::optional<SectorFault> fault = KindFault(sector)) {
        ++result.other;
        result.bad.push_back({index, SectorKind::Other, false, false, *fault, mode});
        return;
    }
    const SectorCheck check = CheckSectorCodes(sector);
    CountKind(result, check.kind);
    if (!check.edcOk || !check.eccOk) {
        result.bad.push_back(
            {index, check.kind, !check.edcOk, !check.eccOk, SectorFault::Codes, mode});
    }
}

}  // namespace

DiscCheckResult CheckDisc(File& file) {
    return CheckDisc(file, DetectLayout(file));
}

DiscCheckResult CheckDisc(File& file, DiscLayout layout) {
    DiscCheckResult result;
    // A MODE2/2336 image has no sync to look for: each sector is checked
    // made whole.
    const bool headerless = layout == DiscLayout::Mode2Headerless;
    const std::size_t stored = headerless ? kHeaderlessSectorSize : kSectorSize;
    result.sectorSize = stored;
    std::int64_t length = file.GetLength();
    const std::uint64_t fileLength = length > 0 ? static_cast<std::uint64_t>(length) : 0;
    const std::uint64_t sectors = fileLength / stored;
    if (sectors == 0) {
        result.failure = Error(ErrorCode::NotARawCdImage, file.GetFilePath());
        return result;
    }
    result.partialTailBytes = fileLength % stored;
    if (file.Seek(0) != 0) {
        result.failure = Error(ErrorCode::CouldntReadToEnd, file.GetFilePath());
        return result;
    }
    std::vector<std::uint8_t> chunk;
    try {
        chunk.resize(static_cast<std::size_t>(std::min(kChunkSectors, sectors) * stored));
    } catch (const std::bad_alloc&) {
        result.failure = Error(ErrorCode::OutOfMemory);
        return result;
    }
    std::array<std::uint8_t, kSectorSize> whole;
    for (std::uint64_t index = 0; index < sectors;) {
        const std::uint64_t want = std::min(kChunkSectors, sectors - index);
        const std::size_t got = file.Read(chunk.data(), static_cast<std::size_t>(want * stored));
        const std::uint64_t read = got / stored;
        if (index == 0 && read > 0 && !headerless && !HasSync(chunk.data())) {
            result = {};
            result.failure = Error(ErrorCode::NotARawCdImage, file.GetFilePath());
            return result;
        }
        for (std::uint64_t i = 0; i < read; ++i) {
            const std::uint8_t* sector = chunk.data() + i * stored;
            if (headerless) {
                std::copy(sector, sector + stored, whole.begin() + (kSectorSize - stored));
                CompleteStoredSector(whole.data(), stored);
                sector = whole.data();
            }
            Check(result, index + i, sector);
        }
        index += read;
        if (read < want) {
            result.failure = file.LastError()
                                 ? file.LastError().As(ErrorCode::CouldntReadToEnd)
                                 : Error(ErrorCode::CouldntReadToEnd, file.GetFilePath());
            break;
        }
    }
    return result;
}

}  // namespace pixalto::disc
