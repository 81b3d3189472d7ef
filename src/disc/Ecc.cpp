#include "disc/Ecc.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "disc/SectorFormat.h"

namespace pixalto::disc {
namespace {

// GF(2^8) with the field polynomial x^8 + x^4 + x^3 + x^2 + 1; alpha = x.
constexpr unsigned kFieldPolynomial = 0x11D;

constexpr std::uint8_t TimesAlpha(unsigned value) {
    value <<= 1;
    return static_cast<std::uint8_t>((value & 0x100) != 0 ? value ^ kFieldPolynomial : value);
}

constexpr std::uint8_t Multiply(std::uint8_t a, std::uint8_t b) {
    unsigned product = 0;
    unsigned addend = a;
    for (unsigned bits = b; bits != 0; bits >>= 1) {
        if ((bits & 1) != 0) {
            product ^= addend;
        }
        addend = TimesAlpha(addend);
    }
    return static_cast<std::uint8_t>(product);
}

constexpr std::uint8_t Inverse(std::uint8_t value) {
    for (unsigned candidate = 1; candidate < 256; ++candidate) {
        if (Multiply(value, static_cast<std::uint8_t>(candidate)) == 1) {
            return static_cast<std::uint8_t>(candidate);
        }
    }
    return 0;
}

template <typename F>
constexpr std::array<std::uint8_t, 256> Tabulate(F f) {
    std::array<std::uint8_t, 256> table{};
    for (unsigned i = 0; i < 256; ++i) {
        table[i] = f(static_cast<std::uint8_t>(i));
    }
    return table;
}

constexpr auto kTimesAlpha = Tabulate([](std::uint8_t v) { return TimesAlpha(v); });
// The first parity symbol is (S0 + S1) / (alpha + 1), see ParityOf.
constexpr std::uint8_t kInverseAlphaPlusOne = Inverse(TimesAlpha(1) ^ 1);
constexpr auto kOverAlphaPlusOne =
    Tabulate([](std::uint8_t v) { return Multiply(v, kInverseAlphaPlusOne); });

static_assert(Multiply(kInverseAlphaPlusOne, 3) == 1);

// The grid: 1,032 data words in 24 rows of 43 columns, then P's 86 words as
// two more rows, then Q's 52 words.
constexpr std::size_t kColumns = 43;
constexpr std::size_t kDataWords = 1032;
constexpr std::size_t kPWords = 86;
constexpr std::size_t kPRows = kDataWords / kColumns;  // 24 symbols per P vector
constexpr std::size_t kQVectors = 26;
constexpr std::size_t kQSymbols = 43;  // per Q vector: the data words and P along a diagonal
constexpr std::size_t kQSpan = kDataWords + kPWords;  // diagonals wrap around data and P

struct Parity {
    std::uint8_t first = 0;   // weight alpha^1
    std::uint8_t second = 0;  // weight alpha^0
};

// A vector of k symbols followed by its two parity symbols is a codeword when
// the plain sum and the sum weighted by alpha^(n-1-i) both vanish (n = k + 2).
// With S0 the plain sum of the data and S1 its weighted sum, the parity p, q
// solves p + q = S0 and alpha p + q = S1.
template <typename SymbolAt>
Parity ParityOf(std::size_t count, SymbolAt symbolAt) {
    std::uint8_t sum = 0;
    std::uint8_t horner = 0;  // sum of d_i alpha^(k-1-i)
    for (std::size_t i = 0; i < count; ++i) {
        std::uint8_t symbol = symbolAt(i);
        sum ^= symbol;
        horner = kTimesAlpha[horner] ^ symbol;
    }
    std::uint8_t weighted = kTimesAlpha[kTimesAlpha[horner]];
    Parity parity;
    parity.first = kOverAlphaPlusOne[sum ^ weighted];
    parity.second = sum ^ parity.first;
    return parity;
}

// Bytes 12-2075 followed by P and Q, as 16-bit words: the low byte of word w
// is at 2w, the high byte at 2w + 1; each byte plane is coded on its own.
void WriteP(std::uint8_t* area) {
    for (std::size_t column = 0; column < kColumns; ++column) {
        for (std::size_t plane = 0; plane < 2; ++plane) {
            Parity p = ParityOf(kPRows, [&](std::size_t row) {
                return area[2 * (row * kColumns + column) + plane];
            });
            area[2 * (kDataWords + column) + plane] = p.first;
            area[2 * (kDataWords + kColumns + column) + plane] = p.second;
        }
    }
}

void WriteQ(std::uint8_t* area) {
    for (std::size_t diagonal = 0; diagonal < kQVectors; ++diagonal) {
        for (std::size_t plane = 0; plane < 2; ++plane) {
            Parity q = ParityOf(kQSymbols, [&](std::size_t step) {
                std::size_t word = (step * (kColumns + 1) + diagonal * kColumns) % kQSpan;
                return area[2 * word + plane];
            });
            area[2 * (kQSpan + diagonal) + plane] = q.first;
            area[2 * (kQSpan + kQVectors + diagonal) + plane] = q.second;
        }
    }
}

static_assert(kEccDataOffset + 2 * kDataWords == kEccPOffset);
static_assert(kEccPOffset + 2 * kPWords == kEccQOffset);
static_assert(kEccQOffset + 2 * 2 * kQVectors == kSectorSize);

}  // namespace

void WriteEcc(std::uint8_t* sector, bool zeroHeader) {
    std::uint8_t* area = sector + kEccDataOffset;
    std::uint8_t header[4];
    std::memcpy(header, area, sizeof header);
    if (zeroHeader) {
        std::memset(area, 0, sizeof header);
    }
    WriteP(area);
    WriteQ(area);
    std::memcpy(area, header, sizeof header);
}

bool EccMatches(const std::uint8_t* sector, bool zeroHeader) {
    std::array<std::uint8_t, kSectorSize> copy;
    std::copy(sector, sector + kSectorSize, copy.begin());
    WriteEcc(copy.data(), zeroHeader);
    return std::equal(copy.begin() + kEccPOffset, copy.end(), sector + kEccPOffset);
}

}  // namespace pixalto::disc
