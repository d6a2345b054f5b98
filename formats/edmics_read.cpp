#include "formats/edmics_read.h"

#include <algorithm>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>

#include "formats/edmics_layout.h"
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

std::uint32_t be16(const std::uint8_t* p) { return static_cast<std::uint32_t>(p[0] << 8 | p[1]); }
std::uint32_t le16(const std::uint8_t* p) { return static_cast<std::uint32_t>(p[0] | p[1] << 8); }
std::uint32_t le32(const std::uint8_t* p) { return le16(p) | le16(p + 2) << 16; }
std::uint32_t be32(const std::uint8_t* p) { return be16(p) << 16 | be16(p + 2); }

void commonFields(ImageInformation& info, ImageFileRecord* r) {
  auto add = [&](const char* label, std::string value) { info.fields.push_back({label, std::move(value)}); };
  add("File", r->path);
  add("File Size", format("%ld", static_cast<long>(platform::fileSize(r->fd))));
  add("Width", format("%d", static_cast<int>(r->width)));
  add("Height", format("%d", static_cast<int>(r->height)));
  std::uint32_t xres = r->xResolution < 1 ? 200 : r->xResolution;
  std::uint32_t yres = r->yResolution < 1 ? 200 : r->yResolution;
  add("Horizontal Resolution", format("%d", static_cast<int>(xres)));
  add("Vertical Resolution", format("%d", static_cast<int>(yres)));
  add("Width (inches)", inches(r->width, xres));
  add("Height (inches)", inches(r->height, yres));
}

}  // namespace

// ---- EDMICS V ----

ImageFileRecord* edmics5Open(void* /*context*/, const char* path, int mode, std::uint32_t headerOffset) {
  if (path == nullptr) return nullptr;
  if (!isReadMode(mode)) {
    report(kWarning, kMsgUnableToOpen, path);
    return nullptr;
  }
  ImageFileRecord* r = openRecordForReading(path, kFilterEdmics5, headerOffset);
  if (r == nullptr) return nullptr;
  std::uint8_t h[edm5::kHeaderBytes];
  if (platform::readAt(r->fd, h, sizeof h, headerOffset) != static_cast<long>(sizeof h))
    return failOpen(r, kMsgUnexpectedEof, path);
  r->width = be16(h + edm5::kWidthAt);
  r->height = be16(h + edm5::kHeightAt);
  if (r->width == 0 || r->height == 0) return failOpen(r, kMsgBadImageSize, path);
  r->bitsPerPixel = 1;
  r->fillOrder = 0;
  r->photometric = 0;
  r->xResolution = r->yResolution = 200;
  r->compression = r->sourceCompression = kCompG4;
  r->pelPath = kLeftToRight;
  r->lineProgression = kBottomToTop;
  r->strips.byteOrder = static_cast<std::uint16_t>('I' | 'I' << 8);
  r->strips.rowsPerStrip = r->height;
  r->strips.count = 1;
  std::int64_t coded = r->fileSize - static_cast<std::int64_t>(headerOffset) - static_cast<std::int64_t>(edm5::kHeaderBytes);
  r->strips.offsets.assign(1, static_cast<std::uint32_t>(edm5::kHeaderBytes));
  r->strips.byteCounts.assign(1, static_cast<std::uint32_t>(std::clamp<std::int64_t>(coded, 0, 0xFFFFFFFF)));
  return r;
}

ImageInformation edmics5ImageInfo(ImageFileRecord* r) {
  ImageInformation info;
  info.title = "EDMICS V File Information";
  commonFields(info, r);
  info.fields.push_back({"Compression", "CCITT Group 4 (T.6)"});
  info.fields.push_back({"Compression Factor", compressionFactor(r->width, r->height,
                                                                 r->strips.byteCounts.empty() ? 0 : r->strips.byteCounts[0])});
  return info;
}


// ---- EDMICS VI ----

std::uint32_t edmics6DerivedHeight(std::uint32_t widthBytes, std::uint32_t resolution) {
  if (resolution == 0) resolution = 200;
  std::uint64_t widthInches = static_cast<std::uint64_t>(widthBytes) * 8 / resolution;
  std::uint64_t inchesHigh = widthInches < 11 ? 11 : widthInches < 17 ? 17 : widthInches < 22 ? 22 : widthInches < 34 ? 34 : 44;
  std::uint64_t lines = inchesHigh * resolution;
  lines = (lines + edm6::kTileSide - 1) / edm6::kTileSide * edm6::kTileSide;
  return static_cast<std::uint32_t>(std::min<std::uint64_t>(lines, 0xFFFFFFFFu));
}

