#include "disc/SectorDamage.h"

#include <array>

namespace pixalto::disc {
namespace {

// Calls visit(index, check) for each sector, in file order, that holds the
// view's bytes offset ... offset + count - 1, until it returns false or a
// sector lies past the view or can't be read.
template <typename Visit>
void VisitTouchedSectors(DiscView& view, File& file, std::uint64_t offset, std::uint64_t count,
                         Visit visit) {
    if (view.Layout() == DiscLayout::Plain || count == 0 || offset + count < offset) {
        return;
    }
    std::array<std::uint8_t, kSectorSize> sector;
    const std::size_t stored = view.SectorSize();
    const std::uint64_t last = (offset + count - 1) / kUserDataSize;
    for (std::uint64_t viewSector = offset / kUserDataSize; viewSector <= last; ++viewSector) {
        const auto at = view.FileOffsetOf(viewSector * kUserDataSize);
        if (!at) {
            return;
        }
        const std::uint64_t index = *at / stored;
        if (!file.Seek(static_cast<std::int64_t>(index * stored)) ||
            file.Read(sector.data() + kSectorSize - stored, stored) != stored) {
            return;
        }
        CompleteStoredSector(sector.data(), stored);
        if (!visit(index, CheckSectorCodes(sector.data()))) {
            return;
        }
    }
}

bool IsDamaged(const SectorCheck& check) {
    return !check.edcOk || !check.eccOk;
}

}  // namespace

std::optional<DamagedSector> FirstDamagedSector(DiscView& view, File& file, std::uint64_t offset,
                                                std::uint64_t count) {
    std::optional<DamagedSector> first;
    VisitTouchedSectors(view, file, offset, count,
                        [&](std::uint64_t index, const SectorCheck& check) {
                            if (IsDamaged(check)) {
                                first = DamagedSector{index, check};
                            }
                            return !first;
                        });
    return first;
}

std::optional<TouchedSectors> CountTouchedSectors(DiscView& view, File& file, std::uint64_t offset,
                                                  std::uint64_t count) {
    std::optional<TouchedSectors> touched;
    VisitTouchedSectors(view, file, offset, count,
                        [&](std::uint64_t index, const SectorCheck& check) {
                            if (!touched) {
                                touched = TouchedSectors{index, index, 0};
                            }
                            touched->last = index;
                            touched->damaged += IsDamaged(check) ? 1 : 0;
                            return true;
                        });
    return touched;
}

}  // namespace pixalto::disc
