#include "disc/DiscFiles.h"

#include <cdio/iso9660.h>
#include <cdio/logging.h>

#include <algorithm>
#include <memory>
#include <unordered_set>

#include "disc/SectorFormat.h"

namespace pixalto::disc {
namespace {

// How far libiso9660 may look for the volume descriptor's "CD001": enough for
// the sync, header and subheader of a raw sector, so that one reader opens
// 2,048-, 2,336- and 2,352-byte sectors alike.
constexpr std::uint16_t kFuzz = 32;

// A damaged or crafted directory tree must not make the walk endless: a
// directory is read once, no deeper than this, and no more files than this
// are kept.
constexpr int kMaxDepth = 64;
constexpr std::size_t kMaxExtents = 1'000'000;

// libcdio reports what it can't read on stderr; the caller says it once, in
// its own words.
void Quiet(cdio_log_level_t, const char*) {}

struct IsoCloser {
    void operator()(iso9660_t* iso) const { iso9660_close(iso); }
};
using IsoHandle = std::unique_ptr<iso9660_t, IsoCloser>;

struct StatFreer {
    void operator()(iso9660_stat_t* stat) const { iso9660_stat_free(stat); }
};
using StatHandle = std::unique_ptr<iso9660_stat_t, StatFreer>;

// "CHARA.BIN;1" is /CHARA.BIN; "README.;1" is README.
std::string CleanName(std::string_view name) {
    if (auto semicolon = name.rfind(';'); semicolon != std::string_view::npos) {
        name = name.substr(0, semicolon);
    }
    if (name.size() > 1 && name.back() == '.') {
        name.remove_suffix(1);
    }
    return std::string(name);
}

std::uint32_t LittleEndian32(const std::uint8_t* bytes) {
    return std::uint32_t{bytes[0]} | std::uint32_t{bytes[1]} << 8 | std::uint32_t{bytes[2]} << 16 |
           std::uint32_t{bytes[3]} << 24;
}

// A directory record as the disc stores it: its length, the extent (first
// sector, both byte orders) and data length, the flags and the identifier.
constexpr std::size_t kRecordExtent = 2;
constexpr std::size_t kRecordDataLength = 10;
constexpr std::size_t kRecordFlags = 25;
constexpr std::size_t kRecordNameLength = 32;
constexpr std::size_t kRecordName = 33;
constexpr std::uint8_t kFlagDirectory = 0x02;

// Walks the directory tree from the root that libiso9660 finds through the
// volume descriptor. Each directory is read a sector at a time and its
// records taken here: libiso9660 reads a directory of several sectors as one
// run of bytes, which in a raw image (2,352 or 2,336 bytes a sector) takes
// the second sector's data from the middle of the first's codes, and loses
// every file listed there.
class Walker {
  public:
    explicit Walker(iso9660_t* iso) : iso_(iso) {}

    bool WalkRoot() {
        StatHandle root(iso9660_ifs_stat(iso_, "/"));
        if (!root || root->lsn < 0) {
            return false;
        }
        visited_.insert(static_cast<std::uint32_t>(root->lsn));
        return Walk("", static_cast<std::uint32_t>(root->lsn), root->size, 0);
    }

