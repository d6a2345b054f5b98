#include "formats/tiled_write.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <unistd.h>
#include <vector>

#include "formats/cals1_header.h"
#include "formats/cals1_layout.h"
#include "formats/cals2_template.h"
#include "formats/edmics_layout.h"
#include "formats/fm_messages.h"
#include "formats/format_tables.h"
#include "formats/strip_reader.h"
#include "platform/exe_dir.h"
#include "platform/file_io.h"

namespace hv::formats {
namespace {

struct TileOut {
  std::uint64_t at = 0;     // CALS Type 2: in the tile file; EDMICS VI: in the output
  std::uint64_t bytes = 0;
  std::uint8_t type = kTileGroup4;
};

struct TiledWriter {
  std::uint32_t across = 0, down = 0, count = 0;
  std::uint32_t current = 0xFFFFFFFF;
  std::uint32_t done = 0;
  std::vector<TileOut> tiles;
  std::uint64_t end = 0;     // where the next tile's bytes go
  int tileFd = -1;           // CALS Type 2: the tiles collected before the stream is laid out
  std::string tilePath;
  std::string templatePath;
  bool error = false;
  ~TiledWriter() {
    if (tileFd >= 0) platform::closeFile(tileFd);
    if (!tilePath.empty()) ::unlink(tilePath.c_str());
  }
};

TiledWriter* writerOf(ImageFileRecord* r) { return static_cast<TiledWriter*>(r->writerState); }
void freeWriter(void* p) { delete static_cast<TiledWriter*>(p); }

Status failWrite(ImageFileRecord* r, int message = kMsgUnableToWrite, const char* arg = nullptr) {
  if (TiledWriter* w = writerOf(r)) w->error = true;
  report(kWarning, message, arg ? arg : r->path);
  return Status::WriteFailed;
}

TiledWriter* newWriter(ImageFileRecord* r, const ImageSpecs* specs) {
  auto* w = new (std::nothrow) TiledWriter;
  if (w == nullptr) return nullptr;
  w->across = (specs->width + kWriteTileSide - 1) / kWriteTileSide;
  w->down = (specs->height + kWriteTileSide - 1) / kWriteTileSide;
  w->count = w->across * w->down;
  w->tiles.resize(w->count);
  r->writerState = w;
  r->freeWriterState = freeWriter;
  r->width = specs->width;
  r->height = specs->height;
  r->bitsPerPixel = 1;
  r->fillOrder = 0;
  r->photometric = 0;
  r->xResolution = r->yResolution = resolveResolution(specs->xResolution);
  return w;
}

bool validSpecs(const ImageSpecs* specs, int filter) {
  return specs != nullptr && specs->filter == static_cast<std::uint32_t>(filter) && specs->bitsPerPixel == 1 &&
         specs->width >= 1 && specs->height >= 1 && specs->width <= 65535 && specs->height <= 65535;
}

void le16(std::uint8_t* p, std::uint32_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}

// EDMICS VI: the 4-byte index entry of a finished tile.
Status writeIndexEntry(ImageFileRecord* r, std::uint32_t i, const TileOut& t) {
  std::uint8_t e[edm6::kEntryBytes] = {static_cast<std::uint8_t>(i & 0xFF),
                                       static_cast<std::uint8_t>(t.type == kTileUncompressed ? 1 : 0), 0, 0};
  le16(e + 2, static_cast<std::uint32_t>(t.bytes));
  return writeBytesAt(r->fd, e, sizeof e, static_cast<std::int64_t>(r->headerOffset) + edm6::kHeaderBytes +
                                                   static_cast<std::int64_t>(i) * edm6::kEntryBytes);
}

// CALS Type 2: lays out the ODA stream after the header block.
Status finishCals2(ImageFileRecord* r, TiledWriter* w) {
  Cals2Layout layout;
  layout.width = r->width;
  layout.height = r->height;
  layout.resolution = r->xResolution;
  layout.tileSide = kWriteTileSide;
  layout.pelPathAngle = r->pelPath * 90;
  layout.lineProgressionAngle = r->lineProgression * 90;
  for (const TileOut& t : w->tiles) layout.tiles.push_back({t.type, t.at, t.bytes});
  std::vector<Cals2Node> tree;
  if (Status loaded = loadCals2Template(w->templatePath, tree); loaded != Status::Ok) return loaded;  // reported
  std::int64_t at = static_cast<std::int64_t>(r->headerOffset) + cals::kHeaderBytes;
  return writeCals2Stream(tree, layout, w->tileFd, r->fd, at);
}

}  // namespace

Status cals2WriteSpecs(ImageFileRecord* r, const ImageSpecs* specs, const void* params, std::uint32_t size) {
  using namespace cals;
  if (r == nullptr || params == nullptr || size != sizeof(Cals2WriteParams) || !r->openedForWriting || r->fd < 0 ||
      !validSpecs(specs, kFilterCals2))
    return Status::Failed;
  Cals2WriteParams p;
  std::memcpy(&p, params, sizeof p);
  TiledWriter* w = newWriter(r, specs);
  if (w == nullptr) return Status::Failed;
  w->templatePath = p.templatePath ? p.templatePath : platform::findShippedFile("d1.cal");
  if (w->templatePath.empty()) w->templatePath = "d1.cal";
  r->compression = kCompG4;
  r->pelPath = p.pelPath & 3;
  r->lineProgression = p.lineProgression & 3;
  char block[kBlockBytes];
  startBlock(block, p.header);
  setRasterRecords(block, r->pelPath, r->lineProgression, r->width, r->height, r->xResolution, 2);
  // The tiles are collected in a file of their own beside the output.
  std::string tmpl = std::string(r->path) + ".tilesXXXXXX";
  std::vector<char> name(tmpl.begin(), tmpl.end());
  name.push_back('\0');
  w->tileFd = ::mkstemp(name.data());
  if (w->tileFd < 0) return failWrite(r);
  w->tilePath = name.data();
  Status written = r->prefix.empty() ? Status::Ok : writeBytesAt(r->fd, r->prefix.data(), r->prefix.size(), 0);
  if (written == Status::Ok) written = writeBytesAt(r->fd, block, kHeaderBytes, r->headerOffset);
  return written == Status::Ok ? Status::Ok : failWrite(r);
}

Status edm6WriteSpecs(ImageFileRecord* r, const ImageSpecs* specs, const void* params, std::uint32_t size) {
  using namespace edm6;
  if (r == nullptr || !r->openedForWriting || r->fd < 0 || !validSpecs(specs, kFilterEdmics6)) return Status::Failed;
  Edm6WriteParams p;
  if (params != nullptr && size == sizeof p) std::memcpy(&p, params, sizeof p);
  // The width is kept in bytes: at most 65535 of them, and so any width.
  TiledWriter* w = newWriter(r, specs);
  if (w == nullptr) return Status::Failed;
  r->compression = kCompTiled;
  std::uint8_t h[kHeaderBytes] = {};
  const std::uint32_t dataAt = static_cast<std::uint32_t>(kHeaderBytes + kEntryBytes * w->count);
  le16(h + kIndexOffsetAt, kHeaderBytes);
  le16(h + kHeightAt, r->height);
  le16(h + kWidthBytesAt, (r->width + 7) / 8);
  h[kDataOffsetAt] = static_cast<std::uint8_t>(dataAt >> 24);
  h[kDataOffsetAt + 1] = static_cast<std::uint8_t>(dataAt >> 16);
  h[kDataOffsetAt + 2] = static_cast<std::uint8_t>(dataAt >> 8);
  h[kDataOffsetAt + 3] = static_cast<std::uint8_t>(dataAt);
  h[kTileCountAt] = static_cast<std::uint8_t>(w->count <= kSmallTileCount ? w->count : 0);
  le16(h + kVersionAt, kVersion);
  h[kIndexKindAt] = w->count <= kSmallTileCount ? kSmallIndex : kLargeIndex;
  // The resolution is kept (0 would read back as 200).
  le16(h + kResolutionAt, r->xResolution);
  if (p.card != nullptr) {
    std::size_t n = std::min<std::size_t>(std::strlen(p.card), kCardBytes);
    std::memset(h + kCardAt, ' ', kCardBytes);
    std::memcpy(h + kCardAt, p.card, n);
  }
  std::vector<std::uint8_t> index(static_cast<std::size_t>(kEntryBytes) * w->count, 0);
  Status written = r->prefix.empty() ? Status::Ok : writeBytesAt(r->fd, r->prefix.data(), r->prefix.size(), 0);
  if (written == Status::Ok) written = writeBytesAt(r->fd, h, sizeof h, r->headerOffset);
  if (written == Status::Ok && !index.empty())
    written = writeBytesAt(r->fd, index.data(), index.size(), r->headerOffset + kHeaderBytes);
  w->end = dataAt;
  return written == Status::Ok ? Status::Ok : failWrite(r);
}

Status tiledWriteBegin(ImageFileRecord* r, const StripDesc* desc) {
  TiledWriter* w = r ? writerOf(r) : nullptr;
  if (w == nullptr || w->error || desc == nullptr || desc->left >= r->width || desc->top >= r->height) return Status::Failed;
  std::uint32_t i = desc->top / kWriteTileSide * w->across + desc->left / kWriteTileSide;
  if (i >= w->count) return Status::Failed;
  w->current = i;
  w->tiles[i].at = w->end;
  w->tiles[i].bytes = 0;
  return Status::Ok;
}

// The whole bytes of the buffer go out; a partial byte stays (the write-codes
// contract); write-end completes it.
Status tiledWriteCodes(ImageFileRecord* r, WriteCodeBuffer* codes) {
  TiledWriter* w = r ? writerOf(r) : nullptr;
  if (w == nullptr || w->error || codes == nullptr || w->current >= w->count) return Status::Failed;
  std::uint32_t whole = codes->bitCount / 8;
  bool cals = r->filter == kFilterCals2;
  std::int64_t at = cals ? static_cast<std::int64_t>(w->end)
                         : static_cast<std::int64_t>(r->headerOffset) + static_cast<std::int64_t>(w->end);
  if (whole != 0 && writeBytesAt(cals ? w->tileFd : r->fd, codes->data, whole, at) != Status::Ok) return failWrite(r);
  w->end += whole;
  w->tiles[w->current].bytes += whole;
  keepPartialByte(codes);
  return Status::Ok;
}

Status tiledWriteEnd(ImageFileRecord* r, const StripDesc* /*desc*/) {
  TiledWriter* w = r ? writerOf(r) : nullptr;
  if (w == nullptr || w->error || w->current >= w->count) return Status::Failed;
  TileOut& t = w->tiles[w->current];
  t.type = r->compression == kCompUncompressed ? kTileUncompressed : kTileGroup4;
  if (r->filter == kFilterEdmics6) {
    // The index holds a tile's size in 16 bits; the caller stores a tile
    // whose code would not fit uncompressed instead.
    if (t.bytes > edm6::kMaxTileBytes) return failWrite(r, kMsgCompressTile, r->path);
    if (writeIndexEntry(r, w->current, t) != Status::Ok) return failWrite(r);
  } else if (t.type != kTileGroup4) {
    return failWrite(r, kMsgNoUncompressedTiles, nullptr);
  }
  ++w->done;
  w->current = 0xFFFFFFFF;
  if (w->done < w->count) return Status::Ok;
  // Every tile is there: complete the file and make it durable.
  if (r->filter == kFilterCals2 && finishCals2(r, w) != Status::Ok) {
    w->error = true;
    return Status::Failed;
  }
  if (::fsync(r->fd) != 0) return failWrite(r);
  return Status::Ok;
}

}  // namespace hv::formats
