#include "disc/Ecc.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "disc/SectorFormat.h"

namespace pixalto::disc {
namespace {

// GF(2^8) with the field polynomial x^8 + x^4 + x^3 + x^2 + 1; alpha = x.
// Multiplying by alpha shifts left and, when x^8 falls out, adds the
// polynomial's low byte; written without a branch so that loops over many
// symbols vectorise.
constexpr std::uint8_t kFieldPolynomialLow = 0x1D;

constexpr std::uint8_t TimesAlpha(std::uint8_t value) {
    return static_cast<std::uint8_t>((value << 1) ^ ((value >> 7) * kFieldPolynomialLow));
}

constexpr std::uint8_t Multiply(std::uint8_t a, std::uint8_t b) {
    unsigned product = 0;
    std::uint8_t addend = a;
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

// The first parity symbol is (S0 + S1) / (alpha + 1), see ParityLanes.
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

// A vector of k symbols followed by its two parity symbols is a codeword when
// the plain sum and the sum weighted by alpha^(n-1-i) both vanish (n = k + 2).
// With S0 the plain sum of the data and S1 its weighted sum, the parity p, q
// solves p + q = S0 and alpha p + q = S1, so p = (S0 + S1) / (alpha + 1).
//
// Many vectors are coded side by side, one lane each: symbol i of every lane
// is fed at once, so the work is plain loops over small arrays that the
// compiler turns into vector instructions.
template <std::size_t Lanes>
class ParityLanes {
  public:
    void Feed(const std::uint8_t* symbols) {
        for (std::size_t lane = 0; lane < Lanes; ++lane) {
            sum_[lane] ^= symbols[lane];
            horner_[lane] = TimesAlpha(horner_[lane]) ^ symbols[lane];  // sum of d_i alpha^(k-1-i)
        }
    }
    // Writes the alpha^1 parity of every lane at first, the alpha^0 one at second.
    void Finish(std::uint8_t* first, std::uint8_t* second) const {
        for (std::size_t lane = 0; lane < Lanes; ++lane) {
            std::uint8_t weighted = TimesAlpha(TimesAlpha(horner_[lane]));
            first[lane] = kOverAlphaPlusOne[sum_[lane] ^ weighted];
            second[lane] = sum_[lane] ^ first[lane];
        }
    }

  private:
    std::array<std::uint8_t, Lanes> sum_{};
    std::array<std::uint8_t, Lanes> horner_{};
};

// Bytes 12-2075 followed by P and Q, as 16-bit words: the low byte of word w
// is at 2w, the high byte at 2w + 1; each byte plane is coded on its own. A P
// vector is a column of the grid, so one grid row (86 bytes) holds symbol i
// of all 86 P vectors.
void WriteP(std::uint8_t* area) {
    ParityLanes<2 * kColumns> lanes;
    for (std::size_t row = 0; row < kPRows; ++row) {
        lanes.Feed(area + 2 * kColumns * row);
    }
    lanes.Finish(area + 2 * kDataWords, area + 2 * (kDataWords + kColumns));
}

// Q vector d starts at word 43 d and steps 44 words (one row down, one
// column on), wrapping around the data and P.
constexpr std::array<std::uint16_t, kQSymbols * kQVectors> MakeQWords() {
    std::array<std::uint16_t, kQSymbols * kQVectors> words{};
    for (std::size_t step = 0; step < kQSymbols; ++step) {
        for (std::size_t diagonal = 0; diagonal < kQVectors; ++diagonal) {
            words[step * kQVectors + diagonal] =
                static_cast<std::uint16_t>((step * (kColumns + 1) + diagonal * kColumns) % kQSpan);
        }
    }
    return words;
}
constexpr auto kQWords = MakeQWords();

void WriteQ(std::uint8_t* area) {
    ParityLanes<2 * kQVectors> lanes;
    std::uint8_t symbols[2 * kQVectors];
    for (std::size_t step = 0; step < kQSymbols; ++step) {
        for (std::size_t diagonal = 0; diagonal < kQVectors; ++diagonal) {
            std::size_t word = kQWords[step * kQVectors + diagonal];
            symbols[2 * diagonal] = area[2 * word];
            symbols[2 * diagonal + 1] = area[2 * word + 1];
        }
        lanes.Feed(symbols);
    }
    lanes.Finish(area + 2 * kQSpan, area + 2 * (kQSpan + kQVectors));
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
