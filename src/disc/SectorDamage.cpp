#include "disc/SectorDamage.h"

#include <array>

namespace pixalto::disc {

std::optional<DamagedSector> FirstDamagedSector(DiscView& view, File& file, std::uint64_t offset,
                                                std::uint64_t count) {
    if (view.Layout() == DiscLayout::Plain || count == 0 || offset + count < offset) {
        return std::nullopt;
    }
    std::array<std::uint8_t, kSectorSize> sector;
    const std::uint64_t last = (offset + count - 1) / kUserDataSize;
    for (std::uint64_t viewSector = offset / kUserDataSize; viewSector <= last; ++viewSector) {
        const auto at = view.FileOffsetOf(viewSector * kUserDataSize);
        if (!at) {
            break;
        }
        const std::uint64_t index = *at / kSectorSize;
        if (!file.Seek(static_cast<std::int64_t>(index * kSectorSize)) ||
            file.Read(sector.data(), sector.size()) != sector.size()) {
            break;
        }
        const SectorCheck check = CheckSectorCodes(sector.data());
        if (!check.edcOk || !check.eccOk) {
            return DamagedSector{index, check};
        }
    }
    return std::nullopt;
}

}  // namespace pixalto::disc
