#include "disc/DiscView.h"

#include <pthread.h>

#include <algorithm>
#include <array>
#include <csignal>
#include <cstring>
#include <new>

#include "disc/SectorCodes.h"
#include "disc/SectorFormat.h"

namespace pixalto::disc {
namespace {

// Sectors read at once: about a MiB, so that a whole-disc read makes few
// large reads.
constexpr std::uint64_t kCacheSectors = 448;

// SIGINT, SIGTERM and SIGHUP wait while a sector is written. Data and codes
// go out in one write, but a stop by a signal's default action can still cut
// a write short at a page boundary; held, a stop finds every sector whole,
// with its old bytes and codes or its new ones. A signal that came meanwhile
// is delivered when the hold ends, to the program's handler (which removes
// temporary files) or to its default action.
class StopSignalsHeld {
  public:
    StopSignalsHeld() {
        sigset_t stops;
        sigemptyset(&stops);
        for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
            sigaddset(&stops, sig);
        }
        pthread_sigmask(SIG_BLOCK, &stops, &previous_);
    }
    ~StopSignalsHeld() { pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }
    StopSignalsHeld(const StopSignalsHeld&) = delete;
    StopSignalsHeld& operator=(const StopSignalsHeld&) = delete;

  private:
    sigset_t previous_;
};

}  // namespace

DiscView::DiscView(File& file, DiscLayout layout)
    : file_(file),
      layout_(layout),
      stride_(StoredSectorSize(layout)),
      skip_(stride_ != 0 ? kSectorSize - stride_ : 0) {
    std::int64_t length = file_.GetLength();
    fileLength_ = length > 0 ? static_cast<std::uint64_t>(length) : 0;
    if (layout_ != DiscLayout::Plain) {
        wholeSectors_ = fileLength_ / stride_;
    }
}

std::uint64_t DiscView::MaxLength() const {
    return layout_ == DiscLayout::Plain ? fileLength_ : wholeSectors_ * kUserDataSize;
}

std::uint64_t DiscView::Length() {
    if (layout_ == DiscLayout::Plain) {
        return fileLength_;
    }
    while (MapMore()) {
    }
    return viewSectors_ * kUserDataSize;
}

bool DiscView::Reaches(std::uint64_t end) {
    if (layout_ == DiscLayout::Plain) {
        return end <= fileLength_;
    }
    if (end == 0) {
        return true;
    }
    return MapViewSector((end - 1) / kUserDataSize);
}

std::size_t DiscView::Read(std::uint64_t offset, void* out, std::size_t count) {
    if (layout_ == DiscLayout::Plain) {
        return ReadPlain(offset, out, count);
    }
    auto* bytes = static_cast<std::uint8_t*>(out);
    std::size_t done = 0;
    while (done < count) {
        std::uint64_t at = offset + done;
        if (at < offset || !MapViewSector(at / kUserDataSize)) {
            break;
        }
        Place place = PlaceOf(at / kUserDataSize);
        const std::uint8_t* sector = SectorBytes(place.sector);
        if (sector == nullptr) {
            break;
        }
        std::size_t within = static_cast<std::size_t>(at % kUserDataSize);
        std::size_t piece = std::min(kUserDataSize - within, count - done);
        std::memcpy(bytes + done, sector + place.dataOffset + within, piece);
        done += piece;
    }
    return done;
}

bool DiscView::Write(std::uint64_t offset, const void* data, std::size_t count) {
    if (layout_ == DiscLayout::Plain) {
        return WritePlain(offset, data, count);
    }
    std::uint64_t end = offset + count;
    if (end < offset || !Reaches(end)) {
        return false;
    }
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    std::size_t done = 0;
    while (done < count) {
        std::uint64_t at = offset + done;
        std::size_t within = static_cast<std::size_t>(at % kUserDataSize);
        std::size_t piece = std::min(kUserDataSize - within, count - done);
        if (!WriteSector(PlaceOf(at / kUserDataSize), within, bytes + done, piece)) {
            return false;
        }
        done += piece;
    }
    return true;
}

