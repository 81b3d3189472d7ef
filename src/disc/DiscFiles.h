#pragma once
// The files of a disc image's ISO 9660 file system, as a map from sector
// (LBA) to the file that holds it, so that every TIM a scan finds can be
// named by its file and its offset in that file. The file system is read
// once, with libiso9660; a lookup is a binary search in a sorted vector, so
// naming millions of hits costs next to nothing.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "disc/DiscLayout.h"

namespace pixalto::disc {

// How a layout stores its sectors: the bytes each takes in the file and where
// its 2,048 bytes of data begin. Nothing for a plain file that is no disc.
struct SectorGeometry {
    std::uint32_t sectorSize = 0;
    std::uint32_t dataOffset = 0;
};
// The geometry of a layout; a plain file counts as a 2,048-byte ISO image
// (callers ask only once a file system has been read from it).
SectorGeometry GeometryOf(DiscLayout layout);

// Where a byte of the image lies on the disc: its sector, and the file that
// holds it with the offset in that file (counted as the file reads, 2,048
// bytes a sector). An empty path for a sector no file holds.
struct DiscPlace {
    std::uint64_t lba = 0;
    std::string_view path;
    std::uint64_t offsetInFile = 0;
};

class DiscFiles {
  public:
    struct Extent {
        std::uint64_t firstSector = 0;
        std::uint64_t sectorCount = 0;
        std::string path;  // "/DATA/CHARA.BIN": no version suffix
    };

    // Reads the file system of the image (or the block device) at path;
    // nothing when it has none that can be read. The layout says how the
    // image keeps its sectors.
    static std::optional<DiscFiles> Read(const std::string& path, DiscLayout layout);
    // A map from extents given directly (any order).
    DiscFiles(std::vector<Extent> extents, DiscLayout layout);

    // The place of the image's byte at filePosition, which must be a data
    // byte (as every scan hit is).
    DiscPlace PlaceOf(std::uint64_t filePosition) const;
    // The extent holding sector lba: the one starting last at or before it.
    const Extent* ExtentAt(std::uint64_t lba) const;

    const std::vector<Extent>& Extents() const { return extents_; }
    SectorGeometry Geometry() const { return geometry_; }

  private:
    std::vector<Extent> extents_;  // by first sector
    SectorGeometry geometry_;
};

}  // namespace pixalto::disc
