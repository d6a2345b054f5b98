#include "engine/line_cache.h"

#include <algorithm>
#include <new>

#include "engine/ccitt_decode.h"
#include "formats/image_file.h"

namespace hv::engine {

namespace {

// Lines decoded above a scroll step that leaves the cache upwards, beyond
// those the step shows: the decoding starts at a checkpoint anyway, and the
// next few steps up then find their lines held.
constexpr std::uint32_t kLeadLines = 128;

std::size_t listCount(const Transition* list, std::uint32_t width) {
  std::size_t n = 0;
  while (list[n] < width) ++n;
  return n + 1;
}

RegionOutcome complete(int decoderResult) {
  RegionOutcome o;
  o.status = Status::Ok;
  o.decoderResult = decoderResult;
  return o;
}

}  // namespace

void LineCache::clear() {
  rows_.clear();
  bytes_ = 0;
  first_ = 0;
  failed_ = false;
}

bool LineCache::append(std::uint32_t width, std::uint32_t y, const Transition* list, std::size_t count) {
  // Lines a strip that ended early left out are blank.
  while (endLine() < y) {
    rows_.emplace_back(1, static_cast<Transition>(width));
    bytes_ += rowBytes(rows_.back());
  }
  rows_.emplace_back(list, list + count);
  bytes_ += rowBytes(rows_.back());
  return true;
}

bool LineCache::extendDown(ImageHdl h, std::uint32_t bottom) {
  const std::uint32_t width = h->record->width;
  if (!live_.active() || live_.nextLine() != endLine()) {
    if (!live_.open(h, endLine())) {
      failed_ = true;
      failure_ = RegionOutcome{};
      failure_.status = Status::NoContext;
      failure_.decoderResult = kNoState;
      return false;
    }
  }
  struct Fill {
    LineCache* cache;
    std::uint32_t width;
    bool full;
  } fill{this, width, false};
  LineSink sink{[](void* u, std::uint32_t y, const std::uint16_t* list, const std::uint8_t*) {
                  auto* f = static_cast<Fill*>(u);
                  f->cache->append(f->width, y, list, listCount(list, f->width));
                  f->full = f->cache->bytes_ > kLineCacheBytes;
                  return !f->full;
                },
                &fill};
  RegionOutcome outcome = live_.advance(bottom, sink);
  if (fill.full) return false;
  if (outcome.status != Status::Ok) {
    failed_ = true;
    failure_ = outcome;
    return false;
  }
  if (!live_.active() && endLine() < bottom) {
    // The data ends here: the lines below stay blank.
    dataEnd_ = endLine();
    dataEndResult_ = outcome.decoderResult;
  }
  return true;
}

bool LineCache::extendUp(ImageHdl h, std::uint32_t from) {
  const std::uint32_t width = h->record->width;
  std::deque<Row> above;
  std::size_t added = 0;
  struct Fill {
    std::deque<Row>* rows;
    std::size_t* added;
    std::uint32_t width, next;
    bool full;
  } fill{&above, &added, width, from, false};
  LineSink sink{[](void* u, std::uint32_t y, const std::uint16_t* list, const std::uint8_t*) {
                  auto* f = static_cast<Fill*>(u);
                  for (; f->next < y; ++f->next) {
                    f->rows->emplace_back(1, static_cast<Transition>(f->width));
                    *f->added += rowBytes(f->rows->back());
                  }
                  f->rows->emplace_back(list, list + listCount(list, f->width));
                  *f->added += rowBytes(f->rows->back());
                  ++f->next;
                  f->full = *f->added > kLineCacheBytes;
                  return !f->full;
                },
                &fill};
  RegionRequest req;
  req.firstLine = from;
  req.endLine = first_;
  req.endCol = width;
  RegionOutcome outcome = decodeRegion(h, req, sink);
  // Anything short of every line above (an error, a cut) starts afresh.
  if (fill.full || outcome.status != Status::Ok || above.size() != first_ - from) return false;
  for (auto it = above.rbegin(); it != above.rend(); ++it) rows_.push_front(std::move(*it));
  bytes_ += added;
  first_ = from;
  return true;
}

void LineCache::trim(std::uint32_t top, std::uint32_t bottom) {
  while (bytes_ > kLineCacheBytes && !rows_.empty()) {
    if (first_ < top) {
      bytes_ -= rowBytes(rows_.front());
      rows_.pop_front();
      ++first_;
    } else if (endLine() > bottom) {
      bytes_ -= rowBytes(rows_.back());
      rows_.pop_back();
      failed_ = false;
    } else {
      break;
    }
  }
}

RegionOutcome LineCache::decodeDirect(ImageHdl h, std::uint32_t top, std::uint32_t bottom, const ListSink& sink) {
  struct Pass {
    const ListSink* sink;
    std::uint32_t width;
  } pass{&sink, h->record->width};
  LineSink direct{[](void* u, std::uint32_t y, const std::uint16_t* list, const std::uint8_t*) {
                    auto* p = static_cast<Pass*>(u);
                    return p->sink->line(p->sink->user, y, list, listCount(list, p->width));
                  },
                  &pass};
  RegionRequest req;
  req.firstLine = top;
  req.endLine = bottom;
  req.endCol = h->record->width;
  return decodeRegion(h, req, direct);
}

bool LineCache::fill(ImageHdl h, std::uint32_t top, std::uint32_t bottom) {
  const std::uint32_t reach = formats::checkpointSpacing(h->record->height);
  // A request far from the lines held starts afresh; one just above them
  // decodes the lines between, one below lets the decoder run on.
  bool fresh = rows_.empty() || top > endLine() + reach || top + reach < first_ || bottom <= first_ ||
               (failed_ && top >= endLine());
  if (!fresh && top < first_) fresh = !extendUp(h, top > kLeadLines ? top - kLeadLines : 0);
  if (fresh) {
    clear();
    first_ = top;
  }
  // Each pass either reaches the bottom or drops lines held outside the
  // request; the request's own lines then either fit or never will.
  for (int pass = 0; pass < 3; ++pass) {
    const std::uint32_t want = std::min(bottom, dataEnd_);
    const bool reached = endLine() >= want || failed_ || extendDown(h, want);
    if (bytes_ > kLineCacheBytes) trim(top, bottom);
    if (bytes_ > kLineCacheBytes) return false;
    if (reached) return true;
  }
  return false;
}

RegionOutcome LineCache::deliver(ImageHdl h, std::uint32_t top, std::uint32_t bottom, const ListSink& sink) {
  if (!servesLineCache(h)) return RegionOutcome{};
  bottom = std::min(bottom, h->record->height);
  if (top >= bottom) return complete(kAllDone);
  if (tooDense_) return decodeDirect(h, top, bottom, sink);
  bool held = false;
  try {
    held = fill(h, top, bottom);
  } catch (const std::bad_alloc&) {
    // The decoder stopped inside a call: its place is unknown.
    held = false;
  }
  if (!held) {
    // The request's own lines are too many to hold: decode afresh from now on.
    clear();
    live_.close();
    tooDense_ = true;
    return decodeDirect(h, top, bottom, sink);
  }
  // Serve what is held; then report how the lines below it ended.
  const std::uint32_t end = std::min(bottom, endLine());
  for (std::uint32_t y = std::max(top, first_); y < end; ++y) {
    const Row& row = rows_[y - first_];
    if (!sink.line(sink.user, y, row.data(), row.size())) return complete(kAllDone);
  }
  if (end >= bottom) return complete(kAllDone);
  if (failed_) return failure_;
  return complete(dataEndResult_);
}

LineCache* lineCacheOf(ImageHdl h) {
  if (h == nullptr) return nullptr;
  if (h->lineCache == nullptr) h->lineCache = new (std::nothrow) LineCache;
  return h->lineCache;
}

void freeLineCache(ImageHdl h) {
  if (h == nullptr) return;
  delete h->lineCache;
  h->lineCache = nullptr;
}

bool servesLineCache(ImageHdl h) {
  if (!decodesStrips(h)) return false;
  switch (h->record->compression) {
    case formats::kCompG3OneD:
    case formats::kCompModHuffman:
    case formats::kCompG3TwoD:
    case formats::kCompG4: return true;
    default: return false;
  }
}

}  // namespace hv::engine
