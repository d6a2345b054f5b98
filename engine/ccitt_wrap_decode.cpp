// Reading a continuous Group 4 "wrap" raster (rules in
// engine/ccitt_wrap_raster.h). The whole coded stream is in memory; lines are
// built as transition lists and delivered as soon as the raster passes their
// end.
#include <algorithm>
#include <vector>

#include "engine/bit_reader.h"
#include "engine/ccitt_decode_internal.h"
#include "engine/ccitt_tables.h"
#include "engine/ccitt_wrap_raster.h"

namespace hv::engine {
namespace {

class WrapReader {
 public:
  WrapReader(std::uint32_t width, std::uint32_t height, const WrapLineSink& sink)
      : w_(width), h_(height), sink_(sink) {
    cur_.reserve(width + 2);
    ref_.reserve(width + 2);
  }

  // Moves a0 to raster position p in the current colour, completing the lines
  // passed on the way, and records a change of colour there. A change at the
  // very end of the raster completes the image.
  bool changeAt(std::uint64_t p) {
    const std::uint64_t total = static_cast<std::uint64_t>(w_) * h_;
    if (p < here() || p > total) return false;
    while (static_cast<std::uint64_t>(y_ + 1) * w_ <= p && y_ < h_) {
      if (!endLine()) return false;
    }
    if (p == total) {
      done_ = true;
      return true;
    }
    const auto x = static_cast<std::uint32_t>(p - static_cast<std::uint64_t>(y_) * w_);
    // Two changes at one column cancel (a zero-length run).
    if (!cur_.empty() && cur_.back() == x) {
      cur_.pop_back();
    } else {
      cur_.push_back(static_cast<std::uint16_t>(x));
    }
    x_ = x;
    black_ = !black_;
    return true;
  }

  // The rest of the raster keeps the current colour.
  bool fillToEnd() {
    while (y_ < h_)
      if (!endLine()) return false;
    done_ = true;
    return true;
  }

  // b1 and b2 on the line above a0's line (the imaginary white line above
  // line 0).
  void refElements(std::uint32_t& b1, std::uint32_t& b2) const {
    const std::size_t n = ref_.size();
    std::size_t bi = x_ < 0 ? 0
                            : static_cast<std::size_t>(std::upper_bound(ref_.begin(), ref_.end(),
                                                                        static_cast<std::uint16_t>(x_)) -
                                                       ref_.begin());
    if ((bi & 1) != (black_ ? 1u : 0u)) ++bi;
    b1 = bi < n ? ref_[bi] : w_;
    b2 = bi + 1 < n ? ref_[bi + 1] : w_;
  }

  std::uint64_t here() const {
    return static_cast<std::uint64_t>(y_) * w_ + static_cast<std::uint64_t>(x_ < 0 ? 0 : x_);
  }
  std::uint64_t lineStart() const { return static_cast<std::uint64_t>(y_) * w_; }
  std::int64_t column() const { return x_; }
  std::uint32_t width() const { return w_; }
  bool blackNow() const { return black_; }
  bool done() const { return done_ || y_ >= h_; }
  bool stopped() const { return stopped_; }

 private:
  bool endLine() {
    cur_.push_back(static_cast<std::uint16_t>(w_));
    if (!sink_.line(sink_.user, y_, cur_.data(), static_cast<std::uint32_t>(cur_.size()))) {
      stopped_ = true;
      return false;
    }
    cur_.pop_back();
    std::swap(cur_, ref_);
    cur_.clear();
    ++y_;
    x_ = 0;
    // A black run goes on into the new line.
    if (black_) cur_.push_back(0);
    // x_ = 0 here is a position, not a change: a change may still fall at
    // column 0 of this line, so the column before it is taken as -1.
    x_ = -1;
    return true;
  }

