#include "formats/raster_write.h"

#include <cstring>
#include <new>
#include <string>
#include <unistd.h>

#include "formats/cals2_template.h"
#include "formats/edmics_layout.h"
#include "formats/fm_messages.h"
#include "formats/format_tables.h"
#include "formats/tiff_read.h"
#include "formats/tiff_write.h"
#include "platform/file_io.h"

namespace hv::formats {
namespace {

struct RasterWriter {
  std::uint64_t written = 0;
  std::int64_t rasterAt = 0;
  WriteCodeBuffer* pending = nullptr;
  bool error = false;
};

RasterWriter* writerOf(ImageFileRecord* r) { return static_cast<RasterWriter*>(r->writerState); }
void freeWriter(void* p) { delete static_cast<RasterWriter*>(p); }

Status failWrite(ImageFileRecord* r) {
  if (RasterWriter* w = writerOf(r)) w->error = true;
  report(kWarning, kMsgUnableToWrite, r->path);
  return Status::WriteFailed;
}

RasterWriter* start(ImageFileRecord* r, const ImageSpecs* specs, int filter) {
  if (r == nullptr || specs == nullptr || !r->openedForWriting || r->fd < 0 ||
      specs->filter != static_cast<std::uint32_t>(filter) || specs->bitsPerPixel != 1 || specs->width < 1 ||
      specs->height < 1 || specs->width > 65535 || specs->height > 65535)
    return nullptr;
  auto* w = new (std::nothrow) RasterWriter;
  if (w == nullptr) return nullptr;
  r->writerState = w;
  r->freeWriterState = freeWriter;
  r->width = specs->width;
  r->height = specs->height;
  r->bitsPerPixel = 1;
  r->xResolution = r->yResolution = resolveResolution(specs->xResolution);
  return w;
}

void decimal(std::uint8_t* field, std::uint32_t v) {
  std::string digits = std::to_string(v).substr(0, audre::kNumberBytes);
  std::memcpy(field, digits.data(), digits.size());
}

void be16(std::uint8_t* p, std::uint32_t v) {
  p[0] = static_cast<std::uint8_t>(v >> 8);
  p[1] = static_cast<std::uint8_t>(v);
}
void be32(std::uint8_t* p, std::uint32_t v) {
  be16(p, v >> 16);
  be16(p + 2, v & 0xFFFF);
}

}  // namespace

ImageFileRecord* audreCreate(const char* path) { return openForWriting(path, kFilterAudre, 0); }
ImageFileRecord* dsedCreate(const char* path) { return openForWriting(path, kFilterImportExport, 0); }

Status audreWriteSpecs(ImageFileRecord* r, const ImageSpecs* specs, const void* /*params*/, std::uint32_t /*size*/) {
  using namespace audre;
  RasterWriter* w = start(r, specs, kFilterAudre);
  if (w == nullptr) return Status::Failed;
  r->compression = kCompUncompressed;
  r->rowBytes = audreQuadWidth(r->width);
  std::uint8_t h[kReadBytes] = {};
  std::memcpy(h + kIdAt, kFileId, kIdBytes);
  decimal(h + kWidthAt, r->width);
  decimal(h + kHeightAt, r->height);
  decimal(h + kQuadWidthAt, r->rowBytes);
  decimal(h + kXResAt, r->xResolution);
  decimal(h + kYResAt, r->yResolution);
  h[kFormatAt] = 0;
  h[kBitsAt] = 1;
  h[kPhotometricAt] = 1;  // a set bit is black
  h[kBitOrderAt] = 0;     // most significant bit first
  decimal(h + kKept1At, 0);
  decimal(h + kKept2At, 0);
  w->rasterAt = static_cast<std::int64_t>(kHeaderBytes);
  if (writeBytesAt(r->fd, h, kHeaderBytes, 0) != Status::Ok || platform::seekFile(r->fd, w->rasterAt, SEEK_SET) < 0)
    return failWrite(r);
  return Status::Ok;
}

Status dsedWriteSpecs(ImageFileRecord* r, const ImageSpecs* specs, const void* /*params*/, std::uint32_t /*size*/) {
  using namespace dsed;
  RasterWriter* w = start(r, specs, kFilterImportExport);
  if (w == nullptr) return Status::Failed;
  r->compression = kCompG4Wrap;
  std::uint8_t h[kHeaderBytes] = {};
  h[kMarkerAt] = h[kMarkerAt + 1] = kMarker;
  be16(h + kHeaderLengthAt, kHeaderBytes);
  be32(h + kWidthAt, r->width);
  be32(h + kHeightAt, r->height);
  be16(h + kResolutionAt, r->xResolution);
  be16(h + kCodingAt, kCompG4Wrap);
  // "IMAGE G4W" in EBCDIC.
  static constexpr std::uint8_t kLabel[kLabelBytes] = {0xC9, 0xD4, 0xC1, 0xC7, 0xC5, 0x40, 0xC7, 0xF4, 0xE6};
  std::memcpy(h + kLabelAt, kLabel, kLabelBytes);
  w->rasterAt = static_cast<std::int64_t>(kHeaderBytes);
  if (writeBytesAt(r->fd, h, kHeaderBytes, 0) != Status::Ok || platform::seekFile(r->fd, w->rasterAt, SEEK_SET) < 0)
    return failWrite(r);
  return Status::Ok;
}

Status rasterWriteBegin(ImageFileRecord* r, const StripDesc* /*desc*/) {
  RasterWriter* w = r ? writerOf(r) : nullptr;
  return w != nullptr && !w->error ? Status::Ok : Status::Failed;
}

Status rasterWriteCodes(ImageFileRecord* r, WriteCodeBuffer* codes) {
  RasterWriter* w = r ? writerOf(r) : nullptr;
  if (w == nullptr || w->error || codes == nullptr || r->fd < 0) return Status::Failed;
  w->pending = codes;
  if (appendWholeBytes(r, codes, &w->written) != Status::Ok) return failWrite(r);
  return Status::Ok;
}

Status rasterWriteEnd(ImageFileRecord* r, const StripDesc* /*desc*/) {
  RasterWriter* w = r ? writerOf(r) : nullptr;
  if (w == nullptr || w->error || r->fd < 0) return Status::Failed;
  if (w->pending != nullptr && appendRemainder(r, w->pending, &w->written) != Status::Ok) return failWrite(r);
  w->pending = nullptr;
  if (r->filter == kFilterImportExport) {
    std::uint8_t n[4];
    be32(n, static_cast<std::uint32_t>(std::min<std::uint64_t>(w->written, 0xFFFFFFFFu)));
    if (writeBytesAt(r->fd, n, 4, dsed::kRasterBytesAt) != Status::Ok) return failWrite(r);
  } else if (w->written != static_cast<std::uint64_t>(r->rowBytes) * r->height) {
    return failWrite(r);  // every Audre line must be there
  }
  if (::fsync(r->fd) != 0) return failWrite(r);
  return Status::Ok;
}

}  // namespace hv::formats