  private:
    bool Walk(const std::string& dir, std::uint32_t lsn, std::uint64_t size, int depth) {
        const std::uint64_t sectors = (size + kUserDataSize - 1) / kUserDataSize;
        std::uint8_t sector[kUserDataSize];
        for (std::uint64_t i = 0; i < sectors; ++i) {
            if (iso9660_iso_seek_read(iso_, sector, static_cast<lsn_t>(lsn + i), 1) !=
                static_cast<long>(kUserDataSize)) {
                return i > 0;  // the records read so far stand
            }
            // Records never cross a sector; a zero length ends the sector's.
            for (std::size_t at = 0; at < kUserDataSize && sector[at] != 0;) {
                const std::size_t length = sector[at];
                if (length <= kRecordName || at + length > kUserDataSize) {
                    break;  // damaged: the rest of this sector can't be trusted
                }
                const std::uint8_t* record = sector + at;
                at += length;
                const std::size_t nameLength = record[kRecordNameLength];
                if (kRecordName + nameLength > length || extents.size() >= kMaxExtents) {
                    continue;
                }
                const std::string_view name(reinterpret_cast<const char*>(record + kRecordName),
                                            nameLength);
                if (name.empty() || name == std::string_view("\0", 1) || name == "\1") {
                    continue;  // the directory itself and its parent
                }
                const std::uint32_t first = LittleEndian32(record + kRecordExtent);
                const std::uint32_t bytes = LittleEndian32(record + kRecordDataLength);
                const std::string path = dir + "/" + CleanName(name);
                if ((record[kRecordFlags] & kFlagDirectory) != 0) {
                    if (depth < kMaxDepth && visited_.insert(first).second) {
                        Walk(path, first, bytes, depth + 1);
                    }
                } else if (bytes > 0) {
                    // An XA file's sectors interleave Form 2 (audio, video)
                    // with Form 1; its record counts them all, so it is taken
                    // as it stands.
                    extents.push_back(
                        {first, (std::uint64_t{bytes} + kUserDataSize - 1) / kUserDataSize, path});
                }
            }
        }
        return true;
    }

    iso9660_t* iso_;
    std::unordered_set<std::uint32_t> visited_;

  public:
    std::vector<DiscFiles::Extent> extents;
};

}  // namespace

SectorGeometry GeometryOf(DiscLayout layout) {
    switch (layout) {
        case DiscLayout::Plain:
            return {static_cast<std::uint32_t>(kUserDataSize), 0};
        case DiscLayout::Mode1Raw:
            return {static_cast<std::uint32_t>(kSectorSize),
                    static_cast<std::uint32_t>(kMode1DataOffset)};
        case DiscLayout::Mode2Raw:
            return {static_cast<std::uint32_t>(kSectorSize),
                    static_cast<std::uint32_t>(kForm1DataOffset)};
        case DiscLayout::Mode2Headerless:
            return {static_cast<std::uint32_t>(kHeaderlessSectorSize),
                    static_cast<std::uint32_t>(kForm1DataOffset - kSubheaderOffset)};
    }
    return {};
}

std::optional<DiscFiles> DiscFiles::Read(const std::string& path, DiscLayout layout) {
    cdio_log_set_handler(Quiet);
    IsoHandle iso(iso9660_open_fuzzy_ext(path.c_str(), ISO_EXTENSION_NONE, kFuzz));
    if (!iso) {
        return std::nullopt;
    }
    Walker walker(iso.get());
    if (!walker.WalkRoot()) {
        return std::nullopt;
    }
    return DiscFiles(std::move(walker.extents), layout);
}

DiscFiles::DiscFiles(std::vector<Extent> extents, DiscLayout layout)
    : extents_(std::move(extents)), geometry_(GeometryOf(layout)) {
    std::stable_sort(extents_.begin(), extents_.end(), [](const Extent& a, const Extent& b) {
        return a.firstSector < b.firstSector;
    });
}

const DiscFiles::Extent* DiscFiles::ExtentAt(std::uint64_t lba) const {
    auto after = std::upper_bound(
        extents_.begin(), extents_.end(), lba,
        [](std::uint64_t sector, const Extent& extent) { return sector < extent.firstSector; });
    if (after == extents_.begin()) {
        return nullptr;
    }
    const Extent& extent = *(after - 1);
    return lba - extent.firstSector < extent.sectorCount ? &extent : nullptr;
}

DiscPlace DiscFiles::PlaceOf(std::uint64_t filePosition) const {
    DiscPlace place;
    if (geometry_.sectorSize == 0) {
        return place;
    }
    place.lba = filePosition / geometry_.sectorSize;
    const std::uint64_t within = filePosition % geometry_.sectorSize;
    if (const Extent* extent = ExtentAt(place.lba)) {
        place.path = extent->path;
        place.offsetInFile = (place.lba - extent->firstSector) * kUserDataSize +
                             (within > geometry_.dataOffset ? within - geometry_.dataOffset : 0);
    }
    return place;
}

}  // namespace pixalto::disc
