#include "support/BmpBuilder.h"

namespace pixalto::testing {
namespace {

template <typename T>
void Put(std::vector<std::uint8_t>& out, T v) {
    for (std::size_t i = 0; i < sizeof(T); ++i) {
        out.push_back(static_cast<std::uint8_t>(static_cast<std::uint64_t>(v) >> (8 * i)));
    }
}

}  // namespace

std::vector<std::uint8_t> MakeBmp(const BmpSpec& desc) {
    const auto offBits = desc.offBits.value_or(
        54 + static_cast<std::uint32_t>(desc.infoTail.size() + desc.palette.size()));
    std::vector<std::uint8_t> out;
    Put(out, desc.type);
    Put(out, static_cast<std::uint32_t>(offBits + desc.pixels.size() + desc.trailer.size()));
    Put(out, std::uint16_t{0});
    Put(out, std::uint16_t{0});
    Put(out, offBits);
    Put(out, desc.biSize);
    Put(out, desc.width);
    Put(out, desc.height);
    Put(out, std::uint16_t{1});
    Put(out, desc.bitCount);
    Put(out, desc.compression);
    for (int i = 0; i < 5; ++i) {
        Put(out, std::uint32_t{0});
    }
    out.insert(out.end(), desc.infoTail.begin(), desc.infoTail.end());
    out.insert(out.end(), desc.palette.begin(), desc.palette.end());
    if (out.size() < offBits) {
        out.resize(offBits, 0);
    }
    out.insert(out.end(), desc.pixels.begin(), desc.pixels.end());
    out.insert(out.end(), desc.trailer.begin(), desc.trailer.end());
    return out;
}

std::vector<std::uint8_t> BottomUpRows(const std::vector<std::vector<std::uint8_t>>& topDown,
                                       std::size_t rowSize) {
    std::vector<std::uint8_t> out;
    for (auto row = topDown.rbegin(); row != topDown.rend(); ++row) {
        std::vector<std::uint8_t> stored = *row;
        stored.resize(rowSize, 0);
        out.insert(out.end(), stored.begin(), stored.end());
    }
    return out;
}

BmpSpec PatternBmp(std::uint16_t bitCount, std::int32_t width, std::int32_t height, bool padded,
                   std::uint32_t seed) {
    BmpSpec desc;
    desc.bitCount = bitCount;
    desc.width = width;
    desc.height = height;
    std::uint32_t state = seed * 2654435761u + 7;
    auto next = [&state] {
        state = state * 1664525u + 1013904223u;
        return static_cast<std::uint8_t>(state >> 24);
    };
    const std::size_t paletteCount = bitCount == 4 ? 16 : bitCount == 8 ? 256 : 0;
    for (std::size_t i = 0; i < paletteCount; ++i) {
        desc.palette.insert(desc.palette.end(), {next(), next(), next(), 0});
    }
    const std::size_t rowData = (static_cast<std::size_t>(width) * bitCount + 7) / 8;
    std::size_t rowSize =
        padded ? (static_cast<std::size_t>(width) * bitCount + 31) / 32 * 4 : rowData;
    if (!padded && bitCount == 4) {
        rowSize = (static_cast<std::size_t>(width) + width % 8) / 2;
    }
    std::vector<std::vector<std::uint8_t>> rows(static_cast<std::size_t>(height));
    for (auto& row : rows) {
        row.resize(rowData);
        for (auto& byte : row) {
            byte = next();
        }
    }
    desc.pixels = BottomUpRows(rows, rowSize);
    return desc;
}

std::vector<std::uint8_t> MakeSidecar(const SidecarSpec& desc) {
    std::vector<std::uint8_t> out = {'P', 'X'};
    Put(out, desc.imageX);
    Put(out, desc.imageY);
    if (!desc.hasClut) {
        return out;
    }
    Put(out, desc.clutX);
    Put(out, desc.clutY);
    Put(out, desc.sets);
    if (desc.sets != 1) {
        Put(out, desc.paletteSet);
    }
    for (std::uint16_t entry : desc.storedEntries) {
        Put(out, entry);
    }
    return out;
}

}  // namespace pixalto::testing
