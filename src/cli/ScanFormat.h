#pragma once
// The scan's rows as data: tab- or comma-separated values with a header line,
// or JSON Lines (one object a line). Every field is written as it comes, so a
// listing of any length takes the same memory.

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

namespace pixalto::cli {

enum class ScanFormat { Text, Tsv, Csv, Json };

// Which disc fields a listing has: none for a plain file, the sector alone
// for a disc image whose file system can't be read, or all three.
enum class DiscColumns { None, Lba, All };

struct ScanRow {
    std::int32_t number = 0;
    std::uint64_t position = 0;
    std::uint32_t width = 0;  // pixels
    std::uint32_t height = 0;
    std::uint32_t bpp = 0;
    std::uint32_t clutSets = 0;
    std::uint32_t imageX = 0, imageY = 0;
    std::optional<std::pair<std::uint32_t, std::uint32_t>> clutOrigin;  // with a CLUT
    std::uint64_t lba = 0;
    std::string_view path;  // empty for a sector no file holds
    std::uint64_t offsetInFile = 0;
};

// The header line of TSV and CSV; nothing for JSON.
void WriteScanHeader(std::ostream& out, ScanFormat format, DiscColumns columns);
void WriteScanRow(std::ostream& out, ScanFormat format, DiscColumns columns, const ScanRow& row);

// A field as each format quotes it. TSV escapes backslash, tab, line feed and
// carriage return as \\, \t, \n and \r; CSV quotes a field holding a comma, a
// quote or a line break, doubling its quotes; JSON gives a quoted string with
// control characters escaped and bytes from 0x80 on taken as Latin-1 (a
// disc's names are bytes, and the output stays valid UTF-8).
std::string TsvField(std::string_view text);
std::string CsvField(std::string_view text);
std::string JsonString(std::string_view text);

}  // namespace pixalto::cli
