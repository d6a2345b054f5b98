// Rendering an image rectangle at a scale and view rotation into bands that
// go to a blit target.
//
// Lines come from the file through a decoding context (strips, starting at
// the nearest checkpoint), tile by tile for tiled files, or straight from
// image memory. They are scaled into bands of at most kMaxBandBytes, each
// band is turned for the view rotation, inverted for an inverted view, and
// blitted at its place. Reduction ORs lines in the shown sense: lines of a
// file whose photometric flag is 1 are inverted before scaling, so that thin
// black lines survive any reduction.
#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "engine/ccitt_decode.h"
#include "engine/decode_context.h"
#include "engine/display.h"
#include "engine/display_math.h"
#include "engine/grx_codes.h"
#include "engine/line_cache.h"
#include "engine/render_rect.h"
#include "engine/render_scaler.h"
#include "engine/transform.h"

using namespace hv::engine;
using hv::Status;

namespace {

// Places bands of the scaled rectangle (outW x outH unrotated) on the device.
struct Placer {
  const GrxBlitTarget* target = nullptr;
  GrxRect display{};
  int rotation = 0;
  bool invert = false;
  GrxProgress progress = nullptr;
  std::uint32_t outW = 0, outH = 0;  // the whole scaled rectangle
  std::uint32_t sliceLeft = 0;       // unrotated column of the current slice
  std::uint32_t sliceWidth = 0;      // picture columns of the current slice
  std::vector<std::uint8_t> turned;
  bool cancelled = false;
  bool rotateFailed = false;

  void blit(GrxBand band) const {
    // Cut to the display rectangle.
    std::int32_t dl = std::max(band.left, display.left), dt = std::max(band.top, display.top);
    std::int32_t dr = std::min(band.left + band.width, display.right);
    std::int32_t db = std::min(band.top + band.height, display.bottom);
    if (dl >= dr || dt >= db) return;
    band.bits += std::size_t(dt - band.top) * band.rowBytes;
    band.skip += std::uint32_t(dl - band.left);
    band = GrxBand{dl, dt, dr - dl, db - dt, band.bits, band.rowBytes, band.skip};
    target->device->blit(target->device->user, band);
    if (target->second && target->second->blit) target->second->blit(target->second->user, band);
  }

