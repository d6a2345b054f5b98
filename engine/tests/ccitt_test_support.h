#pragma once
// Test helpers for the decoder: a bit writer that speaks the code tables, a
// feeder that hands out strips in chosen piece sizes, and a driver that runs a
// whole decoding and collects every delivered line.
#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "engine/ccitt_decode.h"
#include "engine/ccitt_tables.h"

namespace hv::engine::test {

// Collects bits first-transmitted-first and packs them least significant bit
// first, the order in which the decoder receives CCITT data.
class BitWriter {
 public:
  void bits(const std::string& s) {
    for (char c : s) put(c == '1');
  }
  void code(const ccitt::CodeRow& r) {
    for (int i = r.length - 1; i >= 0; --i) put(((r.bits >> i) & 1) != 0);
  }
  void zeros(unsigned n) {
    for (unsigned i = 0; i < n; ++i) put(false);
  }
  // One run: extended/regular make-up codes as needed, then a terminating code.
  void run(bool black, std::uint32_t length) {
    while (length >= 2560 + 64) {
      code(ccitt::extendedMakeupRows().back());
      length -= 2560;
    }
    if (length >= 64) {
      const std::uint32_t mk = length / 64 * 64;
      for (const auto& r : mk > 1728 ? ccitt::extendedMakeupRows()
                                      : (black ? ccitt::blackMakeupRows() : ccitt::whiteMakeupRows()))
        if (r.value == mk) code(r);
      length -= mk;
    }
    code((black ? ccitt::blackTerminatingRows() : ccitt::whiteTerminatingRows())[length]);
  }
  void mode(std::uint8_t m) {
    for (const auto& r : ccitt::modeRows())
      if (r.value == m) code(r);
  }
  void eol() { code(ccitt::kEolRow); }
  void alignByte() {
    while (count_ % 8 != 0) put(false);
  }
  std::size_t size() const { return count_; }
  std::vector<std::uint8_t> bytes() const { return bytes_; }

 private:
  void put(bool b) {
    if (count_ % 8 == 0) bytes_.push_back(0);
    if (b) bytes_.back() = static_cast<std::uint8_t>(bytes_.back() | 1u << (count_ % 8));
    ++count_;
  }
  std::vector<std::uint8_t> bytes_;
  std::size_t count_ = 0;
};

// Piece sizes for feeding: 0 = whole strip, else at most this many bytes;
// randomPieces draws sizes 1..randomMax from a seeded generator.
struct Feeding {
  std::uint32_t piece = 0;
  bool randomPieces = false;
  std::uint32_t randomMax = 64;
  std::uint32_t seed = 1;
};

struct Checkpoint {
  std::uint32_t lines;
  std::uint32_t strip;
  std::int64_t stripBit;  // bit position within the strip
  std::vector<std::uint16_t> line;
  std::uint32_t extra[kCheckpointExtraWords];
};

// Hands out strips like the file manager: status 8 with the first buffer of
// every strip after the first, 9 at the end.
class Feeder {
 public:
  Feeder(std::vector<std::vector<std::uint8_t>> strips, int code, Feeding f)
      : strips_(std::move(strips)), code_(code), feeding_(f), rng_(f.seed) {}

  static hv::Status get(void* ctx, formats::CodeBuffer* b, formats::CodeInfo* info) {
    return static_cast<Feeder*>(ctx)->next(b, info);
  }
  static void lineInfo(void* ctx, const CheckpointInfo& ci) {
    auto* self = static_cast<Feeder*>(ctx);
    Checkpoint c{};
    c.lines = ci.linesDecoded;
    c.strip = self->strip_;
    c.stripBit = static_cast<std::int64_t>(self->pos_ - ci.bufferBytes) * 8 + ci.bitPosition;
    c.line.assign(ci.line, ci.line + ci.lineBytes / 2);
    for (unsigned i = 0; i < kCheckpointExtraWords; ++i) c.extra[i] = ci.extra[i];
    self->checkpoints.push_back(std::move(c));
  }
  // Repositions at a bit of a strip and fills the resume point's buffer.
  void seek(std::uint32_t strip, std::int64_t bit, ResumePoint& rp) {
    strip_ = strip;
    pos_ = static_cast<std::uint32_t>(bit / 8);
    started_ = true;
    next(&rp.buffer, &rp.info);
    rp.bitOffset = static_cast<std::uint32_t>(bit % 8);
  }

  std::vector<Checkpoint> checkpoints;
  int calls = 0;

 private:
  hv::Status next(formats::CodeBuffer* b, formats::CodeInfo* info) {
    ++calls;
    hv::Status status = hv::Status::Ok;
    if (started_ && strip_ < strips_.size() && pos_ >= strips_[strip_].size()) {
      ++strip_;
      pos_ = 0;
      status = hv::Status::NewStrip;
    }
    started_ = true;
    while (strip_ < strips_.size() && strips_[strip_].empty()) ++strip_, status = hv::Status::NewStrip;
    if (strip_ >= strips_.size()) return hv::Status::AllDelivered;
    const auto& s = strips_[strip_];
    std::uint32_t n = static_cast<std::uint32_t>(s.size()) - pos_;
    if (feeding_.randomPieces) {
      n = std::min<std::uint32_t>(n, 1 + rng_() % feeding_.randomMax);
    } else if (feeding_.piece != 0) {
      n = std::min(n, feeding_.piece);
    }
    b->data = const_cast<std::uint8_t*>(s.data()) + pos_;
    b->count = n;
    pos_ += n;
    info->compression = code_;
    info->bitOrder = -1;
    return status;
  }

