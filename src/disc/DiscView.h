#pragma once
// The data of a file as one run of bytes. For a raw CD image (2,352-byte
// sectors, or 2,336-byte Mode 2 sectors without sync and header) that is the
// 2,048 user bytes of every Mode 1 and Mode 2 Form 1 sector, in order, with
// Form 2 sectors (audio, video), sectors without sync and a partial last
// sector left out; for a plain file it is the file itself.
//
// Offsets map both ways between the view and the file, and writes go into
// the sectors' data with their EDC and ECC rebuilt, so that the jobs can
// treat a disc image exactly like a plain file.
//
// The sector map is built as the view is read: a scan that reads the view
// from start to end reads every byte of the image once. Reaching an offset
// far ahead first maps the sectors before it (reading them once).

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "disc/DiscLayout.h"
#include "disc/PendingWrites.h"
#include "platform/File.h"

namespace pixalto::disc {

class DiscView {
  public:
    // A view of an open file with the given layout. The file stays the
    // caller's and must stay open while the view is used; the view moves its
    // position. Writing needs a file open for writing in place.
    DiscView(File& file, DiscLayout layout);

    DiscLayout Layout() const { return layout_; }
    // The bytes each sector takes in the file (2,352 or 2,336); 0 for a
    // plain file.
    std::size_t SectorSize() const { return stride_; }
    std::uint64_t FileLength() const { return fileLength_; }
    // The most the view can hold: the file's length, or every whole sector's
    // 2,048 bytes. Cheap, for progress ranges.
    std::uint64_t MaxLength() const;

    // The view's length. For a disc image this maps every sector that is not
    // mapped yet, reading it.
    std::uint64_t Length();
    // Whether the view holds at least end bytes, mapping no further than
    // needed to know.
    bool Reaches(std::uint64_t end);

    // Copies up to count bytes from offset on into out and returns how many:
    // fewer only at the view's end or when the file can't be read.
    std::size_t Read(std::uint64_t offset, void* out, std::size_t count);

    // Writes count bytes at offset. In a disc image each touched sector gets
    // the new data and freshly computed EDC and ECC; its sync, header,
    // subheader and untouched data stay as they are. Each sector goes out
    // whole in one write while SIGINT, SIGTERM and SIGHUP wait, so a stop
    // leaves every sector valid, old or new. Fails, writing nothing, when the
    // bytes would run past the view's end: the view never grows. False also
    // when the file refuses a write, or when a sector is no longer the kind
    // the view mapped (sectors before the failing one are written, each
    // whole with its codes).
    bool Write(std::uint64_t offset, const void* data, std::size_t count);

    // From now on writes go into pending instead of the file (nullptr: to the
    // file again). A sector written is then read from the file with the
    // pending bytes over it, so that writes build on each other as they would
    // in the file; reads through the view still see the file alone.
    void DivertWrites(PendingWrites* pending) { pending_ = pending; }

    // The file offset of the view's byte at viewOffset; nothing past the end.
    std::optional<std::uint64_t> FileOffsetOf(std::uint64_t viewOffset);
    // The view offset of the file's byte at fileOffset; nothing when that
    // byte is not data (sync, header, codes, a Form 2 sector, the tail).
    std::optional<std::uint64_t> ViewOffsetOf(std::uint64_t fileOffset);

  private:
    // Consecutive data sectors of one kind: file sectors firstSector...,
    // holding view sectors firstViewSector...
    struct Run {
        std::uint64_t firstSector = 0;
        std::uint64_t firstViewSector = 0;
        std::uint64_t count = 0;
        std::size_t dataOffset = 0;
    };
    struct Place {
        std::uint64_t sector = 0;
        std::size_t dataOffset = 0;
    };

    bool MapMore();
    void MapSector(std::uint64_t sector, const std::uint8_t* bytes);
    bool MapViewSector(std::uint64_t viewSector);
    bool MapFileSector(std::uint64_t sector);
    Place PlaceOf(std::uint64_t viewSector);
    std::uint8_t* SectorBytes(std::uint64_t sector);
    bool WriteSector(Place place, std::size_t within, const std::uint8_t* data, std::size_t count);

    std::size_t ReadPlain(std::uint64_t offset, void* out, std::size_t count);
    bool WritePlain(std::uint64_t offset, const void* data, std::size_t count);

    File& file_;
    DiscLayout layout_;
    std::size_t stride_ = 0;  // a sector's bytes in the file
    std::size_t skip_ = 0;    // the bytes of a raw sector the file leaves out (sync, header)
    PendingWrites* pending_ = nullptr;
    std::uint64_t fileLength_ = 0;
    std::uint64_t wholeSectors_ = 0;

    std::vector<Run> runs_;
    std::uint64_t mappedSectors_ = 0;  // file sectors classified so far
    std::uint64_t viewSectors_ = 0;    // data sectors among them
    std::size_t lastRun_ = 0;          // where the last lookup landed: reads go forward

    // The sectors read last, about a MiB of them.
    std::vector<std::uint8_t> cache_;
    std::uint64_t cacheFirst_ = 0;
    std::uint64_t cacheSectors_ = 0;
};

}  // namespace pixalto::disc
