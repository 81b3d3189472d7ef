#include "disc/PatchFile.h"

#include <algorithm>
#include <array>
#include <string>

namespace pixalto::disc {
namespace {

// PPF 3.0 as its authors document it in "Playstation Patch File version 3.0
// file-structure for developers" (PPF3.txt, in the PPF 3.0 distribution by
// Icarus/Paradox):
//   0-4    "PPF30"
//   5      encoding method, 0x02 for PPF 3.0
//   6-55   description, 50 bytes
//   56     image type, 0x00 for BIN (any)
//   57     block check, 0x01 when the 1,024-byte block below is present
//   58     undo data, 0x01 when every record carries it
//   59     not used
//   60-1083 (with the block check only) the original's 1,024 bytes from 0x9320
// then records: an 8-byte little-endian file offset, a count byte (1-255),
// the count new bytes, and with undo data the count bytes they replace.
constexpr std::string_view kPpfMagic = "PPF30";
constexpr std::uint8_t kPpfEncoding = 0x02;
constexpr std::size_t kPpfDescriptionSize = 50;
constexpr std::uint8_t kPpfImageBin = 0x00;
constexpr std::uint64_t kPpfCheckBlockAt = 0x9320;
constexpr std::size_t kPpfCheckBlockSize = 1024;
constexpr std::size_t kPpfMaxRecord = 255;

// IPS: "PATCH", records of a 3-byte big-endian offset, a 2-byte big-endian
// count (0 would mean a run of one byte, which is never written) and the
// bytes, then "EOF". A record can't start at 0x454F46, whose offset bytes
// spell "EOF": it starts a byte earlier instead.
constexpr std::string_view kIpsMagic = "PATCH";
constexpr std::string_view kIpsEnd = "EOF";
constexpr std::uint64_t kIpsLimit = std::uint64_t{1} << 24;
constexpr std::uint64_t kIpsEofOffset = 0x454F46;
constexpr std::size_t kIpsMaxRecord = 0xFFFF;

void Append(std::vector<std::uint8_t>& out, std::string_view text) {
    out.insert(out.end(), text.begin(), text.end());
}

void AppendBigEndian(std::vector<std::uint8_t>& out, std::uint64_t value, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) {
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
}

// The original's bytes from offset, as many as it holds of count.
Result<std::vector<std::uint8_t>> ReadOriginal(File& file, std::uint64_t offset,
                                               std::size_t count) {
    std::vector<std::uint8_t> bytes(count);
    const std::int64_t length = file.GetLength();
    const std::uint64_t held =
        length > 0 && offset < static_cast<std::uint64_t>(length)
            ? std::min<std::uint64_t>(count, static_cast<std::uint64_t>(length) - offset)
            : 0;
    bytes.resize(static_cast<std::size_t>(held));
    if (held > 0 && (!file.Seek(static_cast<std::int64_t>(offset)) ||
                     file.Read(bytes.data(), bytes.size()) != bytes.size())) {
        return file.LastError().As(ErrorCode::CouldntReadToEnd);
    }
    return bytes;
}

}  // namespace

Result<std::vector<PatchChange>> ChangesOf(const PendingWrites& pending, File& file) {
    std::vector<PatchChange> changes;
    for (const auto& [offset, after] : pending.Runs()) {
        auto before = ReadOriginal(file, offset, after.size());
        if (!before) {
            return before.error();
        }
        const std::vector<std::uint8_t>& held = *before;
        auto differs = [&](std::size_t i) { return i >= held.size() || held[i] != after[i]; };
        for (std::size_t i = 0; i < after.size();) {
            if (!differs(i)) {
                ++i;
                continue;
            }
            std::size_t end = i;
            while (end < after.size() && differs(end)) {
                ++end;
            }
            PatchChange change;
            change.offset = offset + i;
            change.after.assign(after.begin() + static_cast<std::ptrdiff_t>(i),
                                after.begin() + static_cast<std::ptrdiff_t>(end));
            const std::size_t heldEnd = std::min(end, held.size());
            if (i < heldEnd) {
                change.before.assign(held.begin() + static_cast<std::ptrdiff_t>(i),
                                     held.begin() + static_cast<std::ptrdiff_t>(heldEnd));
            }
            changes.push_back(std::move(change));
            i = end;
        }
    }
    return changes;
}

std::vector<std::uint8_t> MakePpf(const std::vector<PatchChange>& changes,
                                  std::string_view description, File& original) {
    std::vector<std::uint8_t> out;
    Append(out, kPpfMagic);
    out.push_back(kPpfEncoding);
    std::string text(description.substr(0, kPpfDescriptionSize));
    text.resize(kPpfDescriptionSize, ' ');
    Append(out, text);
    out.push_back(kPpfImageBin);

    // The check block is the original's, so no change may touch it: an
    // applier compares it with the image before patching.
    const bool touched = std::any_of(changes.begin(), changes.end(), [](const PatchChange& c) {
        return c.offset < kPpfCheckBlockAt + kPpfCheckBlockSize &&
               c.offset + c.after.size() > kPpfCheckBlockAt;
    });
    auto block = ReadOriginal(original, kPpfCheckBlockAt, kPpfCheckBlockSize);
    const bool check = !touched && block && block->size() == kPpfCheckBlockSize;
    out.push_back(check ? 1 : 0);
    out.push_back(1);  // undo data
    out.push_back(0);
    if (check) {
        out.insert(out.end(), block->begin(), block->end());
    }

    for (const PatchChange& change : changes) {
        for (std::size_t at = 0; at < change.after.size(); at += kPpfMaxRecord) {
            const std::size_t count = std::min(kPpfMaxRecord, change.after.size() - at);
            std::array<std::uint8_t, 8> offset{};
            for (std::size_t i = 0; i < offset.size(); ++i) {
                offset[i] = static_cast<std::uint8_t>((change.offset + at) >> (8 * i));
            }
            out.insert(out.end(), offset.begin(), offset.end());
            out.push_back(static_cast<std::uint8_t>(count));
            const auto from = change.after.begin() + static_cast<std::ptrdiff_t>(at);
            out.insert(out.end(), from, from + static_cast<std::ptrdiff_t>(count));
            // Bytes past the original's end had none to restore: zeros.
            for (std::size_t i = at; i < at + count; ++i) {
                out.push_back(i < change.before.size() ? change.before[i] : 0);
            }
        }
    }
    return out;
}

Result<std::vector<std::uint8_t>> MakeIps(const std::vector<PatchChange>& changes, File& original) {
    std::vector<std::uint8_t> out;
    Append(out, kIpsMagic);
    for (const PatchChange& change : changes) {
        if (change.offset + change.after.size() > kIpsLimit) {
            return Error(ErrorCode::IpsPastLimit).WithOffset(std::max(change.offset, kIpsLimit));
        }
        for (std::size_t at = 0; at < change.after.size();) {
            std::uint64_t offset = change.offset + at;
            std::size_t count = std::min(kIpsMaxRecord - 1, change.after.size() - at);
            std::vector<std::uint8_t> bytes(
                change.after.begin() + static_cast<std::ptrdiff_t>(at),
                change.after.begin() + static_cast<std::ptrdiff_t>(at + count));
            if (offset == kIpsEofOffset) {
                // The byte before, as the patched file holds it: this
                // change's own, or the original's (a change is a whole run of
                // differing bytes, so the one before it is unchanged).
                std::uint8_t earlier = 0;
                if (at > 0) {
                    earlier = change.after[at - 1];
                } else if (auto held = ReadOriginal(original, offset - 1, 1);
                           held && !held->empty()) {
                    earlier = held->front();
                } else if (!held) {
                    return held.error();
                }
                bytes.insert(bytes.begin(), earlier);
                --offset;
            }
            AppendBigEndian(out, offset, 3);
            AppendBigEndian(out, bytes.size(), 2);
            out.insert(out.end(), bytes.begin(), bytes.end());
            at += count;
        }
    }
    Append(out, kIpsEnd);
    return out;
}

}  // namespace pixalto::disc
