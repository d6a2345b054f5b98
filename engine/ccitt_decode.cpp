// Decoder driver: set-up, the start-of-line work (fill, EOL, tag bit), buffer
// hand-over, line delivery with thinning, checkpoints and restarts.
#include "engine/ccitt_decode.h"

#include <algorithm>
#include <cstring>

#include "engine/ccitt_decode_internal.h"
#include "engine/reduction.h"

namespace hv::engine {
namespace {

using detail::Step;

bool isCcitt(int code) {
  return code == formats::kCompG3OneD || code == formats::kCompModHuffman || code == formats::kCompG3TwoD ||
         code == formats::kCompG4 || code == formats::kCompG4Wrap;
}
bool isTwoD(int code) {
  return code == formats::kCompG3TwoD || code == formats::kCompG4 || code == formats::kCompG4Wrap;
}
bool isRaw(int code) { return code == formats::kCompPackBits || code == formats::kCompUncompressed; }
// The coding a tiled image's buffer announces (8 itself means Group 4).
int tiledCoding(int announced) { return announced == formats::kCompTiled ? formats::kCompG4 : announced; }

std::int64_t streamPosition(const DecoderState& s) { return s.streamBase + brPosition(s.br); }

// The imaginary all-white line that precedes the first line of 2-D data.
void whiteReference(DecoderState& s) {
  std::uint32_t n = 0;
  detail::closeLine(s.ref, n, s.width);
}

void beginLine(DecoderState& s, bool twoD) {
  s.curCount = 0;
  s.runCol = 0;
  s.a0 = -1;
  s.refIdx = 0;
  s.codingState = twoD ? kExpectMode : kInLine1D;
}

void resetCoding(DecoderState& s) {
  s.codingState = kLineEnd;
  s.sawEol = false;
  s.rawCol = 0;
  s.pbLiteral = 0;
  s.pbRepeat = 0;
  s.pbHaveByte = false;
  s.stickyResult = -1;
  if (isTwoD(s.activeCode)) whiteReference(s);
}

// Start-of-line work. Fill and EOLs are recognised by a run of zero bits that
// no code of the expected kind begins with: 8 or more for Group 3 (white codes
// begin with at most 7 zeros, tag bit plus mode code with at most 7) and 7 or
// more for Group 4 (mode codes begin with at most 6). Such a run is skipped
// through its final 1 bit, and the check repeats for doubled EOLs, RTC and
// EOFB. At the end of a strip only zero padding remains; it is held until the
// next buffer shows whether a new strip begins.
Step startLine(DecoderState& s) {
  BitReader& br = s.br;
  for (;;) {
    switch (s.codingState) {
      case kLineEnd: {
        const int code = s.activeCode;
        if (isRaw(code)) {
          s.codingState = kRawRow;
          return Step::kLineDone;  // ready; the caller continues with the row
        }
        if (code == formats::kCompModHuffman) {
          brConsume(br, br.bits & 7);  // every line begins on a byte boundary
          beginLine(s, false);
          return Step::kLineDone;
        }
        const unsigned zeros = code == formats::kCompG3OneD || code == formats::kCompG3TwoD ? 8 : 7;
        brEnsure(br);
        const unsigned held = std::min(br.bits, zeros);
        if (brPeek(br, held) == 0) {
          if (br.bits < zeros) return Step::kNeedInput;
          s.codingState = kSkipEol;
          break;
        }
        if (code == formats::kCompG3TwoD && s.sawEol) {
          s.codingState = kExpectTag;
        } else {
          beginLine(s, code != formats::kCompG3OneD && code != formats::kCompG3TwoD);
          return Step::kLineDone;
        }
        break;
      }
      case kSkipEol: {
        for (;;) {
          brEnsure(br);
          if (br.bits == 0) return Step::kNeedInput;
          const unsigned n = std::min(br.bits, 8u);
          const std::uint32_t v = brPeek(br, n);
          if (v == 0) {
            brConsume(br, n);
            continue;
          }
          brConsume(br, ccitt::zeroSkipLookup()[v]);
          break;
        }
        s.sawEol = true;
        s.codingState = kLineEnd;
        break;
      }
      case kExpectTag: {
        brEnsure(br);
        if (br.bits == 0) return Step::kNeedInput;
        const bool oneD = (br.acc & 1) != 0;  // T.4 section 4.2.1.3.2: 1 = next line 1-D
        brConsume(br, 1);
        beginLine(s, !oneD);
        return Step::kLineDone;
      }
      default:
        return Step::kLineDone;
    }
  }
}

Step decodeStep(DecoderState& s) {
  switch (s.codingState) {
    case kInLine1D:
      return detail::decode1DLine(s);
    case kExpectMode:
    case kHorizRun1:
    case kHorizRun2:
      return detail::decode2DLine(s);
    case kRawRow:
      return detail::decodeRawRow(s);
    default: {
      const Step st = startLine(s);
      // kLineDone here only means a line has begun.
      return st == Step::kLineDone ? decodeStep(s) : st;
    }
  }
}

// Fetches the next buffer once the current one is used up.
int fetch(DecoderState& s) {
  formats::CodeBuffer cb{s.codeStorage, 0, s.codeCapacity};
  formats::CodeInfo ci{};
  const Status status = s.source.getCodeBuf(s.source.ctx, &cb, &ci);
  if (status == Status::AllDelivered) return kNoMoreData;
  if (status != Status::Ok && status != Status::NewStrip) return kReadError;
  if (cb.data == nullptr || cb.count == 0) return kNoMoreData;
  s.info = ci;
  if (status == Status::NewStrip) {
    brStart(s.br, cb.data, cb.count, 0);
    s.streamBase = 0;
    s.stripPending = true;
    return kCodeChanged;
  }
  if (s.compression == formats::kCompTiled) {
    const int coding = tiledCoding(ci.compression);
    if (coding != s.activeCode) {
      if (!isCcitt(coding) && !isRaw(coding)) return kUnsupported;
      // A coding may change only where a line begins.
      if (s.codingState != kLineEnd || s.lines != 0) {
        s.stickyResult = kCodeChanged;
        return kCodeChanged;
      }
      s.activeCode = coding;
      resetCoding(s);
    }
  } else if (ci.compression != s.compression) {
    s.stickyResult = kCodeChanged;  // the rest of the data is not ours to decode
    return kCodeChanged;
  }
  s.streamBase += static_cast<std::int64_t>(s.br.count) * 8;
  brNextBuffer(s.br, cb.data, cb.count);
  return -1;
}

void checkpoint(DecoderState& s, const std::uint16_t* line, std::uint32_t n) {
  CheckpointInfo info{};
  info.linesDecoded = s.lines;
  info.bitPosition = static_cast<std::int32_t>(brPosition(s.br));
  info.bufferBytes = s.br.count;
  info.line = line;
  info.lineBytes = isTwoD(s.activeCode) ? n * 2 : 0;
  info.extra[0] = s.width;
  info.extra[1] = static_cast<std::uint32_t>(s.activeCode);
  info.extra[2] = s.lines;
  s.source.lineInfo(s.source.ctx, info);
}

// A line is complete: deliver it (or drop it), count it, maybe checkpoint.
void finishLine(DecoderState& s) {
  std::uint16_t* line = s.cur;
  std::uint32_t n = s.curCount;
  const bool raw = isRaw(s.activeCode);
  if (s.lines >= s.firstLine) {
    bool blank = false;
    if (s.thin) {
      bool groupStart = false;
      if (s.groupLeft == 0) {
        if (s.pattern[s.patternPos] == 0) s.patternPos = 0;
        s.groupLeft = s.pattern[s.patternPos++];
        groupStart = true;
      }
      --s.groupLeft;
      blank = !groupStart && !s.firstOfCall;
    }
    if (raw && !blank) n = detail::packedRowToList(detail::rawRow(s), s.width, line);
    detail::deliverLine(s, line, n, blank);
    s.firstOfCall = false;
  }
  ++s.lines;
  if (isTwoD(s.activeCode)) std::swap(s.cur, s.ref);
  if (s.interval != 0 && s.source.lineInfo != nullptr && !raw && s.lines % s.interval == 0)
    checkpoint(s, isTwoD(s.activeCode) ? s.ref : s.cur, n);
  s.codingState = kLineEnd;
  s.sawEol = false;
}

bool validOutput(const DecoderState& s, const DecoderOutput& o) {
  if (o.form == OutputForm::kTransitions)
    return o.list != nullptr && o.listCapacity >= decoderMinListEntries(s.regionWidth);
  return o.band != nullptr && o.bandRows != 0 && o.rowBytes != 0 &&
         static_cast<std::uint64_t>(o.firstBitCol) + s.regionWidth <= static_cast<std::uint64_t>(o.rowBytes) * 8;
}

}  // namespace

const char* decodeResultName(int result) {
  switch (result) {
    case kBandFull: return "band full";
    case kBufferUsed: return "buffer used";
    case kCodingError: return "coding error";
    case kAllDone: return "all done";
    case kNoState: return "no decoder state";
    case kUnsupported: return "compression not handled";
    case kCodeChanged: return "compression changed or new strip";
    case kNoMoreData: return "no more data";
    case kReadError: return "read error";
    default: return "unknown result";
  }
}

Status decoderInit(DecoderState& s, const DecoderParams& p) {
  s = DecoderState{};
  const int coding = p.compression == formats::kCompTiled ? formats::kCompG4 : p.compression;
  if (!isCcitt(coding) && !isRaw(coding)) {
    s.lastResult = kUnsupported;
    s.stickyResult = kUnsupported;
    return Status::Unsupported;
  }
  if (p.width == 0 || p.height == 0 || p.source.getCodeBuf == nullptr || p.work == nullptr ||
      p.workEntries < decoderWorkEntries(p.width))
    return Status::BadArgument;
  s.compression = p.compression;
  s.activeCode = coding;
  s.source = p.source;
  s.codeStorage = p.codeBuffer;
  s.codeCapacity = p.codeBufferCapacity;
  s.interval = p.checkpointInterval;
  s.width = p.width;
  s.height = p.height;
  s.rowBytes = (s.width + 7) / 8;
  s.firstCol = p.firstCol;
  s.firstLine = p.firstLine;
  s.endCol = std::min<std::uint32_t>(p.endCol, s.width);
  s.endLine = std::min<std::uint32_t>(p.endLine, s.height);
  if (s.firstCol >= s.endCol) return Status::BadArgument;
  s.regionWidth = s.endCol - s.firstCol;
  if (!validOutput(s, p.output)) return Status::BadArgument;
  s.out = p.output;
  s.cur = p.work;
  s.ref = p.work + (s.width + 4);
  if (p.thinLines && p.reduceFrom > p.reduceTo && p.reduceTo != 0) {
    s.thin = reductionPattern(p.reduceFrom, p.reduceTo, s.pattern) != 0;
    s.reduceFrom = p.reduceFrom;
    s.reduceTo = p.reduceTo;
  }
  resetCoding(s);
  s.ready = true;
  return Status::Ok;
}

void decoderSetOutput(DecoderState& s, const DecoderOutput& output) {
  if (!s.ready) return;
  if (!validOutput(s, output)) {
    s.ready = false;
    return;
  }
  s.out = output;
  s.listPos = 0;
  s.outRow = 0;
  s.delivered = 0;
}

void decoderNewStrip(DecoderState& s) {
  if (!s.ready) return;
  if (!s.stripPending) {
    // The next buffer fetched begins the strip.
    s.br.taken = s.br.count;
    s.br.bits = 0;
    s.br.acc = 0;
  }
  s.stripPending = false;
  s.streamBase = 0;
  if (s.compression == formats::kCompTiled) s.activeCode = tiledCoding(s.info.compression);
  if (!isCcitt(s.activeCode) && !isRaw(s.activeCode)) s.activeCode = formats::kCompG4;
  resetCoding(s);
}

void decoderSkipTo(DecoderState& s, std::uint32_t line) {
  if (!s.ready || line <= s.lines) return;
  s.lines = std::min<std::uint32_t>(line, s.height);
  s.groupLeft = 0;  // thinning starts a new group
}

Status decoderResume(DecoderState& s, const ResumePoint& p) {
  if (!s.ready) return Status::NoContext;
  if (p.extra[0] != 0 && p.extra[0] != s.width) return Status::BadArgument;
  if (p.bitOffset > 7 || p.linesDecoded > s.height) return Status::BadArgument;
  int coding = s.compression == formats::kCompTiled ? tiledCoding(p.info.compression) : s.activeCode;
  if (!isCcitt(coding) && !isRaw(coding)) return Status::Unsupported;
  s.activeCode = coding;
  resetCoding(s);  // white reference line for 2-D codings
  if (isTwoD(coding) && p.refLine != nullptr) {
    // The saved line must be a strictly ascending list ending with the width.
    const std::uint32_t n = p.refLineBytes / 2;
    if (n == 0 || n > s.width + 1) return Status::BadArgument;
    std::uint32_t prev = 0;
    for (std::uint32_t i = 0; i < n; ++i) {
      const std::uint32_t v = p.refLine[i];
      if (v > s.width || (i != 0 && v <= prev) || (v == s.width && i != n - 1)) return Status::BadArgument;
      prev = v;
    }
    if (prev != s.width) return Status::BadArgument;
    std::memcpy(s.ref, p.refLine, n * 2);
    s.ref[n] = s.ref[n + 1] = static_cast<std::uint16_t>(s.width);
  }
  brStart(s.br, p.buffer.data, p.buffer.data != nullptr ? p.buffer.count : 0, p.bitOffset);
  s.info = p.info;
  s.streamBase = 0;
  s.stripPending = false;
  s.lines = p.linesDecoded;
  s.groupLeft = 0;
  s.patternPos = 0;
  return Status::Ok;
}

DecodeResult decodeLines(DecoderState& s) {
  if (!s.ready) return s.stickyResult == kUnsupported ? kUnsupported : kNoState;
  if (s.stickyResult >= 0) return static_cast<DecodeResult>(s.stickyResult);
  if (s.stripPending) decoderNewStrip(s);
  s.callStart = streamPosition(s);
  s.firstOfCall = true;
  DecodeResult result;
  for (;;) {
    if (s.lines >= s.endLine) {
      result = kAllDone;
      break;
    }
    if (detail::outputFull(s)) {
      result = kBandFull;
      break;
    }
    const Step st = decodeStep(s);
    if (st == Step::kLineDone) {
      finishLine(s);
      continue;
    }
    if (st == Step::kNeedInput) {
      const int r = fetch(s);
      if (r < 0) continue;
      result = static_cast<DecodeResult>(r);
      if (r == kUnsupported) s.stickyResult = r;
      break;
    }
    if (st == Step::kZeroMode && streamPosition(s) != s.callStart) {
      // Report the buffer once; a stall is meeting this again at once.
      result = kBufferUsed;
      break;
    }
    result = kCodingError;
    s.stickyResult = kCodingError;
    break;
  }
  s.lastResult = result;
  return result;
}

}  // namespace hv::engine
