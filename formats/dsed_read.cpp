#include "formats/dsed_read.h"

#include <algorithm>

#include "formats/fm_messages.h"
#include "formats/format_tables.h"
#include "formats/info_format.h"
#include "formats/open_mode.h"
#include "formats/raster_write.h"
#include "formats/record_open.h"
#include "formats/strip_reader.h"
#include "platform/file_io.h"

namespace hv::formats {
namespace {

std::uint32_t be16(const std::uint8_t* p) { return static_cast<std::uint32_t>(p[0] << 8 | p[1]); }
std::uint32_t be32(const std::uint8_t* p) { return be16(p) << 16 | be16(p + 2); }

}  // namespace

ImageFileRecord* dsedOpen(void* /*context*/, const char* path, int mode, std::uint32_t headerOffset) {
  using namespace dsed;
  if (path == nullptr) return nullptr;
  if (!isReadMode(mode)) {
    // Saving creates these files through dsedCreate.
    report(kWarning, kMsgUnableToOpen, path);
    return nullptr;
  }
  ImageFileRecord* r = openRecordForReading(path, kFilterImportExport, headerOffset);
  if (r == nullptr) return nullptr;
  std::uint8_t h[kLabelAt];
  if (platform::readAt(r->fd, h, sizeof h, headerOffset) != static_cast<long>(sizeof h))
    return failOpen(r, kMsgUnexpectedEof, path);
  const std::uint32_t headerBytes = be16(h + kHeaderLengthAt);
  if (h[kMarkerAt] != kMarker || h[kMarkerAt + 1] != kMarker || headerBytes < kLabelAt ||
      be16(h + kCodingAt) != kCompG4Wrap)
    return failOpen(r, kMsgImportExportLayout, path);
  const std::uint32_t width = be32(h + kWidthAt), height = be32(h + kHeightAt);
  if (width == 0 || height == 0 || width > 65535 || height > 65535) return failOpen(r, kMsgBadImageSize, path);
  r->width = width;
  r->height = height;
  r->bitsPerPixel = 1;
  r->fillOrder = 0;
  r->photometric = 0;
  r->xResolution = r->yResolution = be16(h + kResolutionAt);
  r->compression = r->sourceCompression = kCompG4Wrap;
  r->pelPath = kLeftToRight;
  r->lineProgression = kTopToBottom;
  r->strips.byteOrder = static_cast<std::uint16_t>('I' | 'I' << 8);
  r->strips.rowsPerStrip = height;
  r->strips.count = 1;
  // The raster runs to the end of the file; the header's count, when
  // given, may only shorten it.
  std::int64_t coded = r->fileSize - static_cast<std::int64_t>(headerOffset) - static_cast<std::int64_t>(headerBytes);
  if (const std::uint32_t stated = be32(h + kRasterBytesAt); stated != 0) coded = std::min<std::int64_t>(coded, stated);
  r->strips.offsets.assign(1, headerBytes);
  r->strips.byteCounts.assign(1, static_cast<std::uint32_t>(std::clamp<std::int64_t>(coded, 0, 0xFFFFFFFF)));
  return r;
}

ImageInformation dsedImageInfo(ImageFileRecord* r) {
  ImageInformation info;
  info.title = "IMPORT/EXPORT Image Information";
  auto add = [&](const char* label, std::string value) { info.fields.push_back({label, std::move(value)}); };
  add("File", r->path);
  add("File Size", format("%ld", static_cast<long>(platform::fileSize(r->fd))));
  add("Width", format("%u", r->width));
  add("Height", format("%u", r->height));
  const std::uint32_t res = r->xResolution < 1 ? 200 : r->xResolution;
  add("Horizontal Resolution", format("%u", res));
  add("Vertical Resolution", format("%u", res));
  add("Width (inches)", inches(r->width, res));
  add("Height (inches)", inches(r->height, res));
  add("Compression", "Group 4 (WRAP)");
  add("Compression Factor", compressionFactor(r->width, r->height, r->strips.byteCounts.empty() ? 0 : r->strips.byteCounts[0]));
  return info;
}


}  // namespace hv::formats
