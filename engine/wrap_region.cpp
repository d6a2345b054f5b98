#include "engine/wrap_region.h"

#include <algorithm>
#include <vector>

#include "engine/ccitt_decode.h"
#include "engine/ccitt_wrap_raster.h"
#include "engine/packed.h"

namespace hv::engine {
namespace {

constexpr std::uint32_t kReadBytes = 64 * 1024;

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

}  // namespace

bool decodeWrapRegion(ImageHdl h, const RegionRequest& request, const LineSink& sink, RegionOutcome& outcome) {
  formats::ImageFileRecord* rec = h->record;
  if (h->getCodeBuf == nullptr || h->seek == nullptr) return false;
  std::vector<std::uint8_t> coded;
  std::vector<std::uint8_t> piece(kReadBytes);
  formats::SeekRequest top{0, 0};
  formats::SeekResult where;
  formats::CodeBuffer buf{piece.data(), 0, kReadBytes};
  formats::CodeInfo info;
  int compression = 0;
  h->seek(rec, top, &buf, &info, &compression, nullptr, 0, &where);
  for (;;) {
    buf = formats::CodeBuffer{piece.data(), 0, kReadBytes};
    int status = h->getCodeBuf(rec, &buf, &info, &compression);
    if ((status != formats::kCodeOk && status != formats::kCodeNewStrip) || buf.count == 0) break;
    if (coded.empty() && !isContinuousWrap(buf.data, buf.count)) return false;
    coded.insert(coded.end(), buf.data, buf.data + buf.count);
  }
  if (coded.empty()) return false;

  RegionSink s{&request, &sink, {}, {}};
  s.clipped.reserve(request.endCol - request.firstCol + 2);
  s.row.assign((request.endCol - request.firstCol + 7) / 8, 0);
  WrapLineSink lines{deliver, &s};
  int r = decodeWrapRaster(coded.data(), coded.size(), rec->width, rec->height, lines);
  outcome.linesDelivered = s.delivered;
  switch (r) {
    case kWrapDone:
    case kWrapStopped:
      outcome.ok = true;
      outcome.decoderResult = kAllDone;
      break;
    case kWrapDataEnded:
      outcome.ok = true;
      outcome.decoderResult = kNoMoreData;
      break;
    default:
      outcome.ok = false;
      outcome.decoderResult = kCodingError;
      break;
  }
  return true;
}

}  // namespace hv::engine
