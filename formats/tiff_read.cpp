#include "formats/tiff_read.h"

#include <algorithm>
#include <cstring>
#include <fcntl.h>

#include "formats/compression_codes.h"
#include "formats/fm_messages.h"
#include "formats/open_mode.h"
#include "formats/record_open.h"
#include "formats/format_tables.h"
#include "formats/strip_reader.h"
#include "formats/tiff_dir.h"
#include "formats/tiff_info.h"
#include "formats/tiff_write.h"
#include "platform/file_io.h"

namespace hv::formats {
namespace {

// Orientation 1 to 8 (TIFF 6.0 section 8; index 0 unused) as (pel path,
// line progression).
constexpr int kOrientations[9][2] = {{0, 3}, {0, 3}, {2, 3}, {2, 1}, {0, 1}, {3, 0}, {3, 2}, {1, 2}, {1, 0}};

bool readTiles(const TiffDirectory& dir, ImageFileRecord* r) {
  const auto& entries = r->strips.entries;
  const TiffEntry* tw = findEntry(entries, kTiffTileWidth);
  const TiffEntry* tl = findEntry(entries, kTiffTileLength);
  const TiffEntry* to = findEntry(entries, kTiffTileOffsets);
  const TiffEntry* tb = findEntry(entries, kTiffTileByteCounts);
  if (!tw || !tl || !to || !tb) return false;
  auto w = dir.value(*tw), l = dir.value(*tl);
  if (!w || !l || *w == 0 || *l == 0 || *w > 65535 || *l > 65535) return false;
  TileReader& t = r->tiles;
  t.width = static_cast<std::uint16_t>(*w);
  t.length = static_cast<std::uint16_t>(*l);
  std::uint32_t across = (r->width + t.width - 1) / t.width;
  std::uint32_t down = (r->height + t.length - 1) / t.length;
  if (across * down > 65535) return false;
  auto offsets = dir.array(*to);
  auto counts = dir.array(*tb);
  if (!offsets || !counts || offsets->size() < across * down || counts->size() < across * down) return false;
  t.across = static_cast<std::uint16_t>(across);
  t.down = static_cast<std::uint16_t>(down);
  t.count = static_cast<std::uint16_t>(across * down);
  t.offsets = std::move(*offsets);
  t.byteCounts = std::move(*counts);
  t.offsets.resize(t.count);
  t.byteCounts.resize(t.count);
  t.offsetSize = to->type == kTiffLong ? 4 : 2;
  t.byteCountSize = tb->type == kTiffLong ? 4 : 2;
  return true;
}

bool readStrips(const TiffDirectory& dir, ImageFileRecord* r, const TiffEntry& offsetsEntry) {
  StripReader& s = r->strips;
  const TiffEntry* rps = findEntry(s.entries, kTiffRowsPerStrip);
  std::uint32_t rows = r->height;
  if (rps) {
    auto v = dir.value(*rps);
    if (v && *v != 0 && *v <= r->height) rows = *v;
  }
  s.rowsPerStrip = rows;
  const TiffEntry* countsEntry = findEntry(s.entries, kTiffStripByteCounts);
  if (!countsEntry) return false;
  auto offsets = dir.array(offsetsEntry);
  auto counts = dir.array(*countsEntry);
  if (!offsets || !counts) return false;
  // Strips beyond the image's last line carry nothing of it.
  std::uint32_t needed = (r->height + rows - 1) / rows;
  std::size_t n = std::min({offsets->size(), counts->size(), static_cast<std::size_t>(needed)});
  s.offsets.assign(offsets->begin(), offsets->begin() + static_cast<std::ptrdiff_t>(n));
  s.byteCounts.assign(counts->begin(), counts->begin() + static_cast<std::ptrdiff_t>(n));
  s.count = static_cast<std::uint32_t>(n);
  s.offsetType = offsetsEntry.type == kTiffLong ? kTiffLong : kTiffShort;
  return true;
}

}  // namespace

ImageFileRecord* tiffOpen(void* /*context*/, const char* path, int mode, std::uint32_t headerOffset) {
  if (path == nullptr) return nullptr;
  if (mode == kOpenWrite) return openForWriting(path, kFilterTiff, headerOffset);
  if (readingMode(mode, path) != Status::Ok) return nullptr;
  ImageFileRecord* r = openRecordForReading(path, kFilterTiff, headerOffset);
  if (r == nullptr) return nullptr;

  std::uint8_t header[8];
  if (platform::readAt(r->fd, header, 8, headerOffset) != 8) return failOpen(r, kMsgUnexpectedEof, path);
  bool big = header[0] == 'M' && header[1] == 'M';
  r->strips.byteOrder = static_cast<std::uint16_t>(header[0] | header[1] << 8);
  TiffDirectory dir(r->fd, headerOffset, big, r->fileSize);
  if (dir.get16(header + 2) != kTiffVersion) return failOpen(r, kMsgTiffVersion, nullptr);
  if (dir.read(dir.get32(header + 4), r->strips.entries) != Status::Ok) return failOpen(r, kMsgTiffDirectory, nullptr);
  const auto& entries = r->strips.entries;

  auto number = [&](std::uint16_t tag) -> std::optional<std::uint32_t> {
    const TiffEntry* e = findEntry(entries, tag);
    return e ? dir.value(*e) : std::nullopt;
  };
  auto width = number(kTiffImageWidth), height = number(kTiffImageLength);
  if (!width || !height) return failOpen(r, kMsgTiffMandatoryTags, nullptr);
  if (*width == 0 || *height == 0 || *width > 65535 || *height > 65535) return failOpen(r, kMsgBadImageSize, path);
  r->width = *width;
  r->height = *height;
  // A drawing has one bit per pixel and one sample; anything else would be
  // shown as noise, so it is refused.
  if (number(kTiffBitsPerSample).value_or(1) > 1 || number(kTiffSamplesPerPixel).value_or(1) > 1)
    return failOpen(r, kMsgNotBilevel, path);
  r->bitsPerPixel = 1;
  std::uint32_t compressionTag = number(kTiffCompression).value_or(kTiffGroup4);
  r->photometric = number(kTiffPhotometric).value_or(kTiffBlackIsZero) != kTiffWhiteIsZero ? kTiffBlackIsZero
                                                                                           : kTiffWhiteIsZero;
  r->fillOrder = number(kTiffFillOrder).value_or(kTiffFillMsbFirst) != kTiffFillMsbFirst ? 1 : 0;
  std::uint32_t orientation = number(kTiffOrientation).value_or(kTiffOrientationTopLeft);
  if (orientation < kTiffOrientationTopLeft || orientation > kTiffOrientationLast)
    orientation = kTiffOrientationTopLeft;
  r->pelPath = kOrientations[orientation][0];
  r->lineProgression = kOrientations[orientation][1];
  const std::uint32_t unit = number(kTiffResolutionUnit).value_or(kTiffUnitInch);
  auto dpi = [&](std::uint16_t tag) -> std::uint32_t {
    const TiffEntry* e = findEntry(entries, tag);
    return e ? dir.resolutionDpi(*e, unit).value_or(0) : 0;
  };
  r->xResolution = dpi(kTiffXResolution);
  r->yResolution = dpi(kTiffYResolution);

  int code = recordFromTiffCompression(compressionTag, number(kTiffT4Options).value_or(0));
  if (code == kNoRecordForLzw) return failOpen(r, kMsgTiffLzw, nullptr);
  if (code == kNoRecordForUnknown) {
    reportNumber(kWarning, kMsgTiffUnknownCompression, static_cast<long>(compressionTag));
    return failOpen(r, -1, nullptr);
  }
  r->compression = code;
  r->sourceCompression = code;

  const TiffEntry* stripOffsets = findEntry(entries, kTiffStripOffsets);
  bool ok = stripOffsets ? readStrips(dir, r, *stripOffsets) : readTiles(dir, r);
  if (!ok) return failOpen(r, kMsgTiffMandatoryTags, nullptr);
  if (!stripOffsets) r->compression = kCompTiled;
  return r;
}


}  // namespace hv::formats
