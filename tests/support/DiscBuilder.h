#pragma once
// Builds raw CD images (2,352-byte sectors) in memory for tests and
// benchmarks: a run of data bytes cut into Mode 2 Form 1 (or Mode 1) sectors
// with gap sectors between them, every sector with correct EDC and ECC.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "disc/SectorFormat.h"

namespace pixalto::testing {

struct DiscContents {
    disc::SectorKind dataKind = disc::SectorKind::Mode2Form1;  // or Mode1
    // The data view's bytes; the last data sector is padded with zeros.
    std::vector<std::uint8_t> data;
    // A gap sector goes before the data sector of each index listed (an index
    // listed twice gives two in a row; the data sector count puts them after
    // the last one).
    std::vector<std::size_t> gapsBefore;
    // Form 2 in a Mode 2 image; Other gives a Mode 0 sector (sync, header,
    // zeros), which Mode 1 images may hold.
    disc::SectorKind gapKind = disc::SectorKind::Mode2Form2;
    std::uint32_t firstLba = 0;  // the header's address is this plus the 150-sector lead-in
};

struct BuiltDisc {
    std::vector<std::uint8_t> image;
    std::vector<std::uint8_t> view;              // data padded to whole sectors
    std::vector<std::uint64_t> dataSectorAt;     // file sector of each data sector
    std::size_t sectorSize = disc::kSectorSize;  // or kHeaderlessSectorSize

    // Where the view's byte at viewOffset lies in the image, counted here
    // independently of the disc view.
    std::uint64_t FileOffsetOf(std::uint64_t viewOffset) const;
};

BuiltDisc MakeDisc(const DiscContents& desc);
// The same Mode 2 disc as a MODE2/2336 image: every sector without its sync
// and header.
BuiltDisc WithoutHeaders(const BuiltDisc& disc);

// One whole sector of the kind at lba with the given data (cut or padded with
// zeros to the kind's data size) and correct codes. Form 2 sectors get data
// derived from lba when data is empty.
std::vector<std::uint8_t> MakeSector(disc::SectorKind kind, std::uint32_t lba,
                                     const std::vector<std::uint8_t>& data = {});

// Copies bytes into view at offset, growing view as needed.
void PlaceBytes(std::vector<std::uint8_t>& view, std::size_t offset,
                const std::vector<std::uint8_t>& bytes);

}  // namespace pixalto::testing
