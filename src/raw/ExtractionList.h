#pragma once
// The extraction list ("timextracts.txt") that extraction writes beside the
// RAW file and insertion reads back: a head naming the RAW file, then one
// record per TIM written with its file number, position and size. Lines end
// with a carriage return and a line feed.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pixalto::raw {

inline constexpr const char* kExtractionListName = "timextracts.txt";

// Insertion looks at the list through windows of this many bytes: each
// record must begin within the window that starts at the previous record.
inline constexpr std::size_t kListWindowSize = 150;
// The head names the RAW file, and a file name may be 255 bytes long: its
// line must end within this many bytes.
inline constexpr std::size_t kListHeadWindowSize = 512;

struct ListRecord {
    std::int32_t fileNumber = 0;
    std::uint64_t position = 0;
    std::uint64_t size = 0;
};

// "NAME\r\n\r\n": the RAW file's name, never its folder; for a disc image
// a line "Layout:\tMODE2/2352" (or another layout's name) follows the name.
// Readers that look only for "File #" records pass over it.
std::string FormatListHead(const std::string& rawFileName,
                           const std::optional<std::string>& layout = std::nullopt);

// The "Layout:" lines of a list, wherever they stand after the head: a line
// that starts with "Layout:" (blanks allowed before it and around the name)
// names the RAW file's layout. The list is fed piece by piece, so that one of
// any length is read in the same memory.
class ListLayoutReader {
  public:
    // The list's next bytes, from the head's line end on.
    void Feed(std::string_view text);
    // Ends the last line, which may lack a line end.
    void Finish();

    // The layout named first; nothing when no line names one.
    const std::optional<std::string>& Layout() const { return first_; }
    // A name that differs from the first: the list contradicts itself.
    const std::optional<std::string>& Conflict() const { return conflict_; }

  private:
    void EndLine();

    std::string line_;  // the current line's first bytes
    std::optional<std::string> first_;
    std::optional<std::string> conflict_;
};

// Where a disc image's TIM lies on the disc: its sector, and the file of the
// disc's file system that holds it (empty when none does, or the file system
// couldn't be read).
struct ListRecordPlace {
    std::uint64_t lba = 0;
    std::string path;
};

// "File #N\r\nPosition:\tP\r\nSize:\tS\r\n\r\n"; with a place, "LBA:\tL\r\n"
// and "Path:\t/DATA/CHARA.BIN\r\n" go before the blank line. Readers of the
// three numbers pass over them, as long as the next record still begins
// within their window: a path that would push it out is left out (the LBA
// still says where the TIM is), and line breaks in a path are written as '?'.
std::string FormatListRecord(const ListRecord& record,
                             const std::optional<ListRecordPlace>& place = std::nullopt);

// The head: the text before the first line end (carriage return or line
// feed, so that lists saved by any editor are read) within the first
// kListHeadWindowSize bytes of the list; nothing when there is none.
// terminator is set to the offset of that line end, where the search for
// the first record starts.
std::optional<std::string> ReadListHead(std::string_view start, std::size_t* terminator = nullptr);

// Offset in window of the line feed of the first "\nFile #" that lies wholly
// inside it; nothing when there is none.
std::optional<std::size_t> FindListRecord(std::string_view window);

// Reads a record from a window that starts at its "File #", as the pattern
// "File #%i\r\nPosition:\t%i\r\nSize:\t%i" reads it: each white-space
// character of the pattern matches any run of white space, including none.
// Nothing unless all three numbers are there.
std::optional<ListRecord> ReadListRecord(std::string_view window);

}  // namespace pixalto::raw