std::optional<std::uint64_t> DiscView::FileOffsetOf(std::uint64_t viewOffset) {
    if (layout_ == DiscLayout::Plain) {
        return viewOffset < fileLength_ ? std::optional(viewOffset) : std::nullopt;
    }
    if (!MapViewSector(viewOffset / kUserDataSize)) {
        return std::nullopt;
    }
    Place place = PlaceOf(viewOffset / kUserDataSize);
    return place.sector * stride_ + place.dataOffset + viewOffset % kUserDataSize;
}

std::optional<std::uint64_t> DiscView::ViewOffsetOf(std::uint64_t fileOffset) {
    if (layout_ == DiscLayout::Plain) {
        return fileOffset < fileLength_ ? std::optional(fileOffset) : std::nullopt;
    }
    std::uint64_t sector = fileOffset / stride_;
    if (!MapFileSector(sector)) {
        return std::nullopt;
    }
    auto after =
        std::upper_bound(runs_.begin(), runs_.end(), sector,
                         [](std::uint64_t s, const Run& run) { return s < run.firstSector; });
    if (after == runs_.begin()) {
        return std::nullopt;
    }
    const Run& run = *(after - 1);
    std::size_t within = static_cast<std::size_t>(fileOffset % stride_);
    if (sector >= run.firstSector + run.count || within < run.dataOffset ||
        within >= run.dataOffset + kUserDataSize) {
        return std::nullopt;
    }
    return (run.firstViewSector + (sector - run.firstSector)) * kUserDataSize +
           (within - run.dataOffset);
}

// Classifies the next stretch of sectors: those already in the cache when
// the map's end lies inside it (the usual case when the view is read in
// order), otherwise the next cacheful read from the file. False when every
// whole sector is mapped.
bool DiscView::MapMore() {
    if (mappedSectors_ >= wholeSectors_) {
        return false;
    }
    const std::uint8_t* bytes = SectorBytes(mappedSectors_);
    if (bytes == nullptr) {
        // The file ended early or can't be read: the view ends here.
        wholeSectors_ = mappedSectors_;
        return false;
    }
    const std::uint64_t cacheEnd = cacheFirst_ + cacheSectors_;
    for (; mappedSectors_ < cacheEnd; bytes += stride_) {
        MapSector(mappedSectors_, bytes);
        ++mappedSectors_;
    }
    return true;
}

void DiscView::MapSector(std::uint64_t sector, const std::uint8_t* bytes) {
    SectorKind kind = skip_ != 0 ? ClassifyHeaderless(bytes) : ClassifySector(bytes);
    if (!IsDataSector(kind)) {
        return;
    }
    // Where the data lies in the sector as the file stores it.
    std::size_t dataOffset = UserDataOffset(kind) - skip_;
    if (!runs_.empty()) {
        Run& last = runs_.back();
        if (last.firstSector + last.count == sector && last.dataOffset == dataOffset) {
            ++last.count;
            ++viewSectors_;
            return;
        }
    }
    runs_.push_back({sector, viewSectors_, 1, dataOffset});
    ++viewSectors_;
}

bool DiscView::MapViewSector(std::uint64_t viewSector) {
    while (viewSectors_ <= viewSector) {
        if (!MapMore()) {
            return false;
        }
    }
    return true;
}

bool DiscView::MapFileSector(std::uint64_t sector) {
    while (mappedSectors_ <= sector) {
        if (!MapMore()) {
            return false;
        }
    }
    return true;
}

// The file sector of a mapped view sector. Reads move forward, so the run of
// the last lookup or the next one usually holds it.
DiscView::Place DiscView::PlaceOf(std::uint64_t viewSector) {
    auto holds = [&](std::size_t index) {
        const Run& run = runs_[index];
        return viewSector >= run.firstViewSector && viewSector - run.firstViewSector < run.count;
    };
    if (lastRun_ >= runs_.size() || !holds(lastRun_)) {
        if (lastRun_ + 1 < runs_.size() && holds(lastRun_ + 1)) {
            ++lastRun_;
        } else {
            auto after = std::upper_bound(
                runs_.begin(), runs_.end(), viewSector,
                [](std::uint64_t v, const Run& run) { return v < run.firstViewSector; });
            lastRun_ = static_cast<std::size_t>(after - runs_.begin()) - 1;
        }
    }
    const Run& run = runs_[lastRun_];
    return {run.firstSector + (viewSector - run.firstViewSector), run.dataOffset};
}

