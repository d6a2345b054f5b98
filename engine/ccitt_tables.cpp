#include "engine/ccitt_tables.h"

#include <cstddef>

namespace hv::engine::ccitt {
namespace {

// A code written as its bit string, first transmitted bit first, exactly as the
// standard prints it.
consteval CodeRow row(const char* bits, std::uint16_t value) {
  std::uint16_t code = 0;
  std::uint8_t length = 0;
  for (const char* p = bits; *p != '\0'; ++p) {
    code = static_cast<std::uint16_t>(code << 1 | (*p == '1' ? 1 : 0));
    ++length;
  }
  return CodeRow{code, length, value};
}

// ITU-T T.4 Table 2/T.4: terminating codes, white.
constexpr CodeRow kWhiteTerm[] = {
    row("00110101", 0),  row("000111", 1),   row("0111", 2),     row("1000", 3),
    row("1011", 4),      row("1100", 5),     row("1110", 6),     row("1111", 7),
    row("10011", 8),     row("10100", 9),    row("00111", 10),   row("01000", 11),
    row("001000", 12),   row("000011", 13),  row("110100", 14),  row("110101", 15),
    row("101010", 16),   row("101011", 17),  row("0100111", 18), row("0001100", 19),
    row("0001000", 20),  row("0010111", 21), row("0000011", 22), row("0000100", 23),
    row("0101000", 24),  row("0101011", 25), row("0010011", 26), row("0100100", 27),
    row("0011000", 28),  row("00000010", 29), row("00000011", 30), row("00011010", 31),
    row("00011011", 32), row("00010010", 33), row("00010011", 34), row("00010100", 35),
    row("00010101", 36), row("00010110", 37), row("00010111", 38), row("00101000", 39),
    row("00101001", 40), row("00101010", 41), row("00101011", 42), row("00101100", 43),
    row("00101101", 44), row("00000100", 45), row("00000101", 46), row("00001010", 47),
    row("00001011", 48), row("01010010", 49), row("01010011", 50), row("01010100", 51),
    row("01010101", 52), row("00100100", 53), row("00100101", 54), row("01011000", 55),
    row("01011001", 56), row("01011010", 57), row("01011011", 58), row("01001010", 59),
    row("01001011", 60), row("00110010", 61), row("00110011", 62), row("00110100", 63),
};

// ITU-T T.4 Table 2/T.4: terminating codes, black.
constexpr CodeRow kBlackTerm[] = {
    row("0000110111", 0),    row("010", 1),           row("11", 2),
    row("10", 3),            row("011", 4),           row("0011", 5),
    row("0010", 6),          row("00011", 7),         row("000101", 8),
    row("000100", 9),        row("0000100", 10),      row("0000101", 11),
    row("0000111", 12),      row("00000100", 13),     row("00000111", 14),
    row("000011000", 15),    row("0000010111", 16),   row("0000011000", 17),
    row("0000001000", 18),   row("00001100111", 19),  row("00001101000", 20),
    row("00001101100", 21),  row("00000110111", 22),  row("00000101000", 23),
    row("00000010111", 24),  row("00000011000", 25),  row("000011001010", 26),
    row("000011001011", 27), row("000011001100", 28), row("000011001101", 29),
    row("000001101000", 30), row("000001101001", 31), row("000001101010", 32),
    row("000001101011", 33), row("000011010010", 34), row("000011010011", 35),
    row("000011010100", 36), row("000011010101", 37), row("000011010110", 38),
    row("000011010111", 39), row("000001101100", 40), row("000001101101", 41),
    row("000011011010", 42), row("000011011011", 43), row("000001010100", 44),
    row("000001010101", 45), row("000001010110", 46), row("000001010111", 47),
    row("000001100100", 48), row("000001100101", 49), row("000001010010", 50),
    row("000001010011", 51), row("000000100100", 52), row("000000110111", 53),
    row("000000111000", 54), row("000000100111", 55), row("000000101000", 56),
    row("000001011000", 57), row("000001011001", 58), row("000000101011", 59),
    row("000000101100", 60), row("000001011010", 61), row("000001100110", 62),
    row("000001100111", 63),
};

// ITU-T T.4 Table 3a/T.4: make-up codes, white.
constexpr CodeRow kWhiteMakeup[] = {
    row("11011", 64),      row("10010", 128),     row("010111", 192),    row("0110111", 256),
    row("00110110", 320),  row("00110111", 384),  row("01100100", 448),  row("01100101", 512),
    row("01101000", 576),  row("01100111", 640),  row("011001100", 704), row("011001101", 768),
    row("011010010", 832), row("011010011", 896), row("011010100", 960), row("011010101", 1024),
    row("011010110", 1088), row("011010111", 1152), row("011011000", 1216), row("011011001", 1280),
    row("011011010", 1344), row("011011011", 1408), row("010011000", 1472), row("010011001", 1536),
    row("010011010", 1600), row("011000", 1664),    row("010011011", 1728),
};

// ITU-T T.4 Table 3a/T.4: make-up codes, black.
constexpr CodeRow kBlackMakeup[] = {
    row("0000001111", 64),     row("000011001000", 128),  row("000011001001", 192),
    row("000001011011", 256),  row("000000110011", 320),  row("000000110100", 384),
    row("000000110101", 448),  row("0000001101100", 512), row("0000001101101", 576),
    row("0000001001010", 640), row("0000001001011", 704), row("0000001001100", 768),
    row("0000001001101", 832), row("0000001110010", 896), row("0000001110011", 960),
    row("0000001110100", 1024), row("0000001110101", 1088), row("0000001110110", 1152),
    row("0000001110111", 1216), row("0000001010010", 1280), row("0000001010011", 1344),
    row("0000001010100", 1408), row("0000001010101", 1472), row("0000001011010", 1536),
    row("0000001011011", 1600), row("0000001100100", 1664), row("0000001100101", 1728),
};

// ITU-T T.4 Table 3b/T.4: extended make-up codes, white and black alike.
constexpr CodeRow kExtendedMakeup[] = {
    row("00000001000", 1792),  row("00000001100", 1856),  row("00000001101", 1920),
    row("000000010010", 1984), row("000000010011", 2048), row("000000010100", 2112),
    row("000000010101", 2176), row("000000010110", 2240), row("000000010111", 2304),
    row("000000011100", 2368), row("000000011101", 2432), row("000000011110", 2496),
    row("000000011111", 2560),
};

// ITU-T T.4 Table 4/T.4 (T.6 Table 1/T.6): two-dimensional mode codes. The
// extension code 0000001xxx is not decoded (uncompressed mode is not used).
constexpr CodeRow kModes[] = {
    row("0001", kModePass),     row("001", kModeHorizontal), row("1", kModeV0),
    row("011", kModeVR1),       row("000011", kModeVR2),     row("0000011", kModeVR3),
    row("010", kModeVL1),       row("000010", kModeVL2),     row("0000010", kModeVL3),
};

constexpr std::uint16_t reverseBits(std::uint16_t bits, unsigned length) {
  std::uint16_t out = 0;
  for (unsigned i = 0; i < length; ++i) out = static_cast<std::uint16_t>(out | ((bits >> i) & 1) << (length - 1 - i));
  return out;
}

// Stores the entry of every row at each index whose low `length - skip` bits
// are the row's code after its first `skip` bits, taken first bit lowest.
template <std::size_t N, std::size_t M>
constexpr void place(std::array<std::uint16_t, N>& table, unsigned indexBits, const CodeRow (&rows)[M],
                     unsigned minLength, unsigned maxLength, unsigned skip = 0) {
  for (const CodeRow& r : rows) {
    if (r.length < minLength || r.length > maxLength) continue;
    const unsigned used = r.length - skip;
    const std::uint16_t low = reverseBits(static_cast<std::uint16_t>(r.bits & ((1u << used) - 1)), used);
    const std::uint16_t entry = static_cast<std::uint16_t>(r.value << 4 | r.length);
    for (unsigned high = 0; high < (1u << (indexBits - used)); ++high) table[low | high << used] = entry;
  }
}

constexpr std::array<std::uint16_t, 4096> buildWhite() {
  std::array<std::uint16_t, 4096> t{};
  place(t, 12, kWhiteTerm, 1, 12);
  place(t, 12, kWhiteMakeup, 1, 12);
  place(t, 12, kExtendedMakeup, 1, 12);
  const CodeRow eol[] = {kEolRow};
  place(t, 12, eol, 1, 12);
  return t;
}

constexpr std::array<std::uint16_t, 4096> buildBlack() {
  std::array<std::uint16_t, 4096> t{};
  place(t, 12, kBlackTerm, 1, 12);
  place(t, 12, kBlackMakeup, 1, 12);
  place(t, 12, kExtendedMakeup, 1, 12);
  return t;
}

// The 13-bit black codes all begin with six zeros; the array is indexed by
// the seven bits after them.
constexpr std::array<std::uint16_t, 128> buildLongBlack() {
  std::array<std::uint16_t, 128> t{};
  place(t, 7, kBlackTerm, 13, 13, 6);
  place(t, 7, kBlackMakeup, 13, 13, 6);
  return t;
}

constexpr std::array<std::uint16_t, 128> buildModes() {
  std::array<std::uint16_t, 128> t{};
  place(t, 7, kModes, 1, 7);
  return t;
}

constexpr std::array<std::uint8_t, 256> buildZeroSkip() {
  std::array<std::uint8_t, 256> t{};
  for (unsigned v = 0; v < 256; ++v) {
    unsigned n = 1;
    while (n < 8 && ((v >> (n - 1)) & 1) == 0) ++n;
    t[v] = static_cast<std::uint8_t>(n);
  }
  return t;
}

constexpr auto kWhite = buildWhite();
constexpr auto kBlack = buildBlack();
constexpr auto kLongBlack = buildLongBlack();
constexpr auto kModeArray = buildModes();
constexpr auto kZeroSkip = buildZeroSkip();

// Spot checks. White 0 is 00110101: taken first bit lowest the index is
// 0b10101100 = 0xAC, length 8.
static_assert(kWhite[0xAC] == (0 << 4 | 8));
static_assert(kWhite[0xAC | 0xF00] == (0 << 4 | 8));
// EOL: eleven zeros then a one, i.e. index bit 11.
static_assert(kWhite[0x800] == (kEolValue << 4 | 12));
// White 1728 make-up 010011011 -> reversed 110110010 = 0x1B2.
static_assert(kWhite[0x1B2] == (1728 << 4 | 9));
// Black 2 is "11" (index low bits 11), black 3 is "10" (first bit 1, second 0).
static_assert((kBlack[0x3] & 0xF) == 2 && (kBlack[0x3] >> 4) == 2);
static_assert((kBlack[0x1] >> 4) == 3);
// Black 512 is 0000001101100; after six zeros 1101100 -> index 0b0011011.
static_assert(kLongBlack[0x1B] == (512 << 4 | 13));
// V0 is the single bit 1; pass 0001 -> index 0b1000.
static_assert(kModeArray[0x1] == (kModeV0 << 4 | 1));
static_assert(kModeArray[0x8] == (kModePass << 4 | 4));
// Seven zero bits and the extension prefix are not mode codes.
static_assert(kModeArray[0x00] == 0 && kModeArray[0x40] == 0);
static_assert(kZeroSkip[0] == 8 && kZeroSkip[1] == 1 && kZeroSkip[0x80] == 8 && kZeroSkip[0x04] == 3);

}  // namespace

std::span<const CodeRow> whiteTerminatingRows() { return kWhiteTerm; }
std::span<const CodeRow> blackTerminatingRows() { return kBlackTerm; }
std::span<const CodeRow> whiteMakeupRows() { return kWhiteMakeup; }
std::span<const CodeRow> blackMakeupRows() { return kBlackMakeup; }
std::span<const CodeRow> extendedMakeupRows() { return kExtendedMakeup; }
std::span<const CodeRow> modeRows() { return kModes; }

const std::array<std::uint16_t, 4096>& whiteLookup() { return kWhite; }
const std::array<std::uint16_t, 4096>& blackLookup() { return kBlack; }
const std::array<std::uint16_t, 128>& longBlackLookup() { return kLongBlack; }
const std::array<std::uint16_t, 128>& modeLookup() { return kModeArray; }
const std::array<std::uint8_t, 256>& zeroSkipLookup() { return kZeroSkip; }

const std::uint16_t* const kWhiteTable = kWhite.data();
const std::uint16_t* const kBlackTable = kBlack.data();
const std::uint16_t* const kLongBlackTable = kLongBlack.data();
const std::uint16_t* const kModeTable = kModeArray.data();

}  // namespace hv::engine::ccitt
