// Reading a continuous Group 4 "wrap" raster (rules in
// engine/ccitt_wrap_raster.h). The coded stream arrives in pieces; lines are
// built as transition lists and delivered as soon as the raster passes their
// end. Between any two codes the reader's whole state is a0 (line, column,
// colour), the changes of a0's line so far, the line above and the bit
// position, so it can be saved there and taken up again later.
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

  // False when the point does not belong to a raster of this size.
  bool restore(const WrapResumePoint& p) {
    if (p.line >= h_ || p.column >= static_cast<std::int64_t>(w_) || p.column < -1) return false;
    if (p.current.size() > w_ + 1 || p.reference.size() > w_ + 1) return false;
    y_ = p.line;
    x_ = p.column;
    black_ = p.black;
    cur_ = p.current;
    ref_ = p.reference;
    bi_ = 0;
    lineEnd_ = lineStart() + w_;
    return true;
  }

  void save(WrapResumePoint& p, std::uint64_t bitPosition) const {
    p.bitPosition = bitPosition;
    p.line = y_;
    p.column = static_cast<std::int32_t>(x_);
    p.black = black_;
    p.current = cur_;
    p.reference = ref_;
  }

  // Moves a0 to raster position p in the current colour, completing the lines
  // passed on the way, and records a change of colour there. A change at the
  // very end of the raster completes the image.
  bool changeAt(std::uint64_t p) {
    if (p < here()) return false;
    if (p >= lineEnd_) {
      const std::uint64_t total = static_cast<std::uint64_t>(w_) * h_;
      if (p > total) return false;
      while (lineEnd_ <= p && y_ < h_)
        if (!endLine()) return false;
      if (p == total) {
        done_ = true;
        return true;
      }
    }
    changeInLine(static_cast<std::uint32_t>(p - lineStart()));
    return true;
  }

  // A change at column x of a0's line, right of a0 (x < width).
  void changeInLine(std::uint32_t x) {
    // Two changes at one column cancel (a zero-length run).
    if (!cur_.empty() && cur_.back() == x) {
      cur_.pop_back();
    } else {
      cur_.push_back(static_cast<std::uint16_t>(x));
    }
    x_ = x;
    black_ = !black_;
  }

  // Pass mode: a0 moves right to x on its line, keeping its colour.
  void passTo(std::uint32_t x) { x_ = x; }

  // The rest of the raster keeps the current colour.
  bool fillToEnd() {
    while (y_ < h_)
      if (!endLine()) return false;
    done_ = true;
    return true;
  }

  // b1 and b2 on the line above a0's line (the imaginary white line above
  // line 0). a0 only moves right within a line, so the search goes on from
  // where the previous one stopped.
  void refElements(std::uint32_t& b1, std::uint32_t& b2) {
    const std::size_t n = ref_.size();
    if (x_ >= 0)
      while (bi_ < n && ref_[bi_] <= x_) ++bi_;
    std::size_t bi = bi_;
    if ((bi & 1) != (black_ ? 1u : 0u)) ++bi;
    b1 = bi < n ? ref_[bi] : w_;
    b2 = bi + 1 < n ? ref_[bi + 1] : w_;
  }

  std::uint64_t here() const {
    return static_cast<std::uint64_t>(y_) * w_ + static_cast<std::uint64_t>(x_ < 0 ? 0 : x_);
  }
  std::uint64_t lineStart() const { return static_cast<std::uint64_t>(y_) * w_; }
  std::uint32_t line() const { return y_; }
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
    bi_ = 0;
    ++y_;
    lineEnd_ += w_;
    // A black run goes on into the new line.
    if (black_) cur_.push_back(0);
    // A change may still fall at column 0 of the new line, so the column
    // before it is taken as -1.
    x_ = -1;
    return true;
  }

  std::uint32_t w_, h_;
  const WrapLineSink& sink_;
  std::vector<std::uint16_t> cur_, ref_;  // changes of a0's line so far; the line above (no terminator)
  std::size_t bi_ = 0;                    // entries of ref_ at or left of a0
  std::uint32_t y_ = 0;
  std::uint64_t lineEnd_ = w_;  // raster position just past a0's line
  std::int64_t x_ = -1;
  bool black_ = false;
  bool done_ = false;
  bool stopped_ = false;
};

// Hands the source's pieces to the bit reader and keeps count of the stream
// position of the piece being read.
class Feed {
 public:
  Feed(const WrapSource& source, BitReader& br) : src_(source), br_(br) {}

  bool next() {
    const std::uint8_t* data = nullptr;
    std::uint32_t count = 0;
    do {
      if (!src_.next(src_.user, &data, &count)) return false;
    } while (count == 0);
    base_ += br_.count;
    brNextBuffer(br_, data, count);
    return true;
  }

  // Starts reading at bit `bit` of the stream.
  bool startAt(std::uint64_t bit) {
    const std::uint64_t byte = bit / 8;
    if (src_.seek == nullptr || !src_.seek(src_.user, byte)) return false;
    const std::uint8_t* data = nullptr;
    std::uint32_t count = 0;
    do {
      if (!src_.next(src_.user, &data, &count)) return false;
    } while (count == 0);
    brStart(br_, data, count, static_cast<unsigned>(bit % 8));
    base_ = byte;
    return true;
  }

  std::uint64_t bitPosition() const {
    return static_cast<std::uint64_t>(static_cast<std::int64_t>(base_ * 8) + brPosition(br_));
  }

