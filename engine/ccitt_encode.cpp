// Encoding image memory: Group 3 one-dimensional (ITU-T T.4 section 4.1),
// Group 4 (ITU-T T.6 section 2.2), uncompressed rows, and the driver with its
// bit writer.
#include "engine/ccitt_encode.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "engine/ccitt_encode_internal.h"
#include "engine/ccitt_tables.h"
#include "engine/packed.h"

namespace hv::engine {
namespace detail {
namespace {

constexpr std::size_t kTableRuns = kMaxTableRun + 1;

// Both run tables, built from the same transcription the decoder uses: every
// run of 64 or more is its make-up code followed by the terminating code of
// the remainder.
struct RunTables {
  std::array<std::uint32_t, kTableRuns> white{}, black{};

  static std::uint32_t entry(std::uint32_t bits, unsigned length) { return bits << (32 - length) | length; }

  static void fill(std::array<std::uint32_t, kTableRuns>& t, std::span<const ccitt::CodeRow> term,
                   std::span<const ccitt::CodeRow> makeup) {
    std::array<const ccitt::CodeRow*, 41> makeups{};  // by run / 64, 1..40
    for (const auto& r : makeup) makeups[r.value / 64] = &r;
    for (const auto& r : ccitt::extendedMakeupRows()) makeups[r.value / 64] = &r;
    for (std::uint32_t run = 0; run < kTableRuns; ++run) {
      const ccitt::CodeRow& rest = term[run % 64];
      if (run < 64) {
        t[run] = entry(rest.bits, rest.length);
        continue;
      }
      const ccitt::CodeRow& m = *makeups[run / 64];
      t[run] = entry(static_cast<std::uint32_t>(m.bits) << rest.length | rest.bits, m.length + rest.length);
    }
  }

