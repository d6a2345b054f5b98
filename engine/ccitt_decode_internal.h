#pragma once
// Pieces shared by the decoder's translation units (not part of its interface).
#include <cstdint>

#include "engine/bit_reader.h"
#include "engine/ccitt_decode.h"
#include "engine/ccitt_tables.h"

namespace hv::engine::detail {

// Outcome of one decoding step.
enum class Step : std::uint8_t {
  kLineDone,   // a line is complete in state.cur (or, raw codings, in the row buffer)
  kNeedInput,  // the buffer is used up; the state is saved
  kError,      // coding error
  kZeroMode,   // seven zero bits where a mode code is expected
};

enum class RunStep : std::uint8_t { kDone, kNeedInput, kError };

// Decodes one run of the given colour (make-up codes included) and adds it to
// col. A make-up code already taken stays added when the buffer runs out, so
// a later call continues with the same col. Columns never pass the width.
inline RunStep decodeRun(BitReader& br, bool black, std::uint32_t& col, std::uint32_t width) {
  const std::uint16_t* table = black ? ccitt::kBlackTable : ccitt::kWhiteTable;
  for (;;) {
    brEnsure(br);
    std::uint32_t e = table[br.acc & 0xFFF];
    if (e == 0) {
      // After brEnsure fewer than 13 bits means the buffer is used up.
      if (br.bits < 13) return RunStep::kNeedInput;
      if (!black) return RunStep::kError;
      e = ccitt::kLongBlackTable[(br.acc >> 6) & 0x7F];
      if (e == 0) return RunStep::kError;
    }
    const std::uint32_t len = e & 15;
    if (len > br.bits) return RunStep::kNeedInput;
    const std::uint32_t value = e >> 4;
    if (value == ccitt::kEolValue) return RunStep::kError;  // EOL inside a line
    brConsume(br, len);
    col += value;
    if (col > width) return RunStep::kError;
    if (value < 64) return RunStep::kDone;
  }
}

// Appends a changing element. Elements come in non-decreasing order; two at
// the same column cancel (a zero-length run), so lists stay strictly ascending
// and never exceed width + 1 entries.
inline void storeColumn(std::uint16_t* line, std::uint32_t& n, std::uint32_t col) {
  if (n != 0 && line[n - 1] == col) {
    --n;
  } else {
    line[n++] = static_cast<std::uint16_t>(col);
  }
}

// Ends a line: terminator, then two padding entries for the b1/b2 search
// when the line becomes the reference line.
inline void closeLine(std::uint16_t* line, std::uint32_t& n, std::uint32_t width) {
  if (n == 0 || line[n - 1] != width) line[n++] = static_cast<std::uint16_t>(width);
  line[n] = static_cast<std::uint16_t>(width);
  line[n + 1] = static_cast<std::uint16_t>(width);
}

Step decode1DLine(DecoderState& s);
Step decode2DLine(DecoderState& s);
Step decodeRawRow(DecoderState& s);
// Converts a packed row (MSB first, 1 = black) to a closed transition list;
// returns its entry count including the terminator.
std::uint32_t packedRowToList(const std::uint8_t* row, std::uint32_t width, std::uint16_t* out);
// Raw row storage (the reference line buffer, unused by raw codings).
inline std::uint8_t* rawRow(DecoderState& s) { return reinterpret_cast<std::uint8_t*>(s.ref); }

// Output of one decoded line (full-width list of n entries); blank = thinned.
void deliverLine(DecoderState& s, const std::uint16_t* line, std::uint32_t n, bool blank);
bool outputFull(const DecoderState& s);

}  // namespace hv::engine::detail