  bool flush(std::uint8_t* bits, std::uint32_t rowBytes, std::uint32_t bandRows, std::uint32_t v0,
             std::uint32_t rows) {
    if (invert)
      for (std::size_t i = 0, n = std::size_t(rowBytes) * bandRows; i < n; ++i) bits[i] = std::uint8_t(~bits[i]);
    const std::int32_t DL = display.left, DT = display.top;
    const std::int32_t u0 = std::int32_t(sliceLeft), w = std::int32_t(sliceWidth);
    const std::int32_t W = std::int32_t(outW), H = std::int32_t(outH);
    const std::int32_t v = std::int32_t(v0), n = std::int32_t(rows);
    int angle = normalRotation(rotation) / 10;
    if (angle == 0) {
      blit({DL + u0, DT + v, w, n, bits, rowBytes, 0});
    } else {
      BandRotation r;
      r.angle = angle;
      r.source = bits;
      r.sourceRowBytes = rowBytes;
      r.sourceRows = bandRows;
      r.sourceWidth = sliceWidth;
      r.result = turned.data();
      r.resultSize = std::uint32_t(turned.size());
      if (rotateBand(r) != Status::Ok) {
        rotateFailed = true;
        return false;
      }
      const std::int32_t pad = std::int32_t(rowBytes * 8) - w;
      const std::uint8_t* out = turned.data();
      const std::uint32_t rb = r.resultRowBytes;
      const std::int32_t R = std::int32_t(bandRows);
      switch (angle) {
        case 90: blit({DL + v, DT + W - u0 - w, n, w, out + std::size_t(pad) * rb, rb, 0}); break;
        case 180:
          blit({DL + W - u0 - w, DT + H - v - n, w, n, out + std::size_t(R - n) * rb, rb, std::uint32_t(pad)});
          break;
        default: blit({DL + H - v - n, DT + u0, n, w, out, rb, std::uint32_t(R - n)}); break;
      }
    }
    if (progress) {
      std::uint32_t percent = std::uint32_t(std::min<std::uint64_t>(std::uint64_t(v0 + rows) * 100 / outH, 100));
      if (progress(GRX_PROGRESS_RENDER, 0, percent, 100) == 0) {
        cancelled = true;
        return false;
      }
    }
    return true;
  }
};

bool flushToPlacer(void* user, const std::uint8_t* band, std::uint32_t rowBytes, std::uint32_t bandRows,
                   std::uint32_t firstRow, std::uint32_t rows) {
  // The scaler clears the band after a flush, so the placer may work in it.
  return static_cast<Placer*>(user)->flush(const_cast<std::uint8_t*>(band), rowBytes, bandRows, firstRow, rows);
}

struct SliceJob {
  ImageHdl h;
  BandScaler* scaler;
  std::uint32_t left, top, right, bottom;  // image rectangle of the slice
  bool packed;                             // decode packed rows
  bool cached;                             // lines come through the handle's line cache
  bool invertLines;                        // the file's photometric flag is 1
};

Status renderFromMemory(const SliceJob& j) {
  const ImageMemory* mem = j.h->memory;
  for (std::uint32_t y = j.top; y < j.bottom; ++y) {
    if (j.scaler->skips(y - j.top)) continue;
    const Transition* line = getLine(mem, y);
    if (line == nullptr) continue;
    if (!j.scaler->addList(y - j.top, line, mem->width, -std::int64_t(j.left), false)) break;
  }
  return Status::Ok;
}

// Ok, NoContext when the decoder could not start, CodingError when the data
// is bad part-way (the lines before it are drawn).
Status renderFromStrips(const SliceJob& j) {
  RegionRequest req;
  req.firstLine = j.top;
  req.endLine = j.bottom;
  req.firstCol = j.left;
  req.endCol = j.right;
  req.bitmap = j.packed;
  req.maxOutputBytes = kMaxBandBytes;
  LineSink sink{[](void* u, std::uint32_t y, const std::uint16_t* list, const std::uint8_t* row) {
                  const auto* job = static_cast<const SliceJob*>(u);
                  if (y < job->top || y >= job->bottom) return true;
                  std::uint32_t sy = y - job->top;
                  if (list) return job->scaler->addList(sy, list, job->right - job->left, 0, job->invertLines);
                  return job->scaler->addRow(sy, row, job->invertLines);
                },
                const_cast<SliceJob*>(&j)};
  RegionOutcome outcome = decodeRegion(j.h, req, sink);
  j.h->decodeResult = outcome.decoderResult;
  if (outcome.status == Status::Ok || j.scaler->stopped()) return Status::Ok;
  if (outcome.linesDelivered == 0 && outcome.status == Status::NoContext) return Status::NoContext;
  // Group 4 "wrap" data commonly ends in a line error: the image ends there.
  if (outcome.status == Status::CodingError && j.h->record->compression == hv::formats::kCompG4Wrap)
    return Status::Ok;
  return Status::CodingError;
}

// Lines held by the handle's line cache (1:1 and magnified views of coded
// strips): each full-width list is cut to the slice's columns before it is
// scaled.
Status renderFromCache(const SliceJob& j) {
  LineCache* cache = lineCacheOf(j.h);
  if (cache == nullptr) return Status::NoContext;
  struct Cut {
    const SliceJob* job;
    std::vector<Transition> list;
  } cut{&j, {}};
  try {
    cut.list.resize(std::size_t(j.right - j.left) + 3);
  } catch (const std::bad_alloc&) {
    return Status::NoContext;
  }
  ListSink sink{[](void* u, std::uint32_t y, const Transition* list, std::size_t count) {
                  auto* c = static_cast<Cut*>(u);
                  const SliceJob& job = *c->job;
                  // Entries at or before the slice's left edge fix the colour
                  // there: black after an odd number of them.
                  const Transition* end = list + count - 1;
                  const Transition* k = std::upper_bound(list, end, Transition(job.left));
                  Transition* out = c->list.data();
                  if ((k - list) % 2 == 1) *out++ = 0;
                  for (; k != end && *k < job.right; ++k) *out++ = Transition(*k - job.left);
                  *out = Transition(job.right - job.left);
                  return job.scaler->addList(y - job.top, c->list.data(), job.right - job.left, 0, job.invertLines);
                },
                &cut};
  RegionOutcome outcome = cache->deliver(j.h, j.top, j.bottom, sink);
  j.h->decodeResult = outcome.decoderResult;
  if (outcome.status == Status::Ok || j.scaler->stopped()) return Status::Ok;
  if (outcome.linesDelivered == 0 && outcome.status == Status::NoContext) return Status::NoContext;
  return Status::CodingError;
}

// Tiles are decoded side by side, a band of lines at a time, each tile by its
// own decoder; the lines are built at the scaled width in a buffer bounded
// like a band, so neither a wide tile row nor a dense one is ever held whole.
Status renderFromTiles(const SliceJob& j) {
  const hv::formats::ImageFileRecord* rec = j.h->record;
  const hv::formats::TileReader& t = rec->tiles;
  if (t.width == 0 || t.length == 0 || t.across == 0) return Status::NoContext;
  BandScaler& scaler = *j.scaler;
  const std::uint32_t rowBytes = scaler.rowBytes();
  const std::uint32_t chunk = std::clamp<std::uint32_t>(kMaxBandBytes / rowBytes, 1, t.length);
  std::vector<std::uint8_t> rows;
  try {
    rows.assign(std::size_t(chunk) * rowBytes, 0);
  } catch (const std::bad_alloc&) {
    return Status::NoContext;
  }
  struct Gather {
    const SliceJob* job;
    std::uint8_t* rows;
    std::uint32_t rowBytes, firstY, endY, tileX, segmentWidth;
  };
  LineSink sink{[](void* u, std::uint32_t y, const std::uint16_t* list, const std::uint8_t*) {
                  const auto* g = static_cast<const Gather*>(u);
                  if (y < g->firstY || y >= g->endY || list == nullptr) return true;
                  const SliceJob& job = *g->job;
                  job.scaler->markList(g->rows + std::size_t(y - g->firstY) * g->rowBytes, list, g->segmentWidth,
                                       std::int64_t(g->tileX) - job.left, job.invertLines);
                  return true;
                },
                nullptr};
  const std::uint32_t firstCol = j.left / t.width;
  const std::uint32_t endCol = std::min<std::uint32_t>((j.right + t.width - 1) / t.width, t.across);
  for (std::uint32_t row = j.top / t.length; row * t.length < j.bottom && row < t.down; ++row) {
    std::uint32_t y0 = std::max(row * t.length, j.top);
    std::uint32_t y1 = std::min({(row + 1) * t.length, j.bottom, rec->height});
    TileRowDecoder tiles;
    if (!tiles.open(j.h, row * t.across + firstCol, endCol - firstCol)) return Status::NoContext;
    for (std::uint32_t cy = y0; cy < y1; cy += chunk) {
      const std::uint32_t ce = std::min(cy + chunk, y1);
      std::memset(rows.data(), 0, std::size_t(ce - cy) * rowBytes);
      bool failed = false;
      for (std::uint32_t col = firstCol; col < endCol && !failed; ++col) {
        Gather g{&j, rows.data(), rowBytes, cy, ce, col * t.width,
                 std::min<std::uint32_t>(t.width, rec->width - col * t.width)};
        sink.user = &g;
        RegionOutcome outcome = tiles.advance(col - firstCol, ce, sink);
        j.h->decodeResult = outcome.decoderResult;
        failed = outcome.status != Status::Ok;
      }
      // What was decoded is drawn, also when a tile failed.
      for (std::uint32_t y = cy; y < ce; ++y)
        if (!scaler.addScaledRow(y - j.top, rows.data() + std::size_t(y - cy) * rowBytes)) return Status::Ok;
      if (failed) return Status::CodingError;
    }
  }
  return Status::Ok;
}

}  // namespace

