#include "disc/DiscCheck.h"

#include <algorithm>
#include <new>
#include <optional>

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
    DiscCheckResult result;
    std::int64_t length = file.GetLength();
    const std::uint64_t fileLength = length > 0 ? static_cast<std::uint64_t>(length) : 0;
    const std::uint64_t sectors = fileLength / kSectorSize;
    if (sectors == 0) {
        result.failure = Error(ErrorCode::NotARawCdImage, file.GetFilePath());
        return result;
    }
    result.partialTailBytes = fileLength % kSectorSize;
    if (file.Seek(0) != 0) {
        result.failure = Error(ErrorCode::CouldntReadToEnd, file.GetFilePath());
        return result;
    }
    std::vector<std::uint8_t> chunk;
    try {
        chunk.resize(static_cast<std::size_t>(std::min(kChunkSectors, sectors) * kSectorSize));
    } catch (const std::bad_alloc&) {
        result.failure = Error(ErrorCode::OutOfMemory);
        return result;
    }
    for (std::uint64_t index = 0; index < sectors;) {
        const std::uint64_t want = std::min(kChunkSectors, sectors - index);
        const std::size_t got =
            file.Read(chunk.data(), static_cast<std::size_t>(want * kSectorSize));
        const std::uint64_t whole = got / kSectorSize;
        if (index == 0 && whole > 0 && !HasSync(chunk.data())) {
            result = {};
            result.failure = Error(ErrorCode::NotARawCdImage, file.GetFilePath());
            return result;
        }
        for (std::uint64_t i = 0; i < whole; ++i) {
            Check(result, index + i, chunk.data() + i * kSectorSize);
        }
        index += whole;
        if (whole < want) {
            result.failure = file.LastError()
                                 ? file.LastError().As(ErrorCode::CouldntReadToEnd)
                                 : Error(ErrorCode::CouldntReadToEnd, file.GetFilePath());
            break;
        }
    }
    return result;
}

}  // namespace pixalto::disc
