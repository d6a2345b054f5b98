#include "engine/wrap_region.h"

#include <algorithm>
#include <new>
#include <optional>
#include <vector>

#include "engine/ccitt_decode.h"
#include "engine/ccitt_wrap_raster.h"
#include "engine/packed.h"
#include "formats/strip_reader.h"

namespace hv::engine {

// Resume points of a continuous raster: slot k (1 to 31) holds the first
// point the reader offered on a line at or after k × spacing, where spacing
// is the checkpoint spacing of strip data. A point is kept once per open.
struct WrapMarks {
  std::uint32_t spacing = 1;
  std::optional<WrapResumePoint> slots[formats::kCheckpointSlots];
};

namespace {

constexpr std::uint32_t kReadBytes = 64 * 1024;

// The file's coded data, a piece at a time, from its beginning or from a
// byte of the stream (the strips' data end to end). The first piece may be
// read ahead, to tell the continuous form from the framed one, and is then
// handed out again.
class HandleSource {
 public:
  explicit HandleSource(ImageHdl h) : h_(h), piece_(kReadBytes) {
    formats::SeekRequest top{0, 0};
    formats::SeekResult where;
    formats::CodeBuffer buf{piece_.data(), 0, kReadBytes};
    int compression = 0;
    h_->filter->seek(h_->record, top, &buf, &info_, &compression, nullptr, 0, &where);
  }

  bool readFirst() {
    held_ = read();
    return held_;
  }
  const formats::CodeBuffer& current() const { return buf_; }

  static bool next(void* user, const std::uint8_t** data, std::uint32_t* count) {
    auto& s = *static_cast<HandleSource*>(user);
    if (s.held_) {
      s.held_ = false;
    } else if (!s.read()) {
      return false;
    }
    *data = s.buf_.data;
    *count = s.buf_.count;
    return true;
  }

  // Places the strip reader at the byte, without reading what lies before it.
  static bool seek(void* user, std::uint64_t byte) {
    auto& s = *static_cast<HandleSource*>(user);
    s.held_ = false;
    return formats::seekStripStream(s.h_->record, byte) == Status::Ok;
  }

 private:
  bool read() {
    buf_ = formats::CodeBuffer{piece_.data(), 0, kReadBytes};
    int compression = 0;
    const Status status = h_->filter->getCodeBuf(h_->record, &buf_, &info_, &compression);
    return (status == Status::Ok || status == Status::NewStrip) && buf_.count != 0;
  }

  ImageHdl h_;
  std::vector<std::uint8_t> piece_;
  formats::CodeBuffer buf_{};
  formats::CodeInfo info_{};
  bool held_ = false;
};

struct RegionSink {
  const RegionRequest* req;
  const LineSink* sink;
  std::vector<std::uint16_t> clipped;
  std::vector<std::uint8_t> row;
  std::uint32_t delivered = 0;
};

// The part [firstCol, endCol) of a full-width list, shifted to start at 0; a
// region that begins inside a black run starts with 0.
void clipList(const std::uint16_t* list, std::uint32_t first, std::uint32_t end, std::vector<std::uint16_t>& out) {
  out.clear();
  std::size_t i = 0;
  while (list[i] <= first && list[i] < end) ++i;
  if (i % 2 == 1) out.push_back(0);
  for (; list[i] < end; ++i) out.push_back(static_cast<std::uint16_t>(list[i] - first));
  out.push_back(static_cast<std::uint16_t>(end - first));
}

bool deliver(void* user, std::uint32_t y, const std::uint16_t* list, std::uint32_t /*entries*/) {
  auto& s = *static_cast<RegionSink*>(user);
  const RegionRequest& req = *s.req;
  if (y >= req.endLine) return false;
  if (y < req.firstLine) return true;
  clipList(list, req.firstCol, req.endCol, s.clipped);
  ++s.delivered;
  if (!req.bitmap) return s.sink->line(s.sink->user, y, s.clipped.data(), nullptr);
  const std::uint32_t regionWidth = req.endCol - req.firstCol;
  std::fill(s.row.begin(), s.row.end(), 0);
  listToBits(s.clipped.data(), regionWidth, s.row.data(), 0, regionWidth);
  return s.sink->line(s.sink->user, y, nullptr, s.row.data());
}

bool wantsPoint(void* user, std::uint32_t line) {
  const auto& m = *static_cast<const WrapMarks*>(user);
  const std::uint32_t k = line / m.spacing;
  return k >= 1 && k < formats::kCheckpointSlots && !m.slots[k].has_value();
}

void keepPoint(void* user, const WrapResumePoint& point) {
  auto& m = *static_cast<WrapMarks*>(user);
  m.slots[point.line / m.spacing] = point;
}

// The last point at or before `line`.
const WrapResumePoint* pointFor(const WrapMarks& m, std::uint32_t line) {
  for (std::uint32_t k = std::min<std::uint32_t>(line / m.spacing, formats::kCheckpointSlots - 1); k >= 1; --k)
    if (m.slots[k].has_value() && m.slots[k]->line <= line) return &*m.slots[k];
  return nullptr;
}

}  // namespace

bool decodeWrapRegion(ImageHdl h, const RegionRequest& request, const LineSink& sink, RegionOutcome& outcome) {
  formats::ImageFileRecord* rec = h->record;
  if (!hasFile(h) || h->filter->getCodeBuf == nullptr || h->filter->seek == nullptr) return false;
  HandleSource source(h);
  // Points are kept only for data already found to be a continuous raster.
  if (h->wrapMarks == nullptr) {
    if (!source.readFirst()) return false;
    if (!isContinuousWrap(source.current().data, source.current().count)) return false;
    h->wrapMarks = new (std::nothrow) WrapMarks;
    if (h->wrapMarks != nullptr) h->wrapMarks->spacing = formats::checkpointSpacing(rec->height);
  }
  const WrapResumePoint* start = h->wrapMarks ? pointFor(*h->wrapMarks, request.firstLine) : nullptr;
  WrapRecorder recorder{wantsPoint, keepPoint, h->wrapMarks};

  RegionSink s{&request, &sink, {}, {}};
  s.clipped.reserve(request.endCol - request.firstCol + 2);
  s.row.assign((request.endCol - request.firstCol + 7) / 8, 0);
  WrapLineSink lines{deliver, &s};
  const Status r = decodeWrapStream(WrapSource{HandleSource::next, HandleSource::seek, &source}, rec->width, rec->height, lines, start,
                                 h->wrapMarks ? &recorder : nullptr);
  outcome.linesDelivered = s.delivered;
  switch (r) {
    case Status::Ok:
    case Status::Stopped:
      outcome.status = Status::Ok;
      outcome.decoderResult = kAllDone;
      break;
    case Status::DataEnded:
      outcome.status = Status::Ok;
      outcome.decoderResult = kNoMoreData;
      break;
    default:
      outcome.status = Status::CodingError;
      outcome.decoderResult = kCodingError;
      break;
  }
  return true;
}

void freeWrapMarks(ImageHdl h) {
  if (h == nullptr) return;
  delete h->wrapMarks;
  h->wrapMarks = nullptr;
}

}  // namespace hv::engine
