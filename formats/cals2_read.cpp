#include "formats/cals2_read.h"

#include <algorithm>
#include <fcntl.h>

#include "formats/ber_walker.h"
#include "formats/fm_messages.h"
#include "formats/open_mode.h"
#include "formats/record_open.h"
#include "formats/format_tables.h"
#include "formats/info_format.h"
#include "formats/strip_reader.h"
#include "formats/tiff_read.h"
#include "formats/tiled_write.h"
#include "platform/file_io.h"

namespace hv::formats {
namespace {

constexpr std::uint32_t kMaxTiles = 65535;
constexpr std::uint32_t kBasicUnitsPerInch = 1200;

std::int64_t streamStart(int fd, std::uint32_t headerOffset) {
  std::uint8_t first = 0;
  if (platform::readAt(fd, &first, 1, headerOffset) == 1 && first == kOdaFirstByte) return headerOffset;
  return static_cast<std::int64_t>(headerOffset) + kCals2StreamOffset;
}

// Reads `count` INTEGER elements from [at, at + bytes); stops early at
// anything else. Values that do not fit `maxValue` stop the reading too.
std::vector<std::int64_t> readIntegerList(ber::Source& src, std::int64_t at, std::int64_t bytes, std::uint32_t count,
                                          std::int64_t maxValue) {
  std::vector<std::int64_t> out;
  std::int64_t pos = at, end = at + bytes;
  ber::Header h;
  while (out.size() < count && pos < end && ber::readHeader(src, pos, end, h) == Status::Ok) {
    if (h.constructed || h.indefinite || h.length < 1 || h.length > 8 ||
        h.length > static_cast<std::uint64_t>(end - pos - h.headerBytes))
      break;
    std::uint8_t v[8];
    if (src.read(pos + h.headerBytes, v, static_cast<std::size_t>(h.length)) != Status::Ok) break;
    const Result<std::int64_t> value = ber::integerValue(v, static_cast<std::size_t>(h.length));
    if (!value.ok() || value.value() < 0 || value.value() > maxValue) break;
    out.push_back(value.value());
    pos += h.headerBytes + static_cast<std::int64_t>(h.length);
  }
  return out;
}

// A tile's data element at pos: an OCTET STRING (tag number 4), primitive.
// Fills the contents' offset (relative to the header offset) and size,
// clipped to the file; false when no such element is there.
bool tileElement(ber::Source& src, std::int64_t pos, std::int64_t end, std::uint32_t headerOffset,
                 std::uint32_t& offset, std::uint32_t& size, std::int64_t& next) {
  ber::Header h;
  if (ber::readHeader(src, pos, end, h) != Status::Ok || h.number != 4 || h.constructed || h.indefinite) return false;
  std::int64_t at = pos + h.headerBytes;
  std::int64_t bytes = static_cast<std::int64_t>(std::min<std::uint64_t>(h.length, static_cast<std::uint64_t>(src.end() - at)));
  if (at - headerOffset > 0xFFFFFFFFll || bytes > 0xFFFFFFFFll) return false;
  offset = static_cast<std::uint32_t>(at - headerOffset);
  size = static_cast<std::uint32_t>(bytes);
  next = at + bytes;
  return true;
}

// Builds the tile directory from the tile types, the tile list or the tile
// data itself. False for a tile type this reader does not know.
bool buildDirectory(ber::Source& src, const OdaRaster& oda, ImageFileRecord* r) {
  TileReader& t = r->tiles;
  const std::uint32_t count = t.count;
  t.types.assign(count, kTileGroup4);
  if (oda.compression == kCompUncompressed) t.types.assign(count, kTileUncompressed);
  if (oda.tileTypesAt >= 0) {
    std::vector<std::int64_t> types = readIntegerList(src, oda.tileTypesAt, oda.tileTypesBytes, count, 255);
    for (std::size_t i = 0; i < types.size(); ++i) {
      std::int64_t v = types[i];
      if (v != kTileNullBackground && v != kTileNullForeground && v != kTileGroup4 && v != kTileUncompressed)
        return false;
      t.types[i] = static_cast<std::uint8_t>(v);
    }
  }
  t.offsets.assign(count, 0);
  t.byteCounts.assign(count, 0);
  t.compressions.assign(count, kCompG4);
  const std::uint32_t nullBytes = static_cast<std::uint32_t>((t.width + 7) / 8) * t.length;
  for (std::uint32_t i = 0; i < count; ++i) {
    if (t.types[i] == kTileNullBackground || t.types[i] == kTileNullForeground) {
      t.byteCounts[i] = nullBytes;
      t.compressions[i] = kCompUncompressed;
    } else if (t.types[i] == kTileUncompressed) {
      t.compressions[i] = kCompUncompressed;
    }
  }
  if (oda.tileDataAt < 0) return true;  // no data: every coded tile is blank
  const std::int64_t dataEnd = oda.tileDataAt + oda.tileDataBytes;
  auto coded = [&](std::uint32_t i) { return t.types[i] == kTileGroup4 || t.types[i] == kTileUncompressed; };
  if (oda.tileListAt >= 0) {
    std::vector<std::int64_t> list = readIntegerList(src, oda.tileListAt, oda.tileListBytes, count, oda.tileDataBytes);
    for (std::uint32_t i = 0; i < count; ++i) {
      if (!coded(i) || i >= list.size()) continue;
      std::int64_t next = 0;
      if (!tileElement(src, oda.tileDataAt + list[i], dataEnd, r->headerOffset, t.offsets[i], t.byteCounts[i], next))
        t.types[i] = kTileBad;
    }
    return true;
  }
  // No tile list: every coded tile is the next element of the tile data.
  std::int64_t pos = oda.tileDataAt;
  for (std::uint32_t i = 0; i < count && pos < dataEnd; ++i) {
    if (!coded(i)) continue;
    std::int64_t next = 0;
    if (!tileElement(src, pos, dataEnd, r->headerOffset, t.offsets[i], t.byteCounts[i], next)) {
      t.types[i] = kTileBad;
      break;
    }
    pos = next;
  }
  return true;
}

std::uint32_t resolution(const OdaRaster& oda) {
  if (oda.spacingLength <= 0 || oda.unitScaling[0] <= 0 || oda.pelSpaces <= 0 || oda.unitScaling[1] <= 0) return 0;
  // Products of values up to 2^31 fit in 128 bits only; clamp the inputs.
  auto c = [](std::int64_t v) { return static_cast<unsigned __int128>(std::min<std::int64_t>(v, 0x7FFFFFFF)); };
  unsigned __int128 x = kBasicUnitsPerInch * c(oda.pelSpaces) * c(oda.unitScaling[1]) /
                        (c(oda.spacingLength) * c(oda.unitScaling[0]));
  return static_cast<std::uint32_t>(std::min<unsigned __int128>(x, 65535));
}

}  // namespace

ImageFileRecord* cals2Open(void* /*context*/, const char* path, int mode, std::uint32_t headerOffset) {
  if (path == nullptr) return nullptr;
  if (mode == kOpenWrite) return openForWriting(path, kFilterCals2, headerOffset);
  if (readingMode(mode, path) != Status::Ok) return nullptr;
  if (loadTagTables() != Status::Ok) return nullptr;
  ImageFileRecord* r = openRecordForReading(path, kFilterCals2, headerOffset);
  if (r == nullptr) return nullptr;

  std::int64_t start = streamStart(r->fd, headerOffset);
  if (start >= r->fileSize) return failOpen(r, kMsgUnexpectedEof, path);
  ber::Source src(r->fd, start, r->fileSize);
  OdaRaster oda;
  Walk walk{src, *tagTables(), kWalkRead, r->path, oda};
  if (!berWalk(walk, 0, tagTables()->context(kTopContext), start, r->fileSize).ok()) return failOpen(r, -1, nullptr);
  if (!oda.profileAccepted || !oda.contentAccepted) return failOpen(r, kMsgUnableToRead, path);
  if (oda.compression < 0) return failOpen(r, kMsgUnknownCompression, path);
  if (oda.width < 1 || oda.height < 1 || oda.width > 65535 || oda.height > 65535)
    return failOpen(r, kMsgBadImageSize, path);
  r->width = static_cast<std::uint32_t>(oda.width);
  r->height = static_cast<std::uint32_t>(oda.height);
  r->bitsPerPixel = 1;
  r->fillOrder = 0;
  r->photometric = 0;
  r->pelPath = oda.pelPath;
  r->lineProgression = oda.lineProgression;
  r->xResolution = resolution(oda);
  r->yResolution = oda.spacingRatio[1] > 0 && oda.spacingRatio[0] > 0
                       ? static_cast<std::uint32_t>(std::min<std::int64_t>(
                             static_cast<std::int64_t>(r->xResolution) * std::min<std::int64_t>(oda.spacingRatio[0], 0xFFFF) /
                                 oda.spacingRatio[1],
                             65535))
                       : r->xResolution;

  TileReader& t = r->tiles;
  if (oda.compression == kCompTiled) {
    if (oda.tileWidth < 1 || oda.tileLength < 1 || oda.tileWidth > 65535 || oda.tileLength > 65535 ||
        oda.tilingOffset[0] != 0 || oda.tilingOffset[1] != 0)
      return failOpen(r, kMsgBadTileData, nullptr);
    t.width = static_cast<std::uint16_t>(oda.tileWidth);
    t.length = static_cast<std::uint16_t>(oda.tileLength);
  } else {
    // An untiled raster reads as one tile covering the image.
    t.width = static_cast<std::uint16_t>(r->width);
    t.length = static_cast<std::uint16_t>(r->height);
  }
  std::uint32_t across = (r->width + t.width - 1u) / t.width;
  std::uint32_t down = (r->height + t.length - 1u) / t.length;
  if (static_cast<std::uint64_t>(across) * down > kMaxTiles) return failOpen(r, kMsgBadTileData, nullptr);
  t.across = static_cast<std::uint16_t>(across);
  t.down = static_cast<std::uint16_t>(down);
  t.count = static_cast<std::uint16_t>(across * down);
  if (!buildDirectory(src, oda, r)) return failOpen(r, kMsgBadTileData, nullptr);
  t.current = 0;
  t.position = 0;
  r->compression = kCompTiled;
  r->sourceCompression = kCompG4;
  return r;
}

ImageInformation cals2ImageInfo(ImageFileRecord* r) {
  ImageInformation info;
  info.title = "CALS File Information";
  auto add = [&](const char* label, std::string value) { info.fields.push_back({label, std::move(value)}); };
  add("File", r->path);
  add("File Size", format("%ld", static_cast<long>(platform::fileSize(r->fd))));
  OdaRaster oda;
  const TagTables* tables = tagTables();
  if (tables != nullptr) {
    std::int64_t start = streamStart(r->fd, r->headerOffset);
    std::int64_t end = platform::fileSize(r->fd);
    ber::Source src(r->fd, start, end);
    Walk walk{src, *tables, kWalkDialog, r->path, oda};
    if (start < end && berWalk(walk, 0, tables->context(kTopContext), start, end).ok())
      for (auto& f : oda.dialog) info.fields.push_back(std::move(f));
  }
  std::uint32_t xres = r->xResolution < 1 ? 200 : r->xResolution;
  std::uint32_t yres = r->yResolution < 1 ? 200 : r->yResolution;
  add("Width", format("%d", static_cast<int>(r->width)));
  add("Height", format("%d", static_cast<int>(r->height)));
  add("Horizontal Resolution", format("%d", static_cast<int>(xres)));
  add("Vertical Resolution", format("%d", static_cast<int>(yres)));
  add("Width (inches)", inches(r->width, xres));
  add("Height (inches)", inches(r->height, yres));
  add("Compression Factor",
      compressionFactor(r->width, r->height, oda.tileDataBytes > 0 ? static_cast<std::uint64_t>(oda.tileDataBytes) : 0));
  return info;
}


}  // namespace hv::formats