 private:
  const WrapSource& src_;
  BitReader& br_;
  std::uint64_t base_ = 0;  // stream byte of the reader's buffer's first byte
};

struct MemorySource {
  const std::uint8_t* data;
  std::size_t count;
  std::size_t given = 0;
};

bool nextMemoryPiece(void* user, const std::uint8_t** data, std::uint32_t* count) {
  auto& m = *static_cast<MemorySource*>(user);
  if (m.given >= m.count) return false;
  // The bit reader counts bytes in 32 bits; hand the data out in pieces.
  const auto n = static_cast<std::uint32_t>(std::min<std::size_t>(m.count - m.given, 1u << 30));
  *data = m.data + m.given;
  *count = n;
  m.given += n;
  return true;
}

}  // namespace

bool isContinuousWrap(const std::uint8_t* data, std::size_t count) {
  if (count == 0) return false;
  // Every mode code has a 1 within its first 7 bits; an EOL or fill has not.
  std::uint32_t first = data[0];
  if (count > 1) first |= static_cast<std::uint32_t>(data[1]) << 8;
  return (first & 0x7F) != 0;
}

Status decodeWrapRaster(const std::uint8_t* data, std::size_t count, std::uint32_t width, std::uint32_t height,
                     const WrapLineSink& sink) {
  MemorySource memory{data, count};
  return decodeWrapStream(WrapSource{nextMemoryPiece, nullptr, &memory}, width, height, sink, nullptr, nullptr);
}

Status decodeWrapStream(const WrapSource& source, std::uint32_t width, std::uint32_t height, const WrapLineSink& sink,
                     const WrapResumePoint* start, const WrapRecorder* recorder) {
  if (width == 0 || height == 0 || width > 65535 || sink.line == nullptr || source.next == nullptr)
    return Status::CodingError;
  WrapReader rd(width, height, sink);
  const std::uint64_t total = static_cast<std::uint64_t>(width) * height;
  BitReader br;
  Feed feed(source, br);
  if (start != nullptr) {
    if (!rd.restore(*start)) return Status::CodingError;
    if (!feed.startAt(start->bitPosition)) return Status::DataEnded;
  } else {
    feed.next();
  }
  auto result = [&](Status r) { return rd.stopped() ? Status::Stopped : r; };
  auto run = [&](bool black, std::uint64_t limit, std::uint64_t& value) -> Status {
    // decodeRun adds one run (make-up codes included) and refuses a total
    // above the limit given, which keeps every run inside the raster.
    const std::uint32_t cap = static_cast<std::uint32_t>(std::min<std::uint64_t>(limit, 0xFFFFFFFFu));
    std::uint32_t col = 0;
    for (;;) {
      detail::RunStep s = detail::decodeRun(br, black, col, cap);
      if (s == detail::RunStep::kDone) {
        value = col;
        return Status::Ok;
      }
      if (s == detail::RunStep::kError) return Status::CodingError;
      // The piece ran out: the held bits go on into the next one.
      if (!feed.next()) return Status::DataEnded;
    }
  };
  // The recorder is offered a point once for each line a0 reaches.
  std::uint32_t offered = start != nullptr ? start->line : height;
  while (!rd.done()) {
    brEnsure(br);
    if (br.bits < 14 && brExhausted(br) && feed.next()) brEnsure(br);
    if (recorder != nullptr && rd.line() != offered) {
      offered = rd.line();
      if (recorder->wants(recorder->user, offered)) {
        WrapResumePoint point;
        rd.save(point, feed.bitPosition());
        recorder->keep(recorder->user, point);
      }
    }
    const std::uint32_t e = ccitt::kModeTable[br.acc & 0x7F];
    const std::uint32_t len = e & 15;
    if (e == 0 || len > br.bits) {
      // Seven zero bits: the end code. The rest keeps a0's colour.
      if (br.bits >= 7 && (br.acc & 0x7F) == 0) return result(rd.fillToEnd() ? Status::Ok : Status::Stopped);
      return result(br.bits < 7 ? Status::DataEnded : Status::CodingError);
    }
    brConsume(br, len);
    const std::uint32_t mode = e >> 4;
    if (mode == ccitt::kModeHorizontal) {
      const std::uint64_t p0 = rd.here();
      std::uint64_t r1 = 0, r2 = 0;
      Status s = run(rd.blackNow(), total - p0, r1);
      if (s != Status::Ok) return result(s);
      s = run(!rd.blackNow(), total - p0 - r1, r2);
      if (s != Status::Ok) return result(s);
      if (!rd.changeAt(p0 + r1)) return result(Status::CodingError);
      if (rd.done()) break;
      if (!rd.changeAt(p0 + r1 + r2)) return result(Status::CodingError);
      continue;
    }
    std::uint32_t b1 = 0, b2 = 0;
    rd.refElements(b1, b2);
    const std::int64_t x = rd.column();
    if (mode == ccitt::kModePass) {
      if (b2 >= rd.width()) return result(Status::CodingError);
      // b2 lies right of a0 on its line.
      rd.passTo(b2);
      continue;
    }
    const std::int64_t a1 = static_cast<std::int64_t>(b1) + static_cast<std::int64_t>(mode) - 3;
    if (a1 < 0 || a1 >= rd.width() || (x >= 0 && a1 <= x)) return result(Status::CodingError);
    rd.changeInLine(static_cast<std::uint32_t>(a1));
  }
  return result(Status::Ok);
}

}  // namespace hv::engine
