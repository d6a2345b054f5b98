#include "engine/decode_context.h"

#include <algorithm>
#include <memory>
#include <new>
#include <vector>

#include "engine/ccitt_decode.h"
#include "engine/engine_alloc.h"
#include "engine/wrap_region.h"
#include "formats/strip_reader.h"

namespace hv::engine {

struct DecodeContext {
  ImageHdl handle = nullptr;
  DecoderState state;
  std::vector<std::uint8_t> code;
  std::vector<std::uint16_t> work;
  std::vector<std::uint16_t> list;
  std::vector<std::uint8_t> band;
  std::vector<std::uint16_t> refLine;
};

namespace {

constexpr std::uint32_t kCodeBytes = 64 * 1024;
constexpr std::uint32_t kBandRows = 64;

Status fetch(void* ctx, formats::CodeBuffer* buffer, formats::CodeInfo* info) {
  auto* c = static_cast<DecodeContext*>(ctx);
  int compression = 0;
  Status status = c->handle->filter->getCodeBuf(c->handle->record, buffer, info, &compression);
  // A file that ends inside a strip simply has no more data.
  return status == Status::DataEnded ? Status::AllDelivered : status;
}

void checkpoint(void* ctx, const CheckpointInfo& cp) {
  auto* c = static_cast<DecodeContext*>(ctx);
  if (c->handle->filter->lineInfo == nullptr) return;
  c->handle->filter->lineInfo(c->handle->record, cp.linesDecoded, cp.bitPosition, cp.bufferBytes, cp.line, cp.lineBytes,
                      cp.extra);
}

// Hands the lines gathered in the output to the sink; false when it stops.
bool drain(DecodeContext& c, const RegionRequest& req, std::uint32_t regionWidth, std::uint32_t& nextY,
           const LineSink& sink, std::uint32_t& delivered) {
  DecoderState& st = c.state;
  if (!req.bitmap) {
    std::uint32_t pos = 0;
    while (pos < st.listPos) {
      const std::uint16_t* line = c.list.data() + pos;
      std::uint32_t n = 0;
      while (line[n] < regionWidth) ++n;
      pos += n + 1;
      ++delivered;
      if (!sink.line(sink.user, nextY++, line, nullptr)) return false;
    }
  } else {
    std::uint32_t rowBytes = st.out.rowBytes;
    for (std::uint32_t r = 0; r < st.outRow; ++r) {
      ++delivered;
      if (!sink.line(sink.user, nextY++, nullptr, c.band.data() + r * rowBytes)) return false;
    }
  }
  return true;
}

DecoderOutput makeOutput(DecodeContext& c, const RegionRequest& req, std::uint32_t regionWidth) {
  DecoderOutput out;
  if (req.bitmap) {
    out.form = OutputForm::kBitmap;
    out.rowBytes = (regionWidth + 7) / 8;
    out.bandRows = kBandRows;
    if (req.maxOutputBytes != 0)
      out.bandRows = std::clamp<std::uint32_t>(req.maxOutputBytes / std::max<std::uint32_t>(out.rowBytes, 1), 1, kBandRows);
    c.band.assign(static_cast<std::size_t>(out.rowBytes) * out.bandRows, 0);
    out.band = c.band.data();
  } else {
    out.form = OutputForm::kTransitions;
    std::uint32_t entries = req.maxOutputBytes != 0
                                ? std::max<std::uint32_t>(decoderMinListEntries(regionWidth), req.maxOutputBytes / 2)
                                : std::max<std::uint32_t>(decoderMinListEntries(regionWidth) * 4, 64 * 1024);
    c.list.assign(entries, 0);
    out.list = c.list.data();
    out.listCapacity = entries;
  }
  return out;
}

// A strip's first line is row strip x RowsPerStrip whatever the strip before
// it held: when that one ended early (cut data, a coding error, an empty
// strip) the rows it did not deliver are skipped and stay blank, rather than
// every later strip landing too high. Called with the output drained.
void skipToStripStart(DecodeContext& c, const RegionRequest& req, DecoderState& st, std::uint32_t& nextY) {
  const formats::StripReader& s = c.handle->record->strips;
  const std::uint64_t row = std::uint64_t(s.current) * s.rowsPerStrip;
  if (row <= st.lines) return;
  const std::uint32_t to = static_cast<std::uint32_t>(std::min<std::uint64_t>(row, req.endLine));
  const std::uint32_t from = std::max(st.lines, req.firstLine);
  if (to > from) nextY += to - from;
  decoderSkipTo(st, static_cast<std::uint32_t>(std::min<std::uint64_t>(row, 0xFFFFFFFFu)));
}

// One past the last row of a strip.
std::uint32_t stripEndRow(const DecodeContext& c, std::uint32_t strip) {
  const formats::StripReader& s = c.handle->record->strips;
  if (s.rowsPerStrip == 0) return 0xFFFFFFFFu;
  return static_cast<std::uint32_t>(std::min<std::uint64_t>((std::uint64_t(strip) + 1) * s.rowsPerStrip, 0xFFFFFFFFu));
}

// Drops the rest of the current strip; false when no strip follows.
bool leaveStrip(DecodeContext& c) {
  if (formats::leaveStrip(c.handle->record) != Status::Ok) return false;
  decoderNewStrip(c.state);
  return true;
}

// The Status of a decoder result that ends a region decode unfinished.
Status unfinished(int decoderResult) {
  switch (decoderResult) {
    case kCodingError: return Status::CodingError;
    case kNoState: return Status::NoContext;
    case kUnsupported: return Status::Unsupported;
    case kReadError: return Status::ReadFailed;
    default: return Status::Failed;
  }
}

// A decode that could not start: the decoder refused its parameters or its
// resume point.
RegionOutcome notStarted() {
  RegionOutcome outcome;
  outcome.status = Status::NoContext;
  outcome.decoderResult = kNoState;
  return outcome;
}

// Runs the decoder to the end of the region, handing lines to the sink.
RegionOutcome run(DecodeContext& c, const RegionRequest& req, std::uint32_t regionWidth, std::uint32_t firstY,
                  bool stripBoundariesRestart, const LineSink& sink) {
  RegionOutcome outcome;
  auto stop = [&outcome](Status status) {
    outcome.status = status;
    return outcome;
  };
  DecoderState& st = c.state;
  std::uint32_t nextY = firstY;
  const std::uint32_t regionEnd = st.endLine;
  // The strip whose data the decoder holds; none between leaving a strip and
  // the announcement of the next.
  constexpr std::uint32_t kNoStrip = 0xFFFFFFFFu;
  std::uint32_t strip = c.handle->record->strips.current;
  for (int idle = 0;;) {
    if (stripBoundariesRestart) st.endLine = strip == kNoStrip ? regionEnd : std::min(regionEnd, stripEndRow(c, strip));
    DecodeResult r = decodeLines(st);
    outcome.decoderResult = r;
    std::uint32_t before = outcome.linesDelivered;
    if (r == kBandFull || r == kAllDone || r == kNoMoreData || r == kCodingError || r == kCodeChanged) {
      if (!drain(c, req, regionWidth, nextY, sink, outcome.linesDelivered)) return stop(Status::Ok);
      decoderSetOutput(st, st.out);
    }
    switch (r) {
      case kBandFull: break;
      case kAllDone:
        // The strip's rows are all decoded: whatever else it codes is not
        // part of the image, and the next strip goes on.
        if (stripBoundariesRestart && st.lines < regionEnd && leaveStrip(c)) {
          strip = kNoStrip;
          break;
        }
        return stop(Status::Ok);
      case kNoMoreData: return stop(Status::Ok);
      case kBufferUsed: break;
      case kCodeChanged:
        if (!stripBoundariesRestart) return stop(unfinished(r));
        decoderNewStrip(st);
        strip = c.handle->record->strips.current;
        skipToStripStart(c, req, st, nextY);
        break;
      default: return stop(unfinished(r));
    }
    // Guard against a decoder that neither delivers nor ends.
    idle = outcome.linesDelivered == before && r != kBufferUsed && r != kCodeChanged ? idle + 1 : 0;
    if (idle > 4) return stop(unfinished(r));
  }
}

// Buffers are sized to the data and the region, so that many small tiles or
// strips cost little each.
std::unique_ptr<DecodeContext> openContext(ImageHdl h, int compression, std::uint32_t width, std::uint32_t height,
                                           const RegionRequest& req, std::uint32_t interval, std::uint64_t codedBytes,
                                           DecoderParams& p) {
  auto c = std::make_unique<DecodeContext>();
  c->handle = h;
  std::uint32_t codeBytes = static_cast<std::uint32_t>(std::clamp<std::uint64_t>(codedBytes, 64, kCodeBytes));
  c->code.resize(codeBytes);
  c->work.assign(decoderWorkEntries(width), 0);
  std::uint32_t regionWidth = std::min(req.endCol, width) - std::min(req.firstCol, width);
  p.compression = compression;
  p.width = static_cast<std::uint16_t>(width);
  p.height = static_cast<std::uint16_t>(height);
  p.firstCol = req.firstCol;
  p.endCol = req.endCol;
  p.firstLine = req.firstLine;
  p.endLine = req.endLine;
  p.output = makeOutput(*c, req, regionWidth);
  p.thinLines = req.thinLines;
  p.reduceFrom = req.reduceFrom;
  p.reduceTo = req.reduceTo;
  p.checkpointInterval = interval;
  p.source.getCodeBuf = fetch;
  p.source.lineInfo = interval ? checkpoint : nullptr;
  p.source.ctx = c.get();
  p.codeBuffer = c->code.data();
  p.codeBufferCapacity = codeBytes;
  p.work = c->work.data();
  p.workEntries = static_cast<std::uint32_t>(c->work.size());
  return c;
}

// Sets up one tile decoded as an image of its own: seeks the tile reader to
// its first byte, clips its region to the image and opens its decoder, with
// a code buffer of at most codeBytes and list output for outputLines lines.
// False when the tile lies outside the image or the decoder cannot start.
bool setUpTile(ImageHdl h, std::uint32_t index, std::uint32_t codeBytes, std::uint32_t outputLines,
               std::unique_ptr<DecodeContext>& context, RegionRequest& req, std::uint32_t& tileY) {
  formats::ImageFileRecord* rec = h->record;
  const formats::TileReader& t = rec->tiles;
  if (index >= t.count || t.width == 0 || t.length == 0 || t.across == 0) return false;
  const std::uint32_t tileX = (index % t.across) * t.width;
  tileY = (index / t.across) * t.length;
  if (tileX >= rec->width || tileY >= rec->height) return false;
  formats::SeekRequest want{static_cast<std::int32_t>(tileX), static_cast<std::int32_t>(tileY)};
  formats::SeekResult where;
  formats::CodeBuffer buf{nullptr, 0, 0};
  formats::CodeInfo info;
  int compression = 0;
  h->filter->seek(rec, want, &buf, &info, &compression, nullptr, 0, &where);
  req = RegionRequest{};
  req.endCol = std::min<std::uint32_t>(t.width, rec->width - tileX);
  req.endLine = std::min<std::uint32_t>(t.length, rec->height - tileY);
  req.maxOutputBytes = decoderMinListEntries(req.endCol) * outputLines * sizeof(std::uint16_t);
  DecoderParams p;
  const int code = t.compressions.empty() ? rec->sourceCompression : t.compressions[index];
  context = openContext(h, code, t.width, t.length, req, 0, std::min(t.byteCounts[index], codeBytes), p);
  return decoderInit(context->state, p) == Status::Ok;
}

// Delivers a tile's lines with their image line numbers.
struct ShiftedSink {
  const LineSink* sink;
  std::uint32_t dy;
  LineSink get() {
    return {[](void* u, std::uint32_t y, const std::uint16_t* list, const std::uint8_t* row) {
              auto* s = static_cast<ShiftedSink*>(u);
              return s->sink->line(s->sink->user, y + s->dy, list, row);
            },
            this};
  }
};

}  // namespace

namespace {

// Sets up a decoding of the strip image's region `req` (already clipped to
// the image) from the last checkpoint at or before its first line. Null when
// the decoder refuses its parameters or its resume point.
std::unique_ptr<DecodeContext> openRegion(ImageHdl h, const RegionRequest& req) {
  formats::ImageFileRecord* rec = h->record;
  DecoderParams p;
  std::uint64_t coded = 0;
  for (std::uint32_t n : rec->strips.byteCounts) coded = std::max<std::uint64_t>(coded, n);
  auto c = openContext(h, rec->compression, rec->width, rec->height, req, formats::checkpointSpacing(rec->height),
                       coded, p);
  if (decoderInit(c->state, p) != Status::Ok) return nullptr;
  if (h->filter->seek == nullptr) return c;
  // Position at the last checkpoint at or before the region's first line.
  formats::SeekRequest want{static_cast<std::int32_t>(req.firstCol), static_cast<std::int32_t>(req.firstLine)};
  formats::SeekResult where;
  formats::CodeBuffer buf{c->code.data(), 0, static_cast<std::uint32_t>(c->code.size())};
  formats::CodeInfo info;
  int compression = 0;
  c->refLine.assign(rec->width + 4, 0);
  h->filter->seek(rec, want, &buf, &info, &compression, c->refLine.data(), static_cast<std::uint32_t>(c->refLine.size()),
                  &where);
  const std::uint32_t startY = static_cast<std::uint32_t>(std::max(where.originY, 0));
  if (startY > 0 || where.bits.bitsAvailable != 0) {
    ResumePoint point;
    point.buffer = buf;
    point.info = info;
    point.bitOffset = where.bits.bitsAvailable ? static_cast<std::uint32_t>(8 - where.bits.bitsLeft) : 0;
    point.linesDecoded = startY;
    if (where.restoredRefLine) {
      point.refLine = c->refLine.data();
      std::uint32_t n = 0;
      while (n < c->refLine.size() && c->refLine[n] < rec->width) ++n;
      point.refLineBytes = (n + 1) * 2;
    }
    std::copy(where.wrap + 1, where.wrap + 6, point.extra);
    if (decoderResume(c->state, point) != Status::Ok) return nullptr;
  }
  return c;
}

}  // namespace

bool decodesStrips(ImageHdl h) {
  return hasFile(h) && h->record != nullptr && h->filter->getCodeBuf != nullptr && h->record->tiles.count == 0;
}

namespace {

// A decoder that stops between calls while others read the same record:
// the record's reader is shared, so it is put back where this decoder's data
// stopped before each call, and where it stopped is noted after.
struct ParkedDecoder {
  std::unique_ptr<DecodeContext> context;
  RegionRequest request;
  formats::ReaderPosition position;

