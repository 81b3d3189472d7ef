#include "support/DiscBuilder.h"

#include <algorithm>
#include <iterator>
#include <stdexcept>

#include "disc/SectorCodes.h"

namespace pixalto::testing {
namespace {

using disc::SectorKind;

constexpr std::uint32_t kLeadIn = 150;

std::uint8_t Bcd(std::uint32_t value) {
    return static_cast<std::uint8_t>((value / 10) << 4 | (value % 10));
}

void WriteHeader(std::uint8_t* sector, std::uint32_t lba, std::uint8_t mode) {
    std::copy(std::begin(disc::kSync), std::end(disc::kSync), sector);
    std::uint32_t address = lba + kLeadIn;
    sector[12] = Bcd(address / (60 * 75));
    sector[13] = Bcd(address / 75 % 60);
    sector[14] = Bcd(address % 75);
    sector[15] = mode;
}

void WriteSubheader(std::uint8_t* sector, std::uint8_t submode) {
    const std::uint8_t subheader[4] = {1, 0, submode, 0};
    std::copy(subheader, subheader + 4, sector + 16);
    std::copy(subheader, subheader + 4, sector + 20);
}

}  // namespace

std::vector<std::uint8_t> MakeSector(SectorKind kind, std::uint32_t lba,
                                     const std::vector<std::uint8_t>& data) {
    std::vector<std::uint8_t> sector(disc::kSectorSize, 0);
    std::size_t dataAt = disc::kForm1DataOffset;
    std::size_t dataSize = disc::kUserDataSize;
    switch (kind) {
        case SectorKind::Mode1:
            WriteHeader(sector.data(), lba, 1);
            dataAt = disc::kMode1DataOffset;
            break;
        case SectorKind::Mode2Form1:
            WriteHeader(sector.data(), lba, 2);
            WriteSubheader(sector.data(), 0x08);
            break;
        case SectorKind::Mode2Form2:
            WriteHeader(sector.data(), lba, 2);
            WriteSubheader(sector.data(), 0x20);
            dataSize = disc::kForm2DataSize;
            if (data.empty()) {
                for (std::size_t i = 0; i < dataSize; ++i) {
                    sector[dataAt + i] = static_cast<std::uint8_t>(i * 7 + lba);
                }
            }
            break;
        case SectorKind::Other:
            WriteHeader(sector.data(), lba, 0);
            return sector;
    }
    std::copy_n(data.begin(), std::min(data.size(), dataSize),
                sector.begin() + static_cast<std::ptrdiff_t>(dataAt));
    if (!disc::RebuildSectorCodes(sector.data())) {
        throw std::logic_error("sector without codes");
    }
    return sector;
}

BuiltDisc MakeDisc(const DiscContents& desc) {
    BuiltDisc disc;
    disc.view = desc.data;
    const std::size_t dataSectors =
        (disc.view.size() + disc::kUserDataSize - 1) / disc::kUserDataSize;
    disc.view.resize(dataSectors * disc::kUserDataSize, 0);
    std::vector<std::size_t> gaps = desc.gapsBefore;
    std::sort(gaps.begin(), gaps.end());
    std::uint32_t lba = desc.firstLba;
    auto append = [&](const std::vector<std::uint8_t>& sector) {
        disc.image.insert(disc.image.end(), sector.begin(), sector.end());
        ++lba;
    };
    auto nextGap = gaps.begin();
    for (std::size_t index = 0; index <= dataSectors; ++index) {
        for (; nextGap != gaps.end() && *nextGap == index; ++nextGap) {
            append(MakeSector(desc.gapKind, lba));
        }
        if (index == dataSectors) {
            break;
        }
        auto from = disc.view.begin() + static_cast<std::ptrdiff_t>(index * disc::kUserDataSize);
        disc.dataSectorAt.push_back(disc.image.size() / disc::kSectorSize);
        append(MakeSector(desc.dataKind, lba, {from, from + disc::kUserDataSize}));
    }
    return disc;
}

BuiltDisc WithoutHeaders(const BuiltDisc& disc) {
    constexpr std::size_t kSkip = disc::kSectorSize - disc::kHeaderlessSectorSize;
    BuiltDisc stripped = disc;
    stripped.sectorSize = disc::kHeaderlessSectorSize;
    stripped.image.clear();
    for (std::size_t at = 0; at + disc::kSectorSize <= disc.image.size(); at += disc::kSectorSize) {
        stripped.image.insert(
            stripped.image.end(), disc.image.begin() + static_cast<std::ptrdiff_t>(at + kSkip),
            disc.image.begin() + static_cast<std::ptrdiff_t>(at + disc::kSectorSize));
    }
    return stripped;
}

std::uint64_t BuiltDisc::FileOffsetOf(std::uint64_t viewOffset) const {
    std::uint64_t sector = dataSectorAt.at(viewOffset / disc::kUserDataSize);
    std::size_t dataAt = disc::kForm1DataOffset - (disc::kSectorSize - sectorSize);
    if (sectorSize == disc::kSectorSize &&
        image[sector * disc::kSectorSize + disc::kModeOffset] == 1) {
        dataAt = disc::kMode1DataOffset;
    }
    return sector * sectorSize + dataAt + viewOffset % disc::kUserDataSize;
}

void PlaceBytes(std::vector<std::uint8_t>& view, std::size_t offset,
                const std::vector<std::uint8_t>& bytes) {
    if (view.size() < offset + bytes.size()) {
        view.resize(offset + bytes.size(), 0);
    }
    std::copy(bytes.begin(), bytes.end(), view.begin() + static_cast<std::ptrdiff_t>(offset));
}

}  // namespace pixalto::testing
