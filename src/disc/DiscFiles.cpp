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

struct ListFreer {
    void operator()(CdioList_t* list) const { iso9660_filelist_free(list); }
};
using ListHandle = std::unique_ptr<CdioList_t, ListFreer>;

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

class Walker {
  public:
    explicit Walker(iso9660_t* iso) : iso_(iso) {}

    bool Walk(const std::string& dir, int depth) {
        ListHandle list(iso9660_ifs_readdir(iso_, dir.empty() ? "/" : (dir + "/").c_str()));
        if (!list) {
            return false;
        }
        for (CdioListNode_t* node = _cdio_list_begin(list.get()); node != nullptr;
             node = _cdio_list_node_next(node)) {
            const auto* stat = static_cast<const iso9660_stat_t*>(_cdio_list_node_data(node));
            const std::string_view name = stat->filename;
            if (name.empty() || name == "." || name == ".." || extents.size() >= kMaxExtents) {
                continue;
            }
            const std::string path = dir + "/" + CleanName(name);
            if (stat->type == iso9660_stat_t::_STAT_DIR) {
                if (depth < kMaxDepth && visited_.insert(stat->lsn).second) {
                    Walk(path, depth + 1);
                }
            } else if (stat->secsize > 0 && stat->lsn >= 0) {
                // An XA file's sectors interleave Form 2 (audio, video) with
                // Form 1; its record counts them all, so it is taken as it
                // stands.
                extents.push_back({static_cast<std::uint64_t>(stat->lsn), stat->secsize, path});
            }
        }
        return true;
    }

    std::vector<DiscFiles::Extent> extents;

  private:
    iso9660_t* iso_;
    std::unordered_set<lsn_t> visited_;
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
    if (!walker.Walk("", 0)) {
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