// The bytes of a whole sector, from the cache or by reading a cacheful of
// sectors from this one on; nothing when it can't be read in full.
std::uint8_t* DiscView::SectorBytes(std::uint64_t sector) {
    if (sector >= cacheFirst_ && sector - cacheFirst_ < cacheSectors_) {
        return cache_.data() + (sector - cacheFirst_) * stride_;
    }
    cacheSectors_ = 0;
    if (sector >= wholeSectors_) {
        return nullptr;
    }
    const std::uint64_t want = std::min(kCacheSectors, wholeSectors_ - sector);
    // No bigger than the image: a small one costs no MiB. Without memory for
    // it the sector can't be read, as when the file can't.
    try {
        cache_.resize(std::max(cache_.size(), static_cast<std::size_t>(want * stride_)));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    std::size_t got = 0;
    if (file_.Seek(static_cast<std::int64_t>(sector * stride_))) {
        got = file_.Read(cache_.data(), static_cast<std::size_t>(want * stride_));
    }
    cacheFirst_ = sector;
    cacheSectors_ = got / stride_;
    return cacheSectors_ > 0 ? cache_.data() : nullptr;
}

// Puts count bytes at within of a data sector's user data, rebuilds its
// codes, and writes the sector back whole. The sector is read afresh rather
// than taken from the cache, so that the check of its kind and the bytes
// written back are what the file holds now. A sector stored without sync and
// header is made whole in memory for its codes, and goes back as stored.
bool DiscView::WriteSector(Place place, std::size_t within, const std::uint8_t* data,
                           std::size_t count) {
    const std::uint64_t base = place.sector * stride_;
    std::array<std::uint8_t, kSectorSize> sector;
    std::uint8_t* const stored = sector.data() + skip_;
    if (!file_.Seek(static_cast<std::int64_t>(base)) || file_.Read(stored, stride_) != stride_) {
        return false;
    }
    if (pending_ != nullptr) {
        pending_->Overlay(base, stored, stride_);
    }
    CompleteStoredSector(sector.data(), stride_);
    std::memcpy(stored + place.dataOffset + within, data, count);
    // The map said data sector; a file changed under the view is not patched.
    if (UserDataOffset(ClassifySector(sector.data())) != skip_ + place.dataOffset ||
        !RebuildSectorCodes(sector.data())) {
        return false;
    }
    if (pending_ != nullptr) {
        pending_->Put(base, stored, stride_);
        return true;
    }
    bool written = false;
    {
        const StopSignalsHeld held;
        written = file_.Seek(static_cast<std::int64_t>(base)) && file_.Write(stored, stride_);
    }
    // The cache holds what the file now holds, or forgets its sectors when
    // the file may be half written.
    const bool cached = place.sector >= cacheFirst_ && place.sector - cacheFirst_ < cacheSectors_;
    if (!written) {
        cacheSectors_ = 0;
    } else if (cached) {
        std::memcpy(cache_.data() + (place.sector - cacheFirst_) * stride_, stored, stride_);
    }
    return written;
}

std::size_t DiscView::ReadPlain(std::uint64_t offset, void* out, std::size_t count) {
    if (offset >= fileLength_ || !file_.Seek(static_cast<std::int64_t>(offset))) {
        return 0;
    }
    return file_.Read(
        out, static_cast<std::size_t>(std::min<std::uint64_t>(count, fileLength_ - offset)));
}

bool DiscView::WritePlain(std::uint64_t offset, const void* data, std::size_t count) {
    if (offset > fileLength_ || count > fileLength_ - offset) {
        return false;
    }
    if (pending_ != nullptr) {
        pending_->Put(offset, static_cast<const std::uint8_t*>(data), count);
        return true;
    }
    return file_.Seek(static_cast<std::int64_t>(offset)) && file_.Write(data, count);
}

}  // namespace pixalto::disc