Status hv::engine::renderRect(const GrxBlitTarget* target, const GrxRect* display, ImageHdl h, const GrxRect* image,
                              const std::uint8_t scale[4], int rotation, int lineMode, GrxProgress progress) {
  if (h == nullptr) return Status::NoHandle;
  if (target == nullptr || target->device == nullptr || target->device->blit == nullptr || display == nullptr ||
      image == nullptr || scale == nullptr || h->record == nullptr)
    return Status::BadArgument;
  const unsigned xd = scale[0], xn = scale[1], yd = scale[2], yn = scale[3];
  if (xd == 0 || xn == 0 || yd == 0 || yn == 0) return Status::BadArgument;
  if (!isRightAngle(rotation)) return Status::BadRotation;
  const hv::formats::ImageFileRecord* rec = h->record;
  std::uint32_t width = rec->width, height = rec->height;
  bool fromMemory = h->memory != nullptr && (h->displayFromMemory || !hasFile(h));
  if (fromMemory) {
    width = h->memory->width;
    height = h->memory->height;
  } else if (!hasFile(h)) {
    return Status::NoContext;
  }
  // The image rectangle cut to the image; an empty one draws nothing.
  std::int64_t L = std::max<std::int64_t>(image->left, 0), T = std::max<std::int64_t>(image->top, 0);
  std::int64_t R = std::min<std::int64_t>(image->right, width), B = std::min<std::int64_t>(image->bottom, height);
  if (L >= R || T >= B || display->left >= display->right || display->top >= display->bottom) return Status::Ok;

  const bool reduces = xn > xd && yn > yd;
  const int compression = rec->compression;
  const bool raw = compression == hv::formats::kCompUncompressed || compression == hv::formats::kCompPackBits;
  SliceJob job{h, nullptr, 0, std::uint32_t(T), 0, std::uint32_t(B), false, false,
               !fromMemory && rec->photometric != 0};
  // Transition lists when reducing both ways from coded data; packed rows
  // otherwise, and always when one line's list could exceed the band bound.
  job.packed = lineMode != GRX_LINES_AUTOMATIC || !reduces || raw ||
               decoderMinListEntries(std::uint32_t(R - L)) * 2 > kMaxBandBytes;
  // Views that show every line they cover at least once (1:1, magnified)
  // keep the decoded lines for the next repaint.
  job.cached = !fromMemory && lineMode == GRX_LINES_AUTOMATIC && yn <= yd && B - T <= kLineCacheRequestLines &&
               servesLineCache(h);

  Placer placer;
  placer.target = target;
  placer.display = *display;
  placer.rotation = rotation;
  placer.invert = h->invert != 0;
  placer.progress = progress;
  placer.outW = toDisplay(std::uint64_t(R - L), xd, xn);
  placer.outH = toDisplay(std::uint64_t(B - T), yd, yn);

  // Very wide scaled rectangles go in slices of whole groups.
  const std::uint64_t sliceColumns = std::max<std::uint64_t>(
      std::uint64_t(kMaxBandPixels - 16) * xn / xd / xn * xn, xn);
  Status status = Status::Ok;
  for (std::int64_t left = L; left < R && status == Status::Ok; left += std::int64_t(sliceColumns)) {
    std::int64_t right = std::min<std::int64_t>(R, left + std::int64_t(sliceColumns));
    BandScaler scaler;
    ScalerGeometry g;
    g.sourceWidth = std::uint32_t(right - left);
    g.sourceHeight = std::uint32_t(B - T);
    g.xd = std::uint8_t(xd);
    g.xn = std::uint8_t(xn);
    g.yd = std::uint8_t(yd);
    g.yn = std::uint8_t(yn);
    g.thinLines = h->fastReduction != 0;
    if (!scaler.init(g, BandSink{flushToPlacer, &placer})) return Status::BandFailed;
    placer.sliceLeft = toDisplay(std::uint64_t(left - L), xd, xn);
    placer.sliceWidth = scaler.scaledWidth();
    if (normalRotation(rotation) != 0) {
      try {
        placer.turned.assign(std::size_t(scaler.rowBytes()) * scaler.bandRows(), 0);
      } catch (const std::bad_alloc&) {
        return Status::NoContext;
      }
    }
    job.scaler = &scaler;
    job.left = std::uint32_t(left);
    job.right = std::uint32_t(right);
    if (fromMemory) status = renderFromMemory(job);
    else if (rec->tiles.count != 0) status = renderFromTiles(job);
    else if (job.cached) status = renderFromCache(job);
    else status = renderFromStrips(job);
    // What was scaled goes out, also after a decoding error.
    if (!scaler.stopped()) scaler.finish();
    if (placer.cancelled) return Status::Stopped;
    if (placer.rotateFailed) return Status::BandFailed;
  }
  return status;
}

extern "C" int grxRenderRect(const GrxBlitTarget* target, const GrxRect* display, ImageHdl h, const GrxRect* image,
                             const std::uint8_t scale[4], int rotation, int lineMode, GrxProgress progress) {
  return toGrxCode(renderRect(target, display, h, image, scale, rotation, lineMode, progress));
}