  std::vector<std::vector<std::uint8_t>> strips_;
  int code_;
  Feeding feeding_;
  std::mt19937 rng_;
  std::uint32_t strip_ = 0;
  std::uint32_t pos_ = 0;
  bool started_ = false;
};

struct Job {
  int code = formats::kCompG4;
  std::uint16_t width = 0, height = 0;
  std::vector<std::vector<std::uint8_t>> strips;
  Feeding feeding;
  std::uint32_t firstCol = 0, firstLine = 0, endCol = 0xFFFF, endLine = 0xFFFF;
  OutputForm form = OutputForm::kTransitions;
  std::uint32_t listEntries = 0;  // 0 = plenty
  std::uint32_t bandRows = 7;
  std::uint32_t firstBitCol = 0;
  std::uint32_t interval = 0;
  bool thin = false;
  std::uint8_t reduceFrom = 1, reduceTo = 1;
};

struct Outcome {
  int result = -1;  // the final result
  std::vector<std::vector<std::uint16_t>> lists;  // list form: one per delivered line
  std::vector<std::vector<std::uint8_t>> rows;    // bitmap form: one per delivered row
  std::vector<Checkpoint> checkpoints;
  std::vector<int> results;  // every result returned
};

// Splits an output list buffer into lines (each ends with the region width).
inline void splitLists(const std::uint16_t* p, std::uint32_t n, std::uint32_t regionWidth, Outcome& o) {
  std::vector<std::uint16_t> line;
  for (std::uint32_t i = 0; i < n; ++i) {
    line.push_back(p[i]);
    if (p[i] == regionWidth) {
      o.lists.push_back(line);
      line.clear();
    }
  }
}

// Runs a decoding to its end: band full empties the output, strip boundaries
// restart the decoder, kBufferUsed calls again; at most maxCalls calls.
inline Outcome runJob(const Job& job, const ResumePoint* resume = nullptr, Feeder* feeder = nullptr,
                      int maxCalls = 1000000) {
  Outcome o;
  Feeder localFeeder(job.strips, job.code, job.feeding);
  Feeder& fd = feeder != nullptr ? *feeder : localFeeder;
  const std::uint32_t endCol = std::min<std::uint32_t>(job.endCol, job.width);
  const std::uint32_t regionWidth = endCol > job.firstCol ? endCol - job.firstCol : 0;
  std::vector<std::uint16_t> work(decoderWorkEntries(job.width));
  std::vector<std::uint8_t> codeBuf(4096);
  std::vector<std::uint16_t> list(job.listEntries != 0 ? job.listEntries : (regionWidth + 2) * 64);
  const std::uint32_t rowBytes = (job.firstBitCol + regionWidth + 7) / 8 + 1;
  std::vector<std::uint8_t> band(static_cast<std::size_t>(rowBytes) * job.bandRows, 0xAA);
  DecoderParams p;
  p.compression = job.code;
  p.width = job.width;
  p.height = job.height;
  p.firstCol = job.firstCol;
  p.firstLine = job.firstLine;
  p.endCol = job.endCol;
  p.endLine = job.endLine;
  p.output.form = job.form;
  p.output.list = list.data();
  p.output.listCapacity = static_cast<std::uint32_t>(list.size());
  p.output.band = band.data();
  p.output.rowBytes = rowBytes;
  p.output.bandRows = job.bandRows;
  p.output.firstBitCol = job.firstBitCol;
  p.thinLines = job.thin;
  p.reduceFrom = job.reduceFrom;
  p.reduceTo = job.reduceTo;
  p.checkpointInterval = job.interval;
  p.source.getCodeBuf = &Feeder::get;
  p.source.lineInfo = &Feeder::lineInfo;
  p.source.ctx = &fd;
  p.codeBuffer = codeBuf.data();
  p.codeBufferCapacity = static_cast<std::uint32_t>(codeBuf.size());
  p.work = work.data();
  p.workEntries = static_cast<std::uint32_t>(work.size());
  DecoderState s;
  if (decoderInit(s, p) != Status::Ok) {
    o.result = kNoState;
    return o;
  }
  if (resume != nullptr && decoderResume(s, *resume) != Status::Ok) {
    o.result = kNoState;
    return o;
  }
  auto collect = [&] {
    if (job.form == OutputForm::kTransitions) {
      splitLists(list.data(), s.listPos, regionWidth, o);
    } else {
      for (std::uint32_t r = 0; r < s.outRow; ++r)
        o.rows.emplace_back(band.begin() + r * rowBytes, band.begin() + (r + 1) * rowBytes);
    }
    decoderSetOutput(s, p.output);
  };
  for (int calls = 0; calls < maxCalls; ++calls) {
    const DecodeResult r = decodeLines(s);
    o.results.push_back(r);
    if (r == kBandFull) {
      collect();
      continue;
    }
    if (r == kBufferUsed) continue;
    if (r == kCodeChanged && s.stripPending) {
      decoderNewStrip(s);
      continue;
    }
    collect();
    o.result = r;
    break;
  }
  o.checkpoints = fd.checkpoints;
  return o;
}

}  // namespace hv::engine::test
