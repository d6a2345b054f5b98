// Group 4 "wrap" encoding: the image as one continuous raster (the rules are
// in engine/ccitt_wrap_raster.h).
#include <algorithm>
#include <vector>

#include "engine/ccitt_encode_internal.h"
#include "engine/ccitt_wrap_raster.h"

namespace hv::engine::detail {
namespace {

struct Pos {
  std::uint32_t y = 0;
  std::uint32_t x = 0;
  bool end = false;  // no change left in the raster
};

class Raster {
 public:
  Raster(const ImageMemory* m, std::uint32_t width, std::uint32_t height) : m_(m), w_(width), h_(height) {
    counts_.resize(height);
    for (std::uint32_t y = 0; y < height; ++y) {
      const Transition* l = line(y);
      std::uint32_t n = 0;
      while (l[n] < w_) ++n;
      counts_[y] = n;
    }
  }

  std::uint32_t width() const { return w_; }
  std::uint32_t height() const { return h_; }
  const Transition* line(std::uint32_t y) const { return getLine(m_, y); }

  // Entries of line y below the width (its terminator excluded).
  std::size_t changes(std::uint32_t y) const { return counts_[y]; }
  bool endsBlack(std::uint32_t y) const { return (changes(y) & 1) != 0; }
  // A change at column 0 of line y: its first pixel differs from the last
  // pixel of the line before (white before line 0).
  bool changeAtStart(std::uint32_t y) const {
    bool startsBlack = line(y)[0] == 0 && w_ > 0;
    bool before = y > 0 && endsBlack(y - 1);
    return startsBlack != before;
  }

  // The next changing element after (y, x) in raster order; x = -1 stands
  // before the line's first pixel.
  Pos next(std::uint32_t y, std::int64_t x) const {
    if (x < 0 && changeAtStart(y)) return {y, 0, false};
    if (auto c = firstAfter(y, x < 0 ? 0 : static_cast<std::uint32_t>(x))) return {y, *c, false};
    for (std::uint32_t yy = y + 1; yy < h_; ++yy) {
      if (changeAtStart(yy)) return {yy, 0, false};
      if (auto c = firstAfter(yy, 0)) return {yy, *c, false};
    }
    return {h_, 0, true};
  }

 private:
  struct Maybe {
    bool has = false;
    std::uint32_t v = 0;
    explicit operator bool() const { return has; }
    std::uint32_t operator*() const { return v; }
  };
  Maybe firstAfter(std::uint32_t y, std::uint32_t x) const {
    const Transition* l = line(y);
    const Transition* e = std::upper_bound(l, l + changes(y), x);
    if (*e < w_) return {true, *e};
    return {};
  }

  const ImageMemory* m_;
  std::uint32_t w_, h_;
  std::vector<std::uint32_t> counts_;
};

}  // namespace

void encodeWrap(BitSink& w, const EncoderState& s) {
  const std::uint32_t width = s.width ? s.width : s.memory->width;
  const std::uint32_t height = s.lines ? s.lines : s.memory->height;
  const Raster r(s.memory, width, height);
  const std::uint32_t* white = runTable(false);
  const std::uint32_t* black = runTable(true);
  std::uint32_t y = 0;
  std::int64_t x = -1;  // a0's column; -1 before the first pixel
  bool isBlack = false;
  std::uint32_t reported = 0;
  auto raster = [&](std::uint32_t line, std::int64_t col) {
    return static_cast<std::uint64_t>(line) * width + static_cast<std::uint64_t>(col < 0 ? 0 : col);
  };
  while (!w.failed) {
    if (y / 64 > reported / 64 && y < height) {
      reported = y;
      reportProgress(s, y, height);
    }
    const Pos a1 = r.next(y, x);
    if (a1.end) break;
    if (a1.y == y && y >= 1) {
      // b1 and b2 on the line above: an even entry turns it black, so b1 is
      // the first entry right of a0 whose parity matches a0's colour.
      const Transition* ref = r.line(y - 1);
      const std::size_t refCount = r.changes(y - 1);
      std::size_t bi = static_cast<std::size_t>(
          std::upper_bound(ref, ref + refCount, static_cast<Transition>(x < 0 ? 0 : x)) - ref);
      if (x < 0) bi = 0;
      if ((bi & 1) != (isBlack ? 1u : 0u)) ++bi;
      const std::uint32_t b1 = bi < refCount ? ref[bi] : width;
      const std::uint32_t b2 = bi + 1 < refCount ? ref[bi + 1] : width;
      if (b2 < a1.x) {
        putBits(w, kPass, 4);
        x = b2;
        continue;
      }
      const std::int64_t delta = static_cast<std::int64_t>(a1.x) - b1;
      if (delta >= -3 && delta <= 3) {
        putVertical(w, static_cast<int>(delta));
        x = a1.x;
        isBlack = !isBlack;
        continue;
      }
    }
    const Pos a2 = r.next(a1.y, a1.x);
    const std::uint64_t p0 = raster(y, x);
    const std::uint64_t p1 = raster(a1.y, a1.x);
    const std::uint64_t p2 = a2.end ? static_cast<std::uint64_t>(height) * width : raster(a2.y, a2.x);
    putBits(w, kHorizontal, 3);
    putRun(w, isBlack ? black : white, p1 - p0);
    putRun(w, isBlack ? white : black, p2 - p1);
    if (a2.end) break;
    y = a2.y;
    x = a2.x;
  }
  // End of the stream: EOL, then 0000000000001 and a 0 bit (26 bits).
  putBits(w, kEol, 12);
  putBits(w, 0x1u << 19, 13);
  putBits(w, 0, 1);
}

}  // namespace hv::engine::detail
