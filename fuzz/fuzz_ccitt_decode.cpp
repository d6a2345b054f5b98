// Decoder fuzz target. A 10-byte prefix chooses the image and the decoding:
//   0-1 width (1..4000)   2 compression code   3 height (1..256)
//   4-7 region: first column, end column, first line, end line (scaled)
//   8 flags: bit 0 bitmap output, bit 1 thinning 3:1, bit 2 checkpoints every 7 lines,
//            bit 3 two strips, bits 4-5 feeding (whole, 1 byte, chunk, random)
//   9 chunk size / random seed
// The rest is the coded data. Every call must end in a result or make
// progress; a bounded number of calls without progress is a hang (abort).
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "engine/ccitt_decode.h"

namespace {

using namespace hv::engine;
namespace fmt = hv::formats;

struct Feed {
  std::vector<std::vector<std::uint8_t>> strips;
  int code;
  unsigned mode, chunk;
  std::uint32_t rng;
  std::size_t strip = 0, pos = 0;
  bool started = false;
  std::uint32_t cpLines = 0, cpStrip = 0;
  std::int64_t cpBit = -1;
  std::vector<std::uint16_t> cpLine;
  std::uint32_t cpExtra[kCheckpointExtraWords] = {};
};

hv::Status getBuf(void* ctx, fmt::CodeBuffer* b, fmt::CodeInfo* info) {
  auto* f = static_cast<Feed*>(ctx);
  hv::Status status = hv::Status::Ok;
  if (f->started && f->strip < f->strips.size() && f->pos >= f->strips[f->strip].size()) {
    ++f->strip;
    f->pos = 0;
    status = hv::Status::NewStrip;
  }
  f->started = true;
  if (f->strip >= f->strips.size() || f->strips[f->strip].empty()) return hv::Status::AllDelivered;
  const auto& s = f->strips[f->strip];
  std::size_t n = s.size() - f->pos;
  if (f->mode == 1) n = 1;
  if (f->mode == 2) n = std::min<std::size_t>(n, f->chunk);
  if (f->mode == 3) {
    f->rng = f->rng * 1103515245u + 12345u;
    n = std::min<std::size_t>(n, 1 + (f->rng >> 16) % (f->chunk + 1));
  }
  n = std::min(n, s.size() - f->pos);
  b->data = const_cast<std::uint8_t*>(s.data()) + f->pos;
  b->count = static_cast<std::uint32_t>(n);
  f->pos += n;
  info->compression = f->code;
  info->bitOrder = -1;
  return status;
}

void lineInfo(void* ctx, const CheckpointInfo& ci) {
  auto* f = static_cast<Feed*>(ctx);
  if (f->cpBit >= 0) return;  // keep the first
  f->cpLines = ci.linesDecoded;
  f->cpStrip = static_cast<std::uint32_t>(f->strip);
  f->cpBit = static_cast<std::int64_t>(f->pos - ci.bufferBytes) * 8 + ci.bitPosition;
  if (f->cpBit < 0) std::abort();
  f->cpLine.assign(ci.line, ci.line + ci.lineBytes / 2);
  std::memcpy(f->cpExtra, ci.extra, sizeof f->cpExtra);
}

struct Run {
  int result = -1;
  std::vector<std::uint16_t> lists;  // all delivered entries (lists), or row bytes
};

Run decodeAll(const DecoderParams& base, Feed& feed, std::uint32_t dataBits, const ResumePoint* rp) {
  Run run;
  DecoderParams p = base;
  std::vector<std::uint16_t> work(decoderWorkEntries(p.width));
  std::vector<std::uint8_t> codeBuf(512);
  const std::uint32_t endCol = std::min<std::uint32_t>(p.endCol, p.width);
  const std::uint32_t rw = endCol - p.firstCol;
  std::vector<std::uint16_t> list(decoderMinListEntries(rw) + (rw % 3));
  const std::uint32_t rowBytes = (rw + 3 + 7) / 8;
  std::vector<std::uint8_t> band(rowBytes * 3);
  p.output.list = list.data();
  p.output.listCapacity = static_cast<std::uint32_t>(list.size());
  p.output.band = band.data();
  p.output.rowBytes = rowBytes;
  p.output.bandRows = 3;
  p.output.firstBitCol = 3;
  p.source.ctx = &feed;
  p.codeBuffer = codeBuf.data();
  p.codeBufferCapacity = static_cast<std::uint32_t>(codeBuf.size());
  p.work = work.data();
  p.workEntries = static_cast<std::uint32_t>(work.size());
  DecoderState s;
  if (decoderInit(s, p) != hv::Status::Ok) {
    run.result = decodeLines(s);
    return run;
  }
  if (rp != nullptr && decoderResume(s, *rp) != hv::Status::Ok) return run;
  // Progress: a line, a strip or a final result; kBufferUsed may repeat only
  // as often as there are bits.
  const std::uint64_t limit = 64 + 4ull * (dataBits + p.height) + feed.strips.size() * 4;
  std::uint32_t seen = 0;  // entries or rows already taken from the output
  for (std::uint64_t calls = 0;; ++calls) {
    if (calls > limit) std::abort();  // the decoder does not end
    const DecodeResult r = decodeLines(s);
    if (p.output.form == OutputForm::kTransitions) {
      // Every line ascends and ends with the region width.
      std::uint32_t prev = 0;
      bool startOfLine = true;
      for (std::uint32_t i = seen; i < s.listPos; ++i) {
        const std::uint32_t v = list[i];
        if (v > rw || (!startOfLine && v <= prev)) std::abort();
        prev = v;
        startOfLine = v == rw;
        run.lists.push_back(list[i]);
      }
      if (!startOfLine) std::abort();
      seen = s.listPos;
    } else {
      for (std::uint32_t i = seen * rowBytes; i < s.outRow * rowBytes; ++i) run.lists.push_back(band[i]);
      seen = s.outRow;
    }
    if (r == kBandFull) {
      decoderSetOutput(s, p.output);
      seen = 0;
      continue;
    }
    if (r == kBufferUsed) continue;
    if (r == kCodeChanged && s.stripPending) {
      decoderNewStrip(s);
      continue;
    }
    run.result = r;
    return run;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 10) return 0;
  static const int kCodes[] = {0, 1, 2, 3, 4, 6, 7, 8, 5};
  DecoderParams p;
  p.width = static_cast<std::uint16_t>((data[0] | data[1] << 8) % 4000 + 1);
  p.compression = kCodes[data[2] % 9];
  p.height = static_cast<std::uint16_t>(data[3] + 1);
  p.firstCol = data[4] * p.width / 256u;
  p.endCol = p.firstCol + 1 + data[5] * p.width / 256u;
  p.firstLine = data[6] % p.height;
  p.endLine = data[7] == 0 ? 0xFFFF : p.firstLine + data[7];
  const std::uint8_t flags = data[8];
  p.output.form = (flags & 1) != 0 ? OutputForm::kBitmap : OutputForm::kTransitions;
  p.thinLines = (flags & 2) != 0;
  p.reduceFrom = 3;
  p.reduceTo = 1;
  p.checkpointInterval = (flags & 4) != 0 ? 7 : 0;
  p.source.getCodeBuf = &getBuf;
  p.source.lineInfo = &lineInfo;

  Feed feed;
  const std::uint8_t* body = data + 10;
  const std::size_t bodySize = size - 10;
  if ((flags & 8) != 0 && bodySize > 1) {
    feed.strips.emplace_back(body, body + bodySize / 2);
    feed.strips.emplace_back(body + bodySize / 2, body + bodySize);
  } else {
    feed.strips.emplace_back(body, body + bodySize);
  }
  feed.code = p.compression;
  feed.mode = (flags >> 4) & 3;
  feed.chunk = data[9] + 1u;
  feed.rng = data[9];
  const Feed fresh = feed;
  const Run top = decodeAll(p, feed, static_cast<std::uint32_t>(bodySize * 8), nullptr);

  // Restarting at the first checkpoint must give the same remaining output.
  if (feed.cpBit >= 0 && top.result == kAllDone && !p.thinLines && p.firstLine == 0 &&
      p.output.form == OutputForm::kTransitions && p.compression != 8) {
    Feed again = fresh;
    again.strip = feed.cpStrip;
    again.pos = static_cast<std::size_t>(feed.cpBit / 8);
    again.started = true;
    ResumePoint rp;
    if (getBuf(&again, &rp.buffer, &rp.info) != hv::Status::Ok) return 0;
    rp.bitOffset = static_cast<std::uint32_t>(feed.cpBit % 8);
    rp.linesDecoded = feed.cpLines;
    if (!feed.cpLine.empty()) {
      rp.refLine = feed.cpLine.data();
      rp.refLineBytes = static_cast<std::uint32_t>(feed.cpLine.size() * 2);
    }
    std::memcpy(rp.extra, feed.cpExtra, sizeof rp.extra);
    p.checkpointInterval = 0;
    const Run resumed = decodeAll(p, again, static_cast<std::uint32_t>(bodySize * 8), &rp);
    if (resumed.result != kAllDone) std::abort();
    // The resumed output is the tail of the top-down output.
    if (resumed.lists.size() > top.lists.size() ||
        !std::equal(resumed.lists.begin(), resumed.lists.end(), top.lists.end() - resumed.lists.size()))
      std::abort();
  }
  return 0;
}
