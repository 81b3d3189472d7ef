#pragma once
// The RAW file as the jobs read and patch it: the file itself, and the view
// of its data. For a raw CD image (2,352-byte sectors, or 2,336 without sync
// and header) the view leaves out every sector's sync, headers and codes, so
// that a TIM spread over several sectors reads as one run of bytes, and
// writing through it rebuilds the sectors' codes. Positions shown to the user and kept in the extraction list
// are offsets in the file; the jobs work in the view and map between the two.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "disc/DiscLayout.h"
#include "disc/DiscView.h"
#include "image/TimFormat.h"
#include "platform/File.h"

namespace pixalto::raw {

// How the RAW file's bytes are taken: as detected, or as the user says.
enum class LayoutChoice { Auto, Plain, Disc };

class RawData {
  public:
    RawData() = default;
    RawData(const RawData&) = delete;
    RawData& operator=(const RawData&) = delete;

    // Opens path (File::Mode::ReadRaw or WriteInPlace) and takes its layout
    // as choice says; false when the file can't be opened.
    bool Open(const std::string& path, File::Mode mode, LayoutChoice choice);
    // The same with the layout given.
    bool Open(const std::string& path, File::Mode mode, disc::DiscLayout layout);
    // Takes the open file with another layout (insertion decides once it
    // has seen what the file's first bytes show).
    void UseLayout(disc::DiscLayout layout);
    void Close();
    bool IsOpen() const { return file_.IsOpen(); }

    disc::DiscLayout Layout() const { return view_->Layout(); }
    bool IsDisc() const { return view_ && view_->Layout() != disc::DiscLayout::Plain; }
    // The layout the file's first bytes show (auto detection).
    disc::DiscLayout DetectedLayout();
    disc::DiscView& View() { return *view_; }
    File& file() { return file_; }
    std::uint64_t FileLength() const { return view_ ? view_->FileLength() : 0; }

    // The view offset of a position shown to the user, and back; identity for
    // a plain file.
    std::optional<std::uint64_t> ViewOffsetOf(std::uint64_t filePosition);
    std::uint64_t FilePositionOf(std::uint64_t viewOffset);
    // The failure for a position that holds no byte of the data: one past the
    // file's end (OffsetPastEnd), or in a disc image a byte of a sector's
    // sync, header or codes, or of a sector the data leaves out
    // (OffsetNotInData). Every caller that reads or writes at a position
    // names it this way.
    Error OutsideData(std::uint64_t filePosition) const;

  private:
    File file_;
    std::optional<disc::DiscView> view_;
};

// The bytes of the TIM that starts at viewOffset of the data: as many as its
// header and block lengths say, as far as the data holds them (the reader then
// refuses what is missing with its own messages). Enough for the TIM reader to
// read the TIM as a file of its own, where the file's bytes are not one run.
// NotEnoughMemory when they can't be held.
Result<std::vector<std::uint8_t>> ReadTimBytes(disc::DiscView& view, std::uint64_t viewOffset);

// What a listing shows of a TIM besides its size: depth, CLUT sets and the
// two blocks' origins, from the headers at viewOffset of the data. Nothing
// when the data ends before them; the image block header is all zeros when
// the CLUT block's length puts it past the end.
struct TimHeadline {
    std::uint32_t bpp = 0;
    std::uint32_t clutSets = 0;
    bool hasClut = false;
    BlockHeader clut;
    BlockHeader image;
};
std::optional<TimHeadline> ReadTimHeadline(disc::DiscView& view, std::uint64_t viewOffset);

}  // namespace pixalto::raw