ImageFileRecord* edmics6Open(void* /*context*/, const char* path, int mode, std::uint32_t headerOffset) {
  using namespace edm6;
  if (path == nullptr) return nullptr;
  if (mode == kOpenWrite) return openForWriting(path, kFilterEdmics6, headerOffset);
  if (!isReadMode(mode)) {
    report(kWarning, kMsgUnableToOpen, path);
    return nullptr;
  }
  ImageFileRecord* r = openRecordForReading(path, kFilterEdmics6, headerOffset);
  if (r == nullptr) return nullptr;
  std::uint8_t buf[kSecondHeaderAt + kHeaderBytes] = {};
  long got = platform::readAt(r->fd, buf, sizeof buf, headerOffset);
  if (got < static_cast<long>(kHeaderBytes)) return failOpen(r, kMsgUnexpectedEof, path);
  std::size_t base = 0;
  if (mode == kOpenReadSecondHeader && le32(buf + kSecondHeaderAt) != 0) {
    if (got < static_cast<long>(sizeof buf)) return failOpen(r, kMsgUnexpectedEof, path);
    base = kSecondHeaderAt;
  }
  const std::uint8_t* h = buf + base;
  r->header.assign(h, h + kHeaderBytes);
  std::uint32_t indexOffset = le32(h + kIndexOffsetAt);
  if (indexOffset == 0) indexOffset = kHeaderBytes;
  std::uint32_t height = le16(h + kHeightAt);
  std::uint32_t widthBytes = le16(h + kWidthBytesAt);
  std::uint32_t dataOffset = be32(h + kDataOffsetAt);
  std::uint32_t res = le16(h + kResolutionAt);
  if (res == 0) res = 200;
  if (height == 0) height = edmics6DerivedHeight(widthBytes, res);
  std::uint32_t width = widthBytes * 8;
  if (width == 0 || width > 65535 || height == 0 || height > 65535) return failOpen(r, kMsgBadImageSize, path);
  std::uint32_t across = (width + kTileSide - 1) / kTileSide;
  std::uint32_t down = (height + kTileSide - 1) / kTileSide;
  std::uint32_t count = across * down;
  std::uint64_t indexEnd = static_cast<std::uint64_t>(indexOffset) + std::uint64_t{kEntryBytes} * count;
  if (dataOffset == 0) {
    if (indexEnd > 0xFFFFFFFFu) return failOpen(r, kMsgBadTileData, nullptr);
    dataOffset = static_cast<std::uint32_t>(indexEnd);
  }
  // The index: one entry per tile, ending early at the tile data or the
  // file's end.
  std::uint32_t wanted = count;
  if (dataOffset > indexOffset) wanted = std::min<std::uint32_t>(wanted, (dataOffset - indexOffset) / kEntryBytes);
  std::vector<std::uint8_t> index(static_cast<std::size_t>(wanted) * kEntryBytes);
  long have = index.empty() ? 0 : platform::readAt(r->fd, index.data(), index.size(),
                                                   static_cast<std::int64_t>(headerOffset) + indexOffset);
  std::uint32_t entries = have > 0 ? static_cast<std::uint32_t>(have) / kEntryBytes : 0;
  if (entries < count) {
    // A truncated index: the image keeps the rows of tiles fully indexed.
    down = entries / across;
    height = std::min(height, down * kTileSide);
    count = down * across;
    if (height == 0) return failOpen(r, kMsgBadTileData, nullptr);
  }
  TileReader& t = r->tiles;
  t.width = t.length = static_cast<std::uint16_t>(kTileSide);
  t.across = static_cast<std::uint16_t>(across);
  t.down = static_cast<std::uint16_t>(down);
  t.count = static_cast<std::uint16_t>(count);
  t.types.assign(count, kTileGroup4);
  t.offsets.assign(count, 0);
  t.byteCounts.assign(count, 0);
  t.compressions.assign(count, kCompG4);
  std::uint64_t at = dataOffset;
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::uint8_t* e = index.data() + static_cast<std::size_t>(i) * kEntryBytes;
    std::uint32_t size = le16(e + 2);
    if (at + size > 0xFFFFFFFFu) return failOpen(r, kMsgBadTileData, nullptr);
    t.offsets[i] = static_cast<std::uint32_t>(at);
    t.byteCounts[i] = size;
    if (e[1] != 0) {
      t.types[i] = kTileUncompressed;
      t.compressions[i] = kCompUncompressed;
    }
    at += size;
  }
  r->width = width;
  r->height = height;
  r->bitsPerPixel = 1;
  r->fillOrder = 0;
  r->photometric = 0;
  r->xResolution = r->yResolution = res;
  r->compression = kCompTiled;
  r->sourceCompression = kCompG4;
  r->pelPath = kLeftToRight;
  r->lineProgression = kTopToBottom;
  return r;
}

ImageInformation edmics6ImageInfo(ImageFileRecord* r) {
  ImageInformation info;
  info.title = "EDMICS VI File Information";
  commonFields(info, r);
  info.fields.push_back({"Compression Type", "(Tiled Format)"});
  struct stat st {};
  if (::fstat(r->fd, &st) == 0) {
    std::tm tm{};
    ::localtime_r(&st.st_mtime, &tm);
    info.fields.push_back({"Date/Time", format("%02d/%02d/%04d %02d:%02d:%02d", tm.tm_mon + 1, tm.tm_mday,
                                               tm.tm_year + 1900, tm.tm_hour, tm.tm_min, tm.tm_sec)});
  }
  std::string card;
  if (r->header.size() >= edm6::kCardAt + edm6::kCardBytes)
    for (std::size_t i = 0; i < edm6::kCardBytes; ++i) {
      char c = static_cast<char>(r->header[edm6::kCardAt + i]);
      card += c >= 0x20 && c < 0x7F ? c : ' ';
    }
  info.fields.push_back({"Hollerith", card});
  std::uint64_t coded = 0;
  for (std::uint32_t n : r->tiles.byteCounts) coded += n;
  info.fields.push_back({"Compression Factor", compressionFactor(r->width, r->height, coded)});
  return info;
}


}  // namespace hv::formats