  RunTables() {
    fill(white, ccitt::whiteTerminatingRows(), ccitt::whiteMakeupRows());
    fill(black, ccitt::blackTerminatingRows(), ccitt::blackMakeupRows());
  }
};

const RunTables& tables() {
  static const RunTables t;
  return t;
}

constexpr unsigned kProgressLines = 64;

// Finishes the buffer: whole bytes stay in it, a partial byte follows them.
void finishSink(BitSink& w) {
  while (w.held >= 8) {
    if (w.bytes + 1 > w.capacity) flushSink(w);
    w.data[w.bytes++] = static_cast<std::uint8_t>(w.acc >> 56);
    w.acc <<= 8;
    w.held -= 8;
  }
  if (w.held != 0 && w.bytes + 1 > w.capacity) flushSink(w);
  std::uint32_t partial = w.held;
  if (partial != 0) w.data[w.bytes] = static_cast<std::uint8_t>(w.acc >> 56);
  w.state->out.bitCount = w.bytes * 8 + partial;
  w.state->out.byteCount = (w.state->out.bitCount + 7) / 8;
}

// Group 3 one-dimensional: alternating runs from white; kCompG3OneD ends
// every line with an EOL, kCompModHuffman pads it to a byte boundary.
void encodeOneD(BitSink& w, const EncoderState& s, std::uint32_t width, std::uint32_t lines) {
  const std::uint32_t* white = tables().white.data();
  const std::uint32_t* black = tables().black.data();
  // T.4 section 4.1.2: an EOL also precedes the first line of a page; readers
  // synchronise on it.
  if (s.compression == formats::kCompG3OneD) putBits(w, kEol, 12);
  for (std::uint32_t y = 0; y < lines && !w.failed; ++y) {
    if (y % kProgressLines == 0 && y != 0) reportProgress(s, y, lines);
    const Transition* list = getLine(s.memory, y);
    std::uint32_t pos = 0;
    bool isBlack = false;
    for (std::size_t i = 0;; ++i) {
      std::uint32_t next = std::min<std::uint32_t>(list[i], width);
      putRun(w, isBlack ? black : white, next - pos);
      pos = next;
      if (pos >= width) break;
      isBlack = !isBlack;
    }
    if (s.compression == formats::kCompG3OneD) {
      putBits(w, kEol, 12);
    } else if (unsigned rem = w.held % 8; rem != 0) {
      putBits(w, 0, 8 - rem);
    }
  }
}

// Group 4, T.6 section 2.2: each line against the one above (the imaginary
// white line for the first). Changing elements are the list entries; an entry
// with an even index turns the line black, so parity is colour.
void encodeG4(BitSink& w, const EncoderState& s, std::uint32_t width, std::uint32_t lines) {
  const std::uint32_t* white = tables().white.data();
  const std::uint32_t* black = tables().black.data();
  const Transition blankRef[1] = {static_cast<Transition>(width)};
  const Transition* ref = blankRef;
  std::size_t refCount = 1;
  for (std::uint32_t y = 0; y < lines && !w.failed; ++y) {
    if (y % kProgressLines == 0 && y != 0) reportProgress(s, y, lines);
    const Transition* cur = getLine(s.memory, y);
    const std::size_t curCount = listLength(cur, width);
    auto refAt = [&](std::size_t i) -> std::uint32_t { return i < refCount ? std::min<std::uint32_t>(ref[i], width) : width; };
    auto curAt = [&](std::size_t i) -> std::uint32_t { return i < curCount ? std::min<std::uint32_t>(cur[i], width) : width; };
    std::int64_t a0 = -1;
    std::size_t ci = 0;  // index of a1 in cur; its parity is the colour of a0
    std::size_t bi = 0;  // index of the b1 candidate in ref
    for (;;) {
      const std::uint32_t a1 = curAt(ci);
      // b1: first element of ref right of a0 whose index parity matches ci.
      if (bi > 0) --bi;
      while (refAt(bi) < width && static_cast<std::int64_t>(refAt(bi)) <= a0) ++bi;
      if ((bi & 1) != (ci & 1)) ++bi;
      const std::uint32_t b1 = refAt(bi);
      const std::uint32_t b2 = refAt(bi + 1);
      if (b2 < a1) {
        putBits(w, kPass, 4);
        a0 = b2;
        bi += 2;
        continue;
      }
      const std::int64_t delta = static_cast<std::int64_t>(a1) - b1;
      if (delta >= -3 && delta <= 3) {
        putVertical(w, static_cast<int>(delta));
        a0 = a1;
        if (a1 >= width) break;
        ++ci;
        continue;
      }
      const std::uint32_t a2 = curAt(ci + 1);
      const std::uint32_t start = a0 < 0 ? 0 : static_cast<std::uint32_t>(a0);
      const bool isBlack = (ci & 1) != 0;
      putBits(w, kHorizontal, 3);
      putRun(w, isBlack ? black : white, a1 - start);
      putRun(w, isBlack ? white : black, a2 - a1);
      a0 = a2;
      if (a2 >= width) break;
      ci += 2;
    }
    ref = cur;
    refCount = curCount;
  }
  // End of facsimile block: two EOLs (T.6 section 2.4).
  putBits(w, kEol, 12);
  putBits(w, kEol, 12);
}

// Uncompressed: packed rows, 1 = black, leftmost pixel in the top bit.
void encodeRaw(BitSink& w, const EncoderState& s, std::uint32_t width, std::uint32_t lines, std::uint32_t rowBytes) {
  for (std::uint32_t y = 0; y < lines && !w.failed; ++y) {
    if (y % kProgressLines == 0 && y != 0) reportProgress(s, y, lines);
    if (w.bytes + rowBytes > w.capacity) flushSink(w);
    std::uint8_t* row = w.data + w.bytes;
    std::memset(row, 0, rowBytes);
    listToBits(getLine(s.memory, y), width, row, 0, width);
    w.bytes += rowBytes;
  }
}

}  // namespace

const std::uint32_t* runTable(bool black) { return black ? tables().black.data() : tables().white.data(); }

void flushSink(BitSink& w) {
  if (w.bytes == 0) return;
  EncoderState& s = *w.state;
  s.out.data = w.data;
  s.out.bitCount = w.bytes * 8;
  s.out.byteCount = w.bytes;
  if (!w.failed && s.flush(s.flushContext, &s.out) != Status::Ok) w.failed = true;
  // Whole bytes only were handed over, so nothing is left behind.
  w.bytes = 0;
  s.out.bitCount = 0;
  s.out.byteCount = 0;
}

void reportProgress(const EncoderState& s, std::uint32_t done, std::uint32_t total) {
  // Encoding is not interrupted: the result of the callback is not used.
  if (s.progress) (void)s.progress(GRX_PROGRESS_SAVE, 0, done, total);
}

}  // namespace detail

std::uint32_t runCode(bool black, std::uint32_t run) {
  return run <= kMaxTableRun ? detail::runTable(black)[run] : 0;
}

Status encodeImage(EncoderState* state) {
  using namespace detail;
  if (state == nullptr) return Status::BadArgument;
  EncoderState& s = *state;
  switch (s.compression) {
    case formats::kCompG3OneD:
    case formats::kCompModHuffman:
    case formats::kCompG4:
    case formats::kCompUncompressed:
    case formats::kCompG4Wrap: break;
    default: return Status::Unsupported;
  }
  if (s.memory == nullptr || s.out.data == nullptr || s.flush == nullptr || s.out.byteCount != 0 ||
      s.capacity < 16)
    return Status::BadArgument;
  const std::uint32_t width = s.width ? s.width : s.memory->width;
  const std::uint32_t lines = s.lines ? s.lines : s.memory->height;
  const std::uint32_t rowBytes = s.rowBytes ? s.rowBytes : (width + 7) / 8;
  if (width == 0 || width > s.memory->width || lines > s.memory->height) return Status::BadArgument;
  if (s.compression == formats::kCompUncompressed && (rowBytes > s.capacity || rowBytes * 8 < width))
    return Status::BadArgument;

  BitSink w;
  w.state = &s;
  w.data = s.out.data;
  w.capacity = s.capacity;
  s.out.bitCount = 0;
  switch (s.compression) {
    case formats::kCompG4: encodeG4(w, s, width, lines); break;
    case formats::kCompG4Wrap: encodeWrap(w, s); break;
    case formats::kCompUncompressed: encodeRaw(w, s, width, lines, rowBytes); break;
    default: encodeOneD(w, s, width, lines); break;
  }
  finishSink(w);
  if (w.failed) return Status::WriteFailed;
  reportProgress(s, lines, lines);
  return Status::Ok;
}

}  // namespace hv::engine