  std::uint32_t w_, h_;
  const WrapLineSink& sink_;
  std::vector<std::uint16_t> cur_, ref_;  // changes of a0's line so far; the line above (no terminator)
  std::uint32_t y_ = 0;
  std::int64_t x_ = -1;
  bool black_ = false;
  bool done_ = false;
  bool stopped_ = false;
};

}  // namespace

bool isContinuousWrap(const std::uint8_t* data, std::size_t count) {
  if (count == 0) return false;
  // Every mode code has a 1 within its first 7 bits; an EOL or fill has not.
  std::uint32_t first = data[0];
  if (count > 1) first |= static_cast<std::uint32_t>(data[1]) << 8;
  return (first & 0x7F) != 0;
}

int decodeWrapRaster(const std::uint8_t* data, std::size_t count, std::uint32_t width, std::uint32_t height,
                     const WrapLineSink& sink) {
  if (width == 0 || height == 0 || width > 65535 || sink.line == nullptr) return kWrapCodingError;
  WrapReader rd(width, height, sink);
  const std::uint64_t total = static_cast<std::uint64_t>(width) * height;
  BitReader br;
  // The bit reader counts bytes in 32 bits; feed it in pieces.
  std::size_t fed = 0;
  auto feed = [&]() {
    if (fed >= count) return false;
    std::uint32_t n = static_cast<std::uint32_t>(std::min<std::size_t>(count - fed, 1u << 30));
    brNextBuffer(br, data + fed, n);
    fed += n;
    return true;
  };
  feed();
  auto result = [&](int r) { return rd.stopped() ? static_cast<int>(kWrapStopped) : r; };
  auto run = [&](bool black, std::uint64_t limit, std::uint64_t& value) -> int {
    // decodeRun adds one run (make-up codes included) and refuses a total
    // above the limit given, which keeps every run inside the raster.
    const std::uint32_t cap = static_cast<std::uint32_t>(std::min<std::uint64_t>(limit, 0xFFFFFFFFu));
    std::uint32_t col = 0;
    for (;;) {
      detail::RunStep s = detail::decodeRun(br, black, col, cap);
      if (s == detail::RunStep::kDone) {
        value = col;
        return kWrapDone;
      }
      if (s == detail::RunStep::kError) return kWrapCodingError;
      // The piece ran out: the held bits go on into the next one.
      if (!feed()) return kWrapDataEnded;
    }
  };
  while (!rd.done()) {
    brEnsure(br);
    if (br.bits < 14 && brExhausted(br) && feed()) brEnsure(br);
    const std::uint32_t e = ccitt::kModeTable[br.acc & 0x7F];
    const std::uint32_t len = e & 15;
    if (e == 0 || len > br.bits) {
      // Seven zero bits: the end code. The rest keeps a0's colour.
      if (br.bits >= 7 && (br.acc & 0x7F) == 0) return result(rd.fillToEnd() ? kWrapDone : kWrapStopped);
      return result(br.bits < 7 ? kWrapDataEnded : kWrapCodingError);
    }
    brConsume(br, len);
    const std::uint32_t mode = e >> 4;
    if (mode == ccitt::kModeHorizontal) {
      const std::uint64_t p0 = rd.here();
      std::uint64_t r1 = 0, r2 = 0;
      int s = run(rd.blackNow(), total - p0, r1);
      if (s != kWrapDone) return result(s);
      s = run(!rd.blackNow(), total - p0 - r1, r2);
      if (s != kWrapDone) return result(s);
      if (!rd.changeAt(p0 + r1)) return result(kWrapCodingError);
      if (rd.done()) break;
      if (!rd.changeAt(p0 + r1 + r2)) return result(kWrapCodingError);
      continue;
    }
    std::uint32_t b1 = 0, b2 = 0;
    rd.refElements(b1, b2);
    const std::int64_t x = rd.column();
    if (mode == ccitt::kModePass) {
      if (b2 >= rd.width()) return result(kWrapCodingError);
      // a0 moves to b2 without a change of colour.
      if (!rd.changeAt(rd.lineStart() + b2)) return result(kWrapCodingError);
      if (!rd.changeAt(rd.lineStart() + b2)) return result(kWrapCodingError);
      continue;
    }
    const std::int64_t a1 = static_cast<std::int64_t>(b1) + static_cast<std::int64_t>(mode) - 3;
    if (a1 < 0 || a1 >= rd.width() || (x >= 0 && a1 <= x)) return result(kWrapCodingError);
    if (!rd.changeAt(rd.lineStart() + static_cast<std::uint64_t>(a1))) return result(kWrapCodingError);
  }
  return result(kWrapDone);
}

}  // namespace hv::engine
