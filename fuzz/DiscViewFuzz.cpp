// Any bytes as a raw CD image, read as both layouts: read the whole view in
// uneven pieces, map offsets both ways, then write a few bytes through the
// view and check that they read back and that every sector they touched now
// carries valid codes. Sector kinds, a partial tail and broken sync all come
// from the input; nothing may be read or written outside a buffer.

#include <algorithm>
#include <array>
#include <cstdlib>
#include <optional>
#include <vector>

#include "FuzzTarget.h"
#include "disc/DiscCheck.h"
#include "disc/DiscView.h"
#include "disc/SectorCodes.h"
#include "disc/SectorFormat.h"
#include "platform/File.h"
#include "support/DiscBuilder.h"

namespace {

using namespace pixalto;

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void ReadAndMap(disc::DiscView& view, std::size_t step) {
    std::vector<std::uint8_t> buffer(step);
    std::uint64_t at = 0;
    while (std::size_t n = view.Read(at, buffer.data(), buffer.size())) {
        at += n;
    }
    Require(at == view.Length());
    for (std::uint64_t v = 0; v < at; v += 997) {
        auto file = view.FileOffsetOf(v);
        Require(file.has_value() && view.ViewOffsetOf(*file) == v);
    }
    Require(!view.FileOffsetOf(at).has_value());
}

void RequireValidSector(File& file, std::size_t stored, std::optional<std::uint64_t> fileOffset) {
    Require(fileOffset.has_value());
    const std::uint64_t sector = *fileOffset / stored;
    std::array<std::uint8_t, disc::kSectorSize> bytes;
    Require(file.Seek(static_cast<std::int64_t>(sector * stored)) &&
            file.Read(bytes.data() + disc::kSectorSize - stored, stored) == stored);
    disc::CompleteStoredSector(bytes.data(), stored);
    const disc::SectorCheck check = disc::CheckSectorCodes(bytes.data());
    Require(disc::IsDataSector(check.kind) && check.edcOk && check.eccOk);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string path = fuzz::WriteScratchFile("disc.bin", data, size);
    // Uneven pieces, but no more than about 32 of them: a plain file is read
    // from the file on every call.
    const std::size_t step = std::max<std::size_t>(size > 0 ? 1 + data[0] * 40 : 1, size / 32 + 1);
    for (auto layout :
         {disc::DiscLayout::Mode2Raw, disc::DiscLayout::Mode2Headerless, disc::DiscLayout::Plain}) {
        File file;
        Require(file.Open(path, File::Mode::WriteInPlace));
        disc::DiscView view(file, layout);
        ReadAndMap(view, step);
        const std::uint64_t length = view.Length();
        if (length == 0) {
            continue;
        }
        const std::uint64_t at = (size > 1 ? data[1] * 4099u : 0u) % length;
        std::vector<std::uint8_t> piece(std::min<std::uint64_t>(length - at, 3000), 0xA5);
        Require(view.Write(at, piece.data(), piece.size()));
        std::vector<std::uint8_t> back(piece.size());
        Require(view.Read(at, back.data(), back.size()) == back.size() && back == piece);
        Require(!view.Write(length, piece.data(), 1));
        if (layout == disc::DiscLayout::Plain) {
            continue;
        }
        // The check reads whatever the input holds; sectors the input brought
        // with bad codes may stay bad, but every sector the write touched
        // must be valid now.
        disc::CheckDisc(file, layout);
        for (std::uint64_t v = at - at % disc::kUserDataSize; v < at + piece.size();
             v += disc::kUserDataSize) {
            RequireValidSector(file, view.SectorSize(), view.FileOffsetOf(v));
        }
    }
    return 0;
}

namespace pixalto::fuzz {

std::vector<std::vector<std::uint8_t>> Seeds() {
    std::vector<std::vector<std::uint8_t>> seeds;
    // A few sectors each: the work per input grows with its sectors.
    testing::DiscContents gapped;
    gapped.data.assign(disc::kUserDataSize + 100, 0x10);
    gapped.gapsBefore = {0, 1};
    seeds.push_back(testing::MakeDisc(gapped).image);
    auto truncated = seeds.back();
    truncated.resize(truncated.size() - 1000);
    seeds.push_back(truncated);
    testing::DiscContents mode1;
    mode1.dataKind = disc::SectorKind::Mode1;
    mode1.gapKind = disc::SectorKind::Other;
    mode1.data.assign(2 * disc::kUserDataSize, 0x42);
    mode1.gapsBefore = {1};
    seeds.push_back(testing::MakeDisc(mode1).image);
    return seeds;
}

}  // namespace pixalto::fuzz
