// One-dimensional (modified Huffman) line decoding, ITU-T T.4 section 4.1.
#include "engine/ccitt_decode_internal.h"

namespace hv::engine::detail {

// Runs alternate white, black, white... starting white; the entry count's
// parity is the colour of the next run. The line ends when a terminating code
// brings the column to the width.
Step decode1DLine(DecoderState& s) {
  BitReader br = s.br;
  std::uint16_t* const cur = s.cur;
  std::uint32_t n = s.curCount;
  std::uint32_t col = s.runCol;
  const std::uint32_t width = s.width;
  Step result;
  for (;;) {
    const RunStep r = decodeRun(br, (n & 1) != 0, col, width);
    if (r != RunStep::kDone) {
      result = r == RunStep::kNeedInput ? Step::kNeedInput : Step::kError;
      break;
    }
    storeColumn(cur, n, col);
    if (col == width) {
      result = Step::kLineDone;
      break;
    }
  }
  s.br = br;
  s.curCount = n;
  s.runCol = col;
  if (result == Step::kLineDone) closeLine(cur, s.curCount, width);
  return result;
}

}  // namespace hv::engine::detail
