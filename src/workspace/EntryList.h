#pragma once
// The list of TIMs a scan found, as the window shows it: its columns, the
// numbers an entry's headers add to what the scan kept (read from the RAW
// file when a row is shown, sorted or filtered, so that the entries stay
// 16 bytes each), the filter typed over it, and the bounded cache of the
// rows' thumbnails.

#include <array>
#include <cstddef>
#include <cstdint>
#include <list>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "image/Thumbnail.h"
#include "raw/RawData.h"
#include "raw/ScanEntry.h"

namespace pixalto::workspace {

// The list's columns. A new column is one value here and one row in
// kListColumns.
enum class ListColumn {
    FileNumber,
    Thumbnail,
    Position,
    Width,
    Height,
    Bpp,
    ClutSets,
    Sector,
    Path,
};

struct ListColumnInfo {
    ListColumn column;
    const char* header;
    bool discOnly;  // shown only for a disc image
};

inline constexpr std::array kListColumns = {
    ListColumnInfo{ListColumn::FileNumber, "File #", false},
    ListColumnInfo{ListColumn::Thumbnail, "Image", false},
    ListColumnInfo{ListColumn::Position, "Position", false},
    ListColumnInfo{ListColumn::Width, "Width", false},
    ListColumnInfo{ListColumn::Height, "Height", false},
    ListColumnInfo{ListColumn::Bpp, "bpp", false},
    ListColumnInfo{ListColumn::ClutSets, "CLUT sets", false},
    ListColumnInfo{ListColumn::Sector, "Sector", true},
    ListColumnInfo{ListColumn::Path, "Path", true},
};

// Thumbnails fit a square this many pixels wide.
inline constexpr std::uint32_t kThumbnailSide = 64;

// What a listed TIM's headers say beyond its entry. bpp 0: they can't be
// read, or no longer hold a TIM.
struct EntryDetails {
    std::uint32_t bpp = 0;
    std::uint32_t pixelWidth = 0;
    std::uint32_t clutSets = 0;  // whole sets; 0 without a CLUT
};
EntryDetails ReadEntryDetails(raw::RawData& raw, const raw::ScanEntry& entry);

// The rows to show: width and height in pixels and bpp, each only when given.
struct EntryFilter {
    std::optional<std::uint32_t> width, height, bpp;
    bool Empty() const { return !width && !height && !bpp; }
    bool operator==(const EntryFilter&) const = default;
};
// "64x32", "64x*", "*x32", "4bpp" or a size and a depth ("64x64 8bpp"), in any
// case, spaces or commas between; "" shows every row. Nothing for any other
// text.
std::optional<EntryFilter> ParseEntryFilter(std::string_view text);

// The last thumbnails made, up to a fixed number: a list of millions asks
// only for the rows it shows, and a row shown again costs nothing.
class ThumbnailCache {
  public:
    explicit ThumbnailCache(std::size_t capacity) : capacity_(capacity) {}
    // The thumbnail of an entry, now the most recently used; nothing when
    // it isn't held.
    const Thumbnail* Find(std::size_t entry);
    // Keeps it, dropping the least recently used beyond the capacity.
    const Thumbnail& Add(std::size_t entry, Thumbnail thumbnail);
    void Clear();
    std::size_t Size() const { return order_.size(); }

  private:
    using Held = std::list<std::pair<std::size_t, Thumbnail>>;
    std::size_t capacity_;
    Held order_;  // most recently used first
    std::unordered_map<std::size_t, Held::iterator> index_;
};

}  // namespace pixalto::workspace
