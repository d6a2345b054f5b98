#include "engine/render_scaler.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "engine/display_math.h"
#include "engine/packed.h"

namespace hv::engine {
namespace {

// Sets bits [a, b) of a packed row.
void setBits(std::uint8_t* row, std::uint32_t a, std::uint32_t b) {
  if (a >= b) return;
  std::uint32_t first = a >> 3, last = (b - 1) >> 3;
  std::uint8_t head = static_cast<std::uint8_t>(0xFFu >> (a & 7));
  std::uint8_t tail = static_cast<std::uint8_t>(0xFF00u >> (((b - 1) & 7) + 1));
  if (first == last) {
    row[first] |= head & tail;
    return;
  }
  row[first] |= head;
  if (last > first + 1) std::memset(row + first + 1, 0xFF, last - first - 1);
  row[last] |= tail;
}

// dst |= src over n bytes. The two rows never overlap; local pointers and
// the restrict qualifier let the compiler keep them in registers and work on
// whole vectors (a byte store could otherwise alias the scaler's members).
// Eight bytes at a time: a byte loop here is as slow as the rest of the
// scaling put together, and the compiler does not widen it at -O2.
void orRow(std::uint8_t* __restrict dst, const std::uint8_t* __restrict src, std::uint32_t n) {
  std::uint32_t i = 0;
  for (; i + 8 <= n; i += 8) {
    std::uint64_t d, s;
    std::memcpy(&d, dst + i, 8);
    std::memcpy(&s, src + i, 8);
    d |= s;
    std::memcpy(dst + i, &d, 8);
  }
  for (; i < n; ++i) dst[i] |= src[i];
}

}  // namespace

bool BandScaler::init(const ScalerGeometry& g, const BandSink& sink) {
  if (g.xd == 0 || g.xn == 0 || g.yd == 0 || g.yn == 0 || g.sourceWidth == 0 || g.sourceHeight == 0) return false;
  g_ = g;
  sink_ = sink;
  outW_ = toDisplay(g.sourceWidth, g.xd, g.xn);
  outH_ = toDisplay(g.sourceHeight, g.yd, g.yn);
  if (outW_ == 0 || outW_ > kMaxBandPixels) return false;
  rowBytes_ = (outW_ + 15) / 16 * 2;
  // Rows in multiples of 16, or of 8 (what band rotation needs) for very wide bands.
  std::uint32_t rows = kMaxBandBytes / rowBytes_;
  rows = rows >= 16 ? rows / 16 * 16 : rows / 8 * 8;
  bandRows_ = std::min(rows, (outH_ + 15) / 16 * 16);
  if (bandRows_ % 8 != 0) bandRows_ = (bandRows_ + 7) / 8 * 8;
  try {
    band_.assign(std::size_t(rowBytes_) * bandRows_, 0);
    line_.assign(rowBytes_, 0);
    scratch_.resize(std::size_t(g.sourceWidth) + 2);
    colFirst_.resize(std::size_t(g.sourceWidth) + 1);
    colEnd_.resize(std::size_t(g.sourceWidth) + 1);
  } catch (const std::bad_alloc&) {
    return false;
  }
  for (std::uint32_t c = 0; c <= g.sourceWidth; ++c) {
    colFirst_[c] = g.xd == g.xn ? c : runDisplayFirst(c, g.xd, g.xn);
    colEnd_[c] = g.xd == g.xn ? c : runDisplayEnd(c, g.xd, g.xn);
  }
  bandFirst_ = 0;
  rowsUsed_ = 0;
  stopped_ = false;
  return true;
}

bool BandScaler::skips(std::uint32_t y) const {
  if (y >= g_.sourceHeight) return true;
  if (!g_.thinLines || g_.yn <= g_.yd) return false;
  std::uint32_t row = runDisplayFirst(y, g_.yd, g_.yn);
  return groupStart(row, g_.yd, g_.yn) != y;
}

void BandScaler::markRun(std::uint8_t* row, std::uint32_t a, std::uint32_t b) const {
  b = std::min(b, g_.sourceWidth);
  if (a >= b) return;
  setBits(row, colFirst_[a], colEnd_[b]);
}

bool BandScaler::addScaledRow(std::uint32_t y, const std::uint8_t* row) {
  if (stopped_) return false;
  if (skips(y)) return true;
  return commitLine(y, row);
}

bool BandScaler::addList(std::uint32_t y, const Transition* list, std::uint32_t listWidth, std::int64_t offset,
                         bool startBlack) {
  if (stopped_) return false;
  if (skips(y)) return true;
  if (g_.yn >= g_.yd) {
    // The line feeds one display row only: mark it there directly.
    std::uint8_t* row = rowOf(y);
    if (row != nullptr) markList(row, list, listWidth, offset, startBlack);
    return row != nullptr || outH_ <= runDisplayFirst(y, g_.yd, g_.yn);
  }
  std::memset(line_.data(), 0, rowBytes_);
  markList(line_.data(), list, listWidth, offset, startBlack);
  return commitLine(y);
}

void BandScaler::markList(std::uint8_t* row, const Transition* list, std::uint32_t listWidth, std::int64_t offset,
                          bool startBlack) const {
  if (offset == 0 && listWidth <= g_.sourceWidth) {
    // The list's columns are source columns: no cutting needed. Black runs
    // are [a, b) with a and b taken in pairs from the list.
    const std::uint32_t* first = colFirst_.data();
    const std::uint32_t* end = colEnd_.data();
    std::size_t k = 0;
    std::uint32_t a = 0;
    if (!startBlack) {
      a = list[0];
      k = 1;
    }
    // When reducing, neighbouring runs often meet in one display pixel:
    // runs that touch on the display are set as one.
    std::uint32_t from = 0, to = 0;
    while (a < listWidth) {
      const std::uint32_t b = std::min<std::uint32_t>(list[k], listWidth);
      if (a < b) {
        if (first[a] > to) {
          setBits(row, from, to);
          from = first[a];
        }
        to = end[b];
      }
      if (b >= listWidth) break;
      a = list[k + 1];
      k += 2;
    }
    setBits(row, from, to);
    return;
  }
  const std::int64_t lo = 0, hi = g_.sourceWidth;
  bool black = startBlack;
  std::uint32_t prev = 0;
  for (std::size_t k = 0;; ++k) {
    std::uint32_t c = std::min<std::uint32_t>(list[k], listWidth);
    if (black) {
      std::int64_t a = std::max<std::int64_t>(prev + offset, lo), b = std::min<std::int64_t>(c + offset, hi);
      if (a < b) markRun(row, std::uint32_t(a), std::uint32_t(b));
    }
    if (c >= listWidth) return;
    prev = c;
    black = !black;
  }
}

bool BandScaler::addRow(std::uint32_t y, const std::uint8_t* row, bool invert) {
  if (stopped_) return false;
  if (skips(y)) return true;
  const std::uint32_t w = g_.sourceWidth;
  if (g_.xd == g_.xn && !invert) {
    std::memcpy(line_.data(), row, (w + 7) / 8);
    std::memset(line_.data() + (w + 7) / 8, 0, rowBytes_ - (w + 7) / 8);
    if (w % 8) line_[w / 8] &= static_cast<std::uint8_t>(0xFF00u >> (w % 8));
    return commitLine(y);
  }
  std::size_t n = bitsToList(row, w, scratch_.data(), scratch_.size());
  if (n == 0) return false;
  return addList(y, scratch_.data(), w, 0, invert);
}

bool BandScaler::addRuns(std::uint32_t y, const std::uint32_t* runs, std::size_t runCount) {
  if (stopped_) return false;
  if (skips(y)) return true;
  std::memset(line_.data(), 0, rowBytes_);
  for (std::size_t i = 0; i < runCount; ++i) setRun(runs[2 * i], runs[2 * i + 1]);
  return commitLine(y);
}

// Puts the scaled line into the display rows its source line feeds: one row
// (OR with the lines of its group) when reducing, several when magnifying.
bool BandScaler::commitLine(std::uint32_t y, const std::uint8_t* line) {
  std::uint32_t first = runDisplayFirst(y, g_.yd, g_.yn), end = runDisplayEnd(y + 1, g_.yd, g_.yn);
  if (g_.yn > g_.yd) end = first + 1;
  for (std::uint32_t r = first; r < end && r < outH_; ++r) {
    while (r >= bandFirst_ + bandRows_) {
      if (!flushBand()) return false;
      bandFirst_ += bandRows_;
    }
    orRow(band_.data() + std::size_t(r - bandFirst_) * rowBytes_, line, rowBytes_);
    rowsUsed_ = std::max(rowsUsed_, r - bandFirst_ + 1);
  }
  return true;
}

std::uint8_t* BandScaler::rowOf(std::uint32_t y) {
  const std::uint32_t r = runDisplayFirst(y, g_.yd, g_.yn);
  if (r >= outH_) return nullptr;
  while (r >= bandFirst_ + bandRows_) {
    if (!flushBand()) return nullptr;
    bandFirst_ += bandRows_;
  }
  rowsUsed_ = std::max(rowsUsed_, r - bandFirst_ + 1);
  return band_.data() + std::size_t(r - bandFirst_) * rowBytes_;
}

bool BandScaler::flushBand() {
  if (rowsUsed_ != 0) {
    if (!sink_.flush(sink_.user, band_.data(), rowBytes_, bandRows_, bandFirst_, rowsUsed_)) {
      stopped_ = true;
      return false;
    }
    std::memset(band_.data(), 0, band_.size());
  }
  rowsUsed_ = 0;
  return true;
}

bool BandScaler::finish() {
  if (stopped_) return false;
  return flushBand();
}

}  // namespace hv::engine
