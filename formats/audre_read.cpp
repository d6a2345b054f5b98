#include "formats/audre_read.h"

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <strings.h>

#include "formats/edmics_layout.h"
#include "formats/fm_messages.h"
#include "formats/open_mode.h"
#include "formats/record_open.h"
#include "formats/format_tables.h"
#include "formats/info_format.h"
#include "formats/strip_reader.h"
#include "formats/raster_write.h"
#include "formats/tiff_read.h"
#include "platform/file_io.h"

namespace hv::formats {
namespace {

using namespace audre;

// Data positions are relative to the header offset; `strips.position` holds
// the current one.
std::int64_t dataEnd(const ImageFileRecord* r) {
  return static_cast<std::int64_t>(r->rowBytes) * r->height + static_cast<std::int64_t>(kHeaderBytes);
}

}  // namespace

std::uint32_t audreNumber(const std::uint8_t* p, std::size_t n) {
  std::uint64_t v = 0;
  for (std::size_t i = 0; i < n && p[i] >= '0' && p[i] <= '9'; ++i) v = std::min<std::uint64_t>(v * 10 + (p[i] - '0'), 0xFFFFFFFFu);
  return static_cast<std::uint32_t>(v);
}

ImageFileRecord* audreOpen(void* /*context*/, const char* path, int mode, std::uint32_t headerOffset) {
  if (path == nullptr) return nullptr;
  // Audre files are read-only: every other mode is refused.
  if (!isReadMode(mode)) {
    report(kWarning, kMsgUnableToRead, path);
    return nullptr;
  }
  ImageFileRecord* r = openRecordForReading(path, kFilterAudre, headerOffset);
  if (r == nullptr) return nullptr;
  std::uint8_t h[kReadBytes] = {};
  if (platform::readAt(r->fd, h, kReadBytes, headerOffset) != static_cast<long>(kReadBytes))
    return failOpen(r, kMsgUnexpectedEof, path);
  if (::strncasecmp(reinterpret_cast<const char*>(h), kFileId, kIdBytes) != 0) return failOpen(r, kMsgBadAudreId, path);
  r->header.assign(h, h + kReadBytes);
  r->width = audreNumber(h + kWidthAt, kNumberBytes);
  r->height = audreNumber(h + kHeightAt, kNumberBytes);
  r->rowBytes = audreNumber(h + kQuadWidthAt, kNumberBytes);
  if (r->width == 0 || r->height == 0 || r->width > 65535 || r->height > 65535 || r->rowBytes < (r->width + 7) / 8)
    return failOpen(r, kMsgBadImageSize, path);
  if (dataEnd(r) > 0xFFFFFFFFll) return failOpen(r, kMsgBadImageSize, path);
  if (h[kBitsAt] > 1) return failOpen(r, kMsgNotBilevel, path);
  r->xResolution = audreNumber(h + kXResAt, kNumberBytes);
  r->yResolution = audreNumber(h + kYResAt, kNumberBytes);
  r->bitsPerPixel = 1;
  r->photometric = h[kPhotometricAt] == 1 ? 0 : 1;
  r->fillOrder = h[kBitOrderAt] != 0 ? 1 : 0;
  r->compression = r->sourceCompression = kCompUncompressed;
  r->pelPath = kLeftToRight;
  r->lineProgression = kTopToBottom;
  r->strips.position = kHeaderBytes;
  // A strip covering the raster, for the engine's buffer sizing.
  r->strips.count = 1;
  r->strips.rowsPerStrip = r->height;
  r->strips.offsets.assign(1, static_cast<std::uint32_t>(kHeaderBytes));
  r->strips.byteCounts.assign(1, static_cast<std::uint32_t>(std::min<std::int64_t>(dataEnd(r) - kHeaderBytes, 0xFFFFFFFF)));
  return r;
}

// Delivers the raster's packed rows: each stored line is `quadwidth` bytes,
// of which the first (width + 7) / 8 hold pixels.
Status audreGetCodeBuf(ImageFileRecord* r, CodeBuffer* buf, CodeInfo* info, int* compression) {
  buf->count = 0;
  const std::uint32_t q = r->rowBytes;
  const std::uint32_t used = (r->width + 7) / 8;
  std::int64_t pos = r->strips.position;
  const std::int64_t end = dataEnd(r);
  if (pos >= end) return Status::AllDelivered;
  while (buf->count < buf->capacity && pos < end) {
    std::int64_t rel = pos - static_cast<std::int64_t>(kHeaderBytes);
    std::uint32_t column = static_cast<std::uint32_t>(rel % q);
    if (column >= used) {
      pos += q - column;
      continue;
    }
    std::uint32_t want = std::min(used - column, buf->capacity - buf->count);
    if (q == used) want = static_cast<std::uint32_t>(std::min<std::int64_t>(buf->capacity - buf->count, end - pos));
    long got = platform::readAt(r->fd, buf->data + buf->count, want, static_cast<std::int64_t>(r->headerOffset) + pos);
    if (got < 0) return Status::ReadFailed;
    if (got == 0) {
      pos = end;
      break;
    }
    buf->count += static_cast<std::uint32_t>(got);
    pos += got;
    if (static_cast<std::uint32_t>(got) < want) {
      pos = end;  // the file ends inside the raster
      break;
    }
  }
  r->strips.position = static_cast<std::uint32_t>(pos);
  if (buf->count == 0) return Status::DataEnded;
  info->compression = kCompUncompressed;
  info->bitOrder = r->fillOrder;
  if (r->fillOrder != 0) {
    reverseBits(buf->data, buf->count);
    info->bitOrder = -1;
  }
  *compression = kCompUncompressed;
  return Status::Ok;
}

Status audreSeek(ImageFileRecord* r, const SeekRequest& wanted, CodeBuffer* buf, CodeInfo* /*info*/, int* /*compression*/,
                 std::uint16_t* /*refLine*/, std::uint32_t /*refLineEntries*/, SeekResult* result) {
  *result = SeekResult{};
  buf->count = 0;
  if (wanted.x >= 0 && wanted.y >= 0 && static_cast<std::uint32_t>(wanted.x) < r->width &&
      static_cast<std::uint32_t>(wanted.y) < r->height) {
    std::int64_t pos = static_cast<std::int64_t>(r->rowBytes) * wanted.y + static_cast<std::int64_t>(kHeaderBytes);
    r->strips.position = static_cast<std::uint32_t>(std::min<std::int64_t>(pos, 0xFFFFFFFF));
    result->originY = wanted.y;
    return Status::Ok;
  }
  r->strips.position = kHeaderBytes;
  return Status::OutsideImage;
}

ImageInformation audreImageInfo(ImageFileRecord* r) {
  ImageInformation info;
  info.title = "AUDRE File Information";
  auto add = [&](const char* label, std::string value) { info.fields.push_back({label, std::move(value)}); };
  const std::uint8_t* h = r->header.size() >= kReadBytes ? r->header.data() : nullptr;
  std::uint32_t xres = r->xResolution < 1 ? 200 : r->xResolution;
  std::uint32_t yres = r->yResolution < 1 ? 200 : r->yResolution;
  add("File", r->path);
  add("File Size", format("%ld", static_cast<long>(platform::fileSize(r->fd))));
  std::string id;
  for (std::size_t i = 0; h != nullptr && i < kIdBytes; ++i) id += static_cast<char>(h[kIdAt + i]);
  add("File ID", id);
  add("Width", format("%d", static_cast<int>(r->width)));
  add("Height", format("%d", static_cast<int>(r->height)));
  add("Quadwidth", format("%d", static_cast<int>(r->rowBytes)));
  add("Horizontal Resolution", format("%d", static_cast<int>(xres)));
  add("Vertical Resolution", format("%d", static_cast<int>(yres)));
  add("Width (inches)", inches(r->width, xres));
  add("Height (inches)", inches(r->height, yres));
  add("Bits per Pixel", format("%d", h != nullptr ? h[kBitsAt] : 1));
  add("Compression", "None (uncompressed rows)");
  add("Photometric Interpretation", r->photometric == 0 ? "1 = black" : "0 = black");
  add("Bit Order", r->fillOrder == 0 ? "Most significant bit first" : "Least significant bit first");
  std::uint64_t coded = static_cast<std::uint64_t>(r->rowBytes) * r->height;
  add("Compression Factor", compressionFactor(r->width, r->height, coded));
  return info;
}


}  // namespace hv::formats