  // Continues up to line `endLine` (the decoder's own numbering), the next
  // line being `from`; the other arguments are run's.
  RegionOutcome resume(formats::ImageFileRecord* record, std::uint32_t endLine, std::uint32_t from,
                       bool stripBoundariesRestart, const LineSink& sink) {
    formats::restoreReaderPosition(record, position);
    context->state.endLine = endLine;
    RegionOutcome outcome = run(*context, request, request.endCol, from, stripBoundariesRestart, sink);
    position = formats::readerPosition(record);
    return outcome;
  }
};

}  // namespace

RegionOutcome decodeRegion(ImageHdl h, const RegionRequest& request, const LineSink& sink) {
  RegionOutcome failed;
  if (!decodesStrips(h)) return failed;
  formats::ImageFileRecord* rec = h->record;
  RegionRequest req = request;
  req.endLine = std::min(req.endLine, rec->height);
  req.endCol = std::min(req.endCol, rec->width);
  if (req.firstLine >= req.endLine || req.firstCol >= req.endCol) {
    failed.status = Status::Ok;
    return failed;
  }
  if (rec->compression == formats::kCompG4Wrap) {
    // Wrap data written as one continuous raster is read by its own reader.
    RegionOutcome wrapped;
    if (decodeWrapRegion(h, req, sink, wrapped)) return wrapped;
  }
  auto c = openRegion(h, req);
  if (c == nullptr) return notStarted();
  return run(*c, req, req.endCol - req.firstCol, req.firstLine, true, sink);
}

struct StripRowDecoder::State : ParkedDecoder {};

StripRowDecoder::StripRowDecoder() = default;
StripRowDecoder::~StripRowDecoder() = default;

bool StripRowDecoder::open(ImageHdl h, std::uint32_t line) {
  state_.reset();
  finished_ = false;
  h_ = h;
  next_ = line;
  if (!decodesStrips(h) || line >= h->record->height) return false;
  try {
    auto s = std::make_unique<State>();
    s->request.firstLine = line;
    s->request.endLine = line + 1;
    s->request.endCol = h->record->width;
    s->context = openRegion(h, s->request);
    if (s->context == nullptr) return false;
    s->position = formats::readerPosition(h->record);
    state_ = std::move(s);
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

void StripRowDecoder::close() { state_.reset(); }

RegionOutcome StripRowDecoder::advance(std::uint32_t endLine, const LineSink& sink) {
  RegionOutcome done;
  done.status = Status::Ok;
  done.decoderResult = kAllDone;
  if (state_ == nullptr) {
    if (!finished_) done.status = Status::Failed;
    return done;
  }
  endLine = std::min(endLine, h_->record->height);
  if (endLine <= next_) return done;
  state_->request.endLine = endLine;
  struct Counted {
    const LineSink* sink;
    std::uint32_t* next;
  } counted{&sink, &next_};
  LineSink counting{[](void* u, std::uint32_t y, const std::uint16_t* list, const std::uint8_t* row) {
                      auto* k = static_cast<Counted*>(u);
                      *k->next = y + 1;
                      return k->sink->line(k->sink->user, y, list, row);
                    },
                    &counted};
  RegionOutcome outcome = state_->resume(h_->record, endLine, next_, true, counting);
  if (outcome.status != Status::Ok || next_ < endLine) {
    // An error, or the data ended: nothing more comes from this decoder.
    finished_ = outcome.status == Status::Ok;
    state_.reset();
  }
  return outcome;
}

RegionOutcome decodeTile(ImageHdl h, std::uint32_t tileIndex, const LineSink& sink) {
  RegionOutcome failed;
  if (!hasFile(h) || h->record == nullptr || h->record->tiles.count == 0 || h->filter->seek == nullptr) return failed;
  std::unique_ptr<DecodeContext> c;
  RegionRequest req;
  std::uint32_t tileY = 0;
  // Output room for a few of the tile's lines: an image may have many small
  // tiles, and the buffer is drained whenever it fills.
  if (!setUpTile(h, tileIndex, 0xFFFFFFFFu, 8, c, req, tileY)) {
    return c != nullptr ? notStarted() : failed;
  }
  ShiftedSink shifted{&sink, tileY};
  return run(*c, req, req.endCol, 0, false, shifted.get());
}

struct TileRowDecoder::Tile : ParkedDecoder {
  std::uint32_t index = 0, tileY = 0;
  bool finished = false;
  RegionOutcome last;
};

TileRowDecoder::TileRowDecoder() = default;
TileRowDecoder::~TileRowDecoder() = default;

bool TileRowDecoder::open(ImageHdl h, std::uint32_t firstTile, std::uint32_t count) {
  tiles_.clear();
  h_ = h;
  if (!hasFile(h) || h->record == nullptr || h->record->tiles.count == 0 || h->filter->seek == nullptr) return false;
  const formats::ImageFileRecord* rec = h->record;
  const formats::TileReader& t = rec->tiles;
  if (t.across == 0) return false;
  constexpr std::uint32_t kTileCodeBytes = 4096;
  try {
    for (std::uint32_t k = 0; k < count; ++k) {
      const std::uint32_t index = firstTile + k;
      if (index / t.across != firstTile / t.across) return false;
      auto tile = std::make_unique<Tile>();
      tile->index = index;
      // Room for two of the tile's lines (the output is drained at every
      // band) and a small code buffer: many tiles are open at once.
      if (!setUpTile(h, index, kTileCodeBytes, 2, tile->context, tile->request, tile->tileY)) return false;
      tile->position = formats::readerPosition(rec);
      tiles_.push_back(std::move(tile));
    }
  } catch (const std::bad_alloc&) {
    tiles_.clear();
    return false;
  }
  return true;
}

RegionOutcome TileRowDecoder::advance(std::uint32_t i, std::uint32_t endLine, const LineSink& sink) {
  RegionOutcome done;
  done.status = Status::Ok;
  done.decoderResult = kAllDone;
  if (i >= tiles_.size()) return RegionOutcome{};
  Tile& tile = *tiles_[i];
  if (tile.finished) return tile.last;
  DecoderState& st = tile.context->state;
  const std::uint32_t want = std::min(endLine > tile.tileY ? endLine - tile.tileY : 0, tile.request.endLine);
  if (want <= st.lines) return done;
  ShiftedSink shifted{&sink, tile.tileY};
  RegionOutcome outcome = tile.resume(h_->record, want, st.lines, false, shifted.get());
  if (outcome.status != Status::Ok || st.lines < want || st.lines >= tile.request.endLine) {
    // An error, the end of the tile's data, or the tile's last line.
    tile.finished = true;
    tile.last = outcome;
    tile.context.reset();
  }
  return outcome;
}

}  // namespace hv::engine
