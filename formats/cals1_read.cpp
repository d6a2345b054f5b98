#include "formats/cals1_read.h"

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <strings.h>

#include "formats/cals1_header.h"
#include "formats/cals1_layout.h"
#include "formats/fm_messages.h"
#include "formats/open_mode.h"
#include "formats/record_open.h"
#include "formats/format_tables.h"
#include "formats/info_format.h"
#include "formats/strip_reader.h"
#include "formats/tiff_read.h"
#include "formats/tiff_write.h"
#include "formats/cals1_write.h"
#include "platform/file_io.h"

namespace hv::formats {
namespace {

using namespace cals;

struct RasterValues {
  std::uint32_t pelAngle = 0, lineAngle = 270, width = 0, height = 0, density = 0;
};

RasterValues readFormA(const char* block) {
  const char* end = block + kBlockBytes;
  RasterValues v;
  v.pelAngle = readNumber(block + form_a::kPelPathAt, end);
  v.lineAngle = readNumber(block + form_a::kLineProgAt, end);
  v.width = readNumber(block + form_a::kWidthAt, end);
  v.height = readNumber(block + form_a::kHeightAt, end);
  v.density = readNumber(block + form_a::kDensityAt, end);
  return v;
}

// Form B: records are found by keyword, in any order, until the first record
// whose keyword is not one of the header's.
RasterValues readFormB(const char* block) {
  static const char* const kKept[] = {"specversion:", "srcdocid:", "dstdocid:", "dtype:", "rorient:",
                                      "rpelcnt:",     "rdensty:",  "doccls:",   "notes:"};
  static const char* const kSkipped[] = {"datfilid:", "moduleid:", "didid:", "fosipubid:"};
  const char* end = block + kBlockBytes;
  RasterValues v;
  for (std::size_t i = 0; i < kBlockRecords; ++i) {
    const char* rec = block + i * kRecordBytes;
    std::size_t len = 0;
    while (len < 32 && len < kRecordBytes && rec[len] != ' ') ++len;
    std::string key(rec, len);
    bool kept = false, skipped = false;
    for (const char* k : kKept) kept = kept || ::strcasecmp(key.c_str(), k) == 0;
    for (const char* k : kSkipped) skipped = skipped || ::strcasecmp(key.c_str(), k) == 0;
    if (skipped) continue;
    if (!kept) break;
    const char* value = rec + len + 1;
    if (::strcasecmp(key.c_str(), "rorient:") == 0) {
      v.pelAngle = readNumber(value, end);
      v.lineAngle = readNumber(value + 4, end);
    } else if (::strcasecmp(key.c_str(), "rpelcnt:") == 0) {
      v.width = readNumber(value, end);
      v.height = readNumber(value + 7, end);
    } else if (::strcasecmp(key.c_str(), "rdensty:") == 0) {
      v.density = readNumber(value, end);
    }
  }
  return v;
}

int directionFromAngle(std::uint32_t angle) { return static_cast<int>((angle / 90) % 4); }

}  // namespace

ImageFileRecord* cals1Open(void* /*context*/, const char* path, int mode, std::uint32_t headerOffset) {
  if (path == nullptr) return nullptr;
  if (mode == kOpenWrite) return openForWriting(path, kFilterCals1, headerOffset);
  if (readingMode(mode, path) != Status::Ok) return nullptr;
  ImageFileRecord* r = openRecordForReading(path, kFilterCals1, headerOffset);
  if (r == nullptr) return nullptr;

  // Only the 16 header records must be there: a nearly blank sheet's coded
  // raster can be shorter than the rest of the 2560-byte block.
  char block[kBlockBytes];
  std::memset(block, ' ', sizeof block);
  long got = platform::readAt(r->fd, block, kBlockBytes, headerOffset);
  if (got < static_cast<long>(kHeaderBytes)) return failOpen(r, kMsgUnexpectedEof, path);
  std::memset(block + kHeaderBytes, ' ', kBlockBytes - kHeaderBytes);

  RasterValues v = isFormB(block) ? readFormB(block) : readFormA(block);
  if (v.width == 0 || v.height == 0 || v.width > 65535 || v.height > 65535)
    return failOpen(r, kMsgBadImageSize, path);
  r->width = v.width;
  r->height = v.height;
  r->xResolution = r->yResolution = v.density;
  r->bitsPerPixel = 1;
  r->fillOrder = 0;
  r->photometric = 0;
  r->compression = kCompG4;
  r->sourceCompression = kCompG4;
  r->pelPath = directionFromAngle(v.pelAngle);
  r->lineProgression = directionFromAngle(v.lineAngle);
  r->strips.byteOrder = static_cast<std::uint16_t>('I' | 'I' << 8);
  r->strips.rowsPerStrip = r->height;
  std::int64_t coded = r->fileSize - static_cast<std::int64_t>(headerOffset) - static_cast<std::int64_t>(kHeaderBytes);
  r->strips.count = 1;
  r->strips.offsets.assign(1, static_cast<std::uint32_t>(kHeaderBytes));
  r->strips.byteCounts.assign(1, static_cast<std::uint32_t>(coded > 0 ? std::min<std::int64_t>(coded, 0xFFFFFFFF) : 0));
  r->strips.offsetType = kTiffLong;
  return r;
}

ImageInformation cals1ImageInfo(ImageFileRecord* r) {
  ImageInformation info;
  info.title = "CALS Type 1 File Information";
  auto add = [&](const char* label, std::string value) { info.fields.push_back({label, std::move(value)}); };
  std::uint32_t xres = r->xResolution < 1 ? 200 : r->xResolution;
  std::uint32_t yres = r->yResolution < 1 ? 200 : r->yResolution;
  add("File", r->path);
  add("File Size", format("%ld", static_cast<long>(platform::fileSize(r->fd))));
  add("Width", format("%d", static_cast<int>(r->width)));
  add("Height", format("%d", static_cast<int>(r->height)));
  add("Horizontal Resolution", format("%d", static_cast<int>(xres)));
  add("Vertical Resolution", format("%d", static_cast<int>(yres)));
  add("Width (inches)", inches(r->width, xres));
  add("Height (inches)", inches(r->height, yres));
  add("Compression", "CCITT Group 4 (T.6)");
  add("Compression Factor", compressionFactor(r->width, r->height, r->strips.byteCounts.empty() ? 0 : r->strips.byteCounts[0]));
  return info;
}


}  // namespace hv::formats
