#include "disc/DiscCheck.h"

#include <algorithm>

#include "disc/SectorCodes.h"

namespace pixalto::disc {
namespace {

constexpr std::uint64_t kChunkSectors = 448;

void Count(DiscCheckResult& result, std::uint64_t index, const SectorCheck& check) {
    switch (check.kind) {
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
    if (!check.edcOk || !check.eccOk) {
        result.bad.push_back({index, check.kind, !check.edcOk, !check.eccOk});
    }
}

}  // namespace

DiscCheckResult CheckDisc(File& file) {
    DiscCheckResult result;
    std::int64_t length = file.GetLength();
    const std::uint64_t fileLength = length > 0 ? static_cast<std::uint64_t>(length) : 0;
    const std::uint64_t sectors = fileLength / kSectorSize;
    result.partialTailBytes = fileLength % kSectorSize;
    if (file.Seek(0) != 0) {
        result.readFailed = sectors > 0;
        return result;
    }
    std::vector<std::uint8_t> chunk(static_cast<std::size_t>(kChunkSectors * kSectorSize));
    for (std::uint64_t index = 0; index < sectors;) {
        const std::uint64_t want = std::min(kChunkSectors, sectors - index);
        const std::size_t got =
            file.Read(chunk.data(), static_cast<std::size_t>(want * kSectorSize));
        const std::uint64_t whole = got / kSectorSize;
        for (std::uint64_t i = 0; i < whole; ++i) {
            Count(result, index + i, CheckSectorCodes(chunk.data() + i * kSectorSize));
        }
        index += whole;
        if (whole < want) {
            result.readFailed = true;
            break;
        }
    }
    return result;
}

}  // namespace pixalto::disc
