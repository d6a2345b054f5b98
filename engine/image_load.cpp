// Loading a whole image into image memory.
//
// Image memory holds the drawing as it is shown: black runs are black. The
// decoder delivers lines in the coded sense (CCITT white runs, 0 bits of raw
// data), which is the shown sense when the photometric flag is 0; when it is
// 1 every line is inverted as it is stored.
#include <algorithm>
#include <vector>

#include "engine/ccitt_decode.h"
#include "engine/decode_context.h"
#include "engine/engine_alloc.h"
#include "engine/grx_codes.h"
#include "engine/image_handle.h"
#include "engine/image_load.h"
#include "engine/packed.h"

using namespace hv::engine;
using hv::Status;

namespace {

constexpr long kProgressLines = 128;

struct LoadTarget {
  ImageMemory* memory;
  bool invert;
  GrxProgress progress;
  long done = 0;
  bool failed = false;
  bool cancelled = false;
};

bool storeLine(LoadTarget& t, std::uint32_t y, const std::uint16_t* list) {
  if (y >= t.memory->height) return true;
  std::uint32_t width = t.memory->width;
  std::size_t n = listLength(list, width);
  bool ok;
  if (t.invert) {
    std::size_t out = invertList(list, width, t.memory->scratch, width + 2);
    ok = out != 0 && putLineCopy(t.memory, y, t.memory->scratch, out) == Status::Ok;
  } else {
    ok = putLineCopy(t.memory, y, list, n) == Status::Ok;
  }
  if (!ok) {
    t.failed = true;
    return false;
  }
  ++t.done;
  if (t.progress && t.done % kProgressLines == 0 && !t.progress(GRX_PROGRESS_LOAD, 0, t.done, t.memory->height)) {
    t.cancelled = true;
    return false;
  }
  return true;
}

// Tiles arrive left to right within a row of tiles; each tile's part of a
// line is appended to the line built so far.
struct TileRowBuilder {
  std::vector<std::vector<std::uint16_t>> lines;  // per line of the tile row: transitions so far
  std::vector<std::uint8_t> endsBlack;
  std::uint32_t tileX = 0;
  std::uint32_t firstY = 0;

  void reset(std::uint32_t rows, std::uint32_t y) {
    lines.assign(rows, {});
    endsBlack.assign(rows, 0);
    firstY = y;
  }

  void append(std::uint32_t y, const std::uint16_t* list, std::uint32_t segmentWidth) {
    std::uint32_t i = y - firstY;
    if (i >= lines.size()) return;
    auto& line = lines[i];
    bool black = endsBlack[i];
    std::size_t k = 0;
    // Every tile line starts white; continuing a black run needs no entry.
    if (list[0] == 0 && segmentWidth > 0) {
      if (!black) line.push_back(static_cast<std::uint16_t>(tileX));
      black = true;
      k = 1;
    } else if (black) {
      line.push_back(static_cast<std::uint16_t>(tileX));
      black = false;
    }
    for (; list[k] < segmentWidth; ++k) {
      line.push_back(static_cast<std::uint16_t>(tileX + list[k]));
      black = !black;
    }
    endsBlack[i] = black;
  }
};

Status loadTiled(ImageHdl h, LoadTarget& target) {
  const auto& t = h->record->tiles;
  TileRowBuilder builder;
  for (std::uint32_t row = 0; row < t.down; ++row) {
    std::uint32_t y0 = row * t.length;
    std::uint32_t rows = std::min<std::uint32_t>(t.length, h->record->height - y0);
    builder.reset(rows, y0);
    for (std::uint32_t col = 0; col < t.across; ++col) {
      builder.tileX = col * t.width;
      struct Ctx {
        TileRowBuilder* b;
        std::uint32_t width;
        std::vector<std::uint8_t> seen;
      } ctx{&builder, std::min<std::uint32_t>(t.width, h->record->width - builder.tileX),
            std::vector<std::uint8_t>(rows, 0)};
      LineSink sink{[](void* u, std::uint32_t y, const std::uint16_t* list, const std::uint8_t*) {
                      auto* c = static_cast<Ctx*>(u);
                      std::uint32_t i = y - c->b->firstY;
                      if (i < c->seen.size()) c->seen[i] = 1;
                      c->b->append(y, list, c->width);
                      return true;
                    },
                    &ctx};
      RegionOutcome outcome = decodeTile(h, row * t.across + col, sink);
      h->decodeResult = outcome.decoderResult;
      if (outcome.status != Status::Ok) return outcome.status;
      // Lines the tile's data did not reach are white in that tile.
      const std::uint16_t blank[1] = {static_cast<std::uint16_t>(ctx.width)};
      for (std::uint32_t i = 0; i < rows; ++i)
        if (!ctx.seen[i]) builder.append(y0 + i, blank, ctx.width);
    }
    std::uint32_t width = h->record->width;
    for (std::uint32_t i = 0; i < rows; ++i) {
      auto& line = builder.lines[i];
      // A run still black at the right edge ends at the terminator.
      line.push_back(static_cast<std::uint16_t>(width));
      if (!storeLine(target, y0 + i, line.data())) return target.cancelled ? Status::Stopped : Status::NoMemory;
    }
  }
  return Status::Ok;
}

}  // namespace

Status hv::engine::loadImageMemory(ImageHdl h, GrxProgress progress) {
  if (h == nullptr || h->record == nullptr || h->memory != nullptr) return Status::BadArgument;
  hv::formats::ImageFileRecord* rec = h->record;
  ImageMemory* mem = createUnfilledImageMemory(rec->width, rec->height);
  if (mem == nullptr) return Status::NoMemory;
  h->memory = mem;
  LoadTarget target{mem, rec->photometric != 0, progress};
  // Whatever happens, every line ends up with a list: lines the data did not
  // reach are blank.
  struct Complete {
    ImageMemory* mem;
    ~Complete() {
      if (completeImageMemory(mem) != Status::Ok) {
        // Out of memory for a blank list: keep the image consistent by
        // shortening it to the lines that exist.
        std::uint32_t n = 0;
        while (n < mem->height && mem->lines[n] != nullptr) ++n;
        mem->height = n;
      }
    }
  } complete{mem};
  if (rec->tiles.count != 0) {
    Status loaded = loadTiled(h, target);
    if (loaded == Status::Ok && progress) progress(GRX_PROGRESS_LOAD, 0, rec->height, rec->height);
    return loaded;
  }
  RegionRequest req;
  req.endLine = rec->height;
  req.endCol = rec->width;
  LineSink sink{[](void* u, std::uint32_t y, const std::uint16_t* list, const std::uint8_t*) {
                  return storeLine(*static_cast<LoadTarget*>(u), y, list);
                },
                &target};
  RegionOutcome outcome = decodeRegion(h, req, sink);
  h->decodeResult = outcome.decoderResult;
  if (target.failed) return Status::NoMemory;
  if (target.cancelled) return Status::Stopped;
  if (outcome.status != Status::Ok) {
    // Group 4 "wrap" data commonly ends in a line error: the image ends there.
    if (!(outcome.status == Status::CodingError && rec->compression == hv::formats::kCompG4Wrap))
      return outcome.status;
  }
  if (progress) progress(GRX_PROGRESS_LOAD, 0, rec->height, rec->height);
  return Status::Ok;
}

extern "C" int grxLoadImageMemory(ImageHdl h, GrxProgress progress) { return toGrxFlag(loadImageMemory(h, progress)); }
