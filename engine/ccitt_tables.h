#pragma once
// The code tables of ITU-T T.4 (run lengths, tables 2 and 3) and T.4 table 4 /
// T.6 table 1 (2-D modes), transcribed once as (code bits, length, value) rows.
// The decoder's lookup arrays are built from these rows at compile time; the
// encoder reads the same rows.
#include <array>
#include <cstdint>
#include <span>

namespace hv::engine::ccitt {

// One code as printed in the standard: `bits` holds the code with its first
// transmitted bit as the most significant of `length` bits.
struct CodeRow {
  std::uint16_t bits;
  std::uint8_t length;
  std::uint16_t value;  // run length, or a ModeCode for the mode table
};

// Mode numbers of the 2-D table: vertical modes VL3..VR3 are 0..6 (offset
// a1 - b1 = mode - 3), then pass and horizontal.
enum ModeCode : std::uint8_t {
  kModeVL3 = 0, kModeVL2 = 1, kModeVL1 = 2, kModeV0 = 3,
  kModeVR1 = 4, kModeVR2 = 5, kModeVR3 = 6,
  kModePass = 8, kModeHorizontal = 9,
};

constexpr std::uint16_t kEolValue = 4095;  // value of the EOL entry in the white array

std::span<const CodeRow> whiteTerminatingRows();  // T.4 table 2, white runs 0..63
std::span<const CodeRow> blackTerminatingRows();  // T.4 table 2, black runs 0..63
std::span<const CodeRow> whiteMakeupRows();       // T.4 table 3, white 64..1728
std::span<const CodeRow> blackMakeupRows();       // T.4 table 3, black 64..1728
std::span<const CodeRow> extendedMakeupRows();    // T.4 table 3, both colours 1792..2560
std::span<const CodeRow> modeRows();              // T.4 table 4 / T.6 table 1
// EOL, 000000000001 (T.4 section 4.1.2).
inline constexpr CodeRow kEolRow{0x001, 12, kEolValue};

// Lookup arrays, indexed by the next bits of the stream taken least
// significant bit first (the first bit of a code is bit 0 of the index).
// Entry = value << 4 | code length; 0 = no code.
const std::array<std::uint16_t, 4096>& whiteLookup();      // next 12 bits; includes the EOL
const std::array<std::uint16_t, 4096>& blackLookup();      // next 12 bits, codes of up to 12 bits
const std::array<std::uint16_t, 128>& longBlackLookup();   // 7 bits after 6 zeros; length includes the 6
const std::array<std::uint16_t, 128>& modeLookup();        // next 7 bits
const std::array<std::uint8_t, 256>& zeroSkipLookup();     // bits up to and including the lowest set bit

// Raw pointers for the hot loops (same arrays as above).
extern const std::uint16_t* const kWhiteTable;
extern const std::uint16_t* const kBlackTable;
extern const std::uint16_t* const kLongBlackTable;
extern const std::uint16_t* const kModeTable;

}  // namespace hv::engine::ccitt
