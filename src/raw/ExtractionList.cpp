#include "raw/ExtractionList.h"

#include <algorithm>

#include "raw/NumberText.h"

namespace pixalto::raw {
namespace {

constexpr std::string_view kRecordStart = "\nFile #";

// Of a line, no more is kept than any layout's name needs; a longer one
// names no layout this program knows either way.
constexpr std::size_t kMaxKeptLine = 256;

std::string_view TrimBlanks(std::string_view text) {
    const std::size_t begin = text.find_first_not_of(" \t");
    if (begin == std::string_view::npos) {
        return {};
    }
    return text.substr(begin, text.find_last_not_of(" \t") - begin + 1);
}

// Walks a window the way scanf walks its input for one pattern.
class PatternReader {
  public:
    explicit PatternReader(std::string_view text) : text_(text) {}

    void SkipSpace() {
        while (pos_ < text_.size() && IsSpace(text_[pos_])) {
            ++pos_;
        }
    }
    bool Literal(std::string_view literal) {
        if (text_.substr(pos_, literal.size()) != literal) {
            return false;
        }
        pos_ += literal.size();
        return true;
    }
    std::optional<std::uint64_t> Number(bool wide) {
        auto read = wide ? ReadInt64(text_, pos_) : ReadInt32(text_, pos_);
        if (!read) {
            return std::nullopt;
        }
        pos_ = read->end;
        return read->value;
    }

  private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

}  // namespace

std::string FormatListHead(const std::string& rawFileName,
                           const std::optional<std::string>& layout) {
    return rawFileName + "\r\n" + (layout ? "Layout:\t" + *layout + "\r\n" : "") + "\r\n";
}

void ListLayoutReader::Feed(std::string_view text) {
    for (char c : text) {
        if (c == '\r' || c == '\n') {
            EndLine();
        } else if (line_.size() < kMaxKeptLine) {
            line_ += c;
        }
    }
}

void ListLayoutReader::Finish() {
    EndLine();
}

void ListLayoutReader::EndLine() {
    constexpr std::string_view kLabel = "Layout:";
    std::string_view line = TrimBlanks(line_);
    if (line.substr(0, kLabel.size()) == kLabel) {
        std::string name(TrimBlanks(line.substr(kLabel.size())));
        if (!first_) {
            first_ = std::move(name);
        } else if (name != *first_ && !conflict_) {
            conflict_ = std::move(name);
        }
    }
    line_.clear();
}

std::string FormatListRecord(const ListRecord& record,
                             const std::optional<ListRecordPlace>& place) {
    std::string text = "File #" + Decimal(record.fileNumber) + "\r\nPosition:\t" +
                       Decimal(record.position) + "\r\nSize:\t" + Decimal(record.size) + "\r\n";
    if (place) {
        text += "LBA:\t" + Decimal(place->lba) + "\r\n";
        std::string path = "Path:\t" + place->path + "\r\n";
        std::replace_if(
            path.begin() + 6, path.end() - 2, [](char c) { return c == '\r' || c == '\n'; }, '?');
        // The next record's "\nFile #" must lie wholly in the window that
        // starts at this one.
        if (!place->path.empty() &&
            text.size() + path.size() + 2 + kRecordStart.size() <= kListWindowSize + 1) {
            text += path;
        }
    }
    return text + "\r\n";
}

std::optional<std::string> ReadListHead(std::string_view start, std::size_t* terminator) {
    const std::size_t end = start.substr(0, kListHeadWindowSize).find_first_of("\r\n");
    if (end == std::string_view::npos) {
        return std::nullopt;
    }
    if (terminator != nullptr) {
        *terminator = end;
    }
    return std::string(start.substr(0, end));
}

std::optional<std::size_t> FindListRecord(std::string_view window) {
    std::size_t found = window.substr(0, kListWindowSize).find(kRecordStart);
    if (found == std::string_view::npos) {
        return std::nullopt;
    }
    return found;
}

std::optional<ListRecord> ReadListRecord(std::string_view window) {
    PatternReader in(window.substr(0, kListWindowSize));
    ListRecord record;
    if (!in.Literal("File #")) {
        return std::nullopt;
    }
    auto fileNumber = in.Number(false);
    in.SkipSpace();
    if (!fileNumber || !in.Literal("Position:")) {
        return std::nullopt;
    }
    in.SkipSpace();
    auto position = in.Number(true);
    in.SkipSpace();
    if (!position || !in.Literal("Size:")) {
        return std::nullopt;
    }
    in.SkipSpace();
    auto size = in.Number(true);
    if (!size) {
        return std::nullopt;
    }
    record.fileNumber = static_cast<std::int32_t>(static_cast<std::uint32_t>(*fileNumber));
    record.position = *position;
    record.size = *size;
    return record;
}

}  // namespace pixalto::raw
