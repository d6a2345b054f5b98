// CALS Type 1 writer: the header block (the caller's or the Form A template)
// with the raster records of this image, then the Group 4 code.
#include "formats/cals1_write.h"

#include <cstring>
#include <new>
#include <unistd.h>

#include "formats/cals1_header.h"
#include "formats/cals1_layout.h"
#include "formats/fm_messages.h"
#include "formats/format_tables.h"
#include "formats/tiff_write.h"
#include "platform/file_io.h"

namespace hv::formats {
namespace {

struct Cals1Writer {
  std::uint64_t written = 0;
  WriteCodeBuffer* pending = nullptr;  // the buffer last handed to write-codes
  bool error = false;
};

Cals1Writer* writerOf(ImageFileRecord* r) { return static_cast<Cals1Writer*>(r->writerState); }
void freeWriter(void* p) { delete static_cast<Cals1Writer*>(p); }

Status failWrite(ImageFileRecord* r) {
  if (Cals1Writer* w = writerOf(r)) w->error = true;
  report(kWarning, kMsgUnableToWrite, r->path);
  return Status::WriteFailed;
}

}  // namespace

Status cals1WriteSpecs(ImageFileRecord* r, const ImageSpecs* specs, const void* params, std::uint32_t size) {
  using namespace cals;
  if (r == nullptr || specs == nullptr || params == nullptr || size != sizeof(Cals1WriteParams)) return Status::Failed;
  if (!r->openedForWriting || r->fd < 0) return Status::Failed;
  // A CALS Type 1 raster is one Group 4 strip of a bilevel image.
  if (specs->filter != kFilterCals1 || specs->bitsPerPixel != 1 || specs->compression != kCompG4 ||
      specs->width == 0 || specs->height == 0 || specs->width > 999999 || specs->height > 999999)
    return Status::Failed;
  Cals1WriteParams p;
  std::memcpy(&p, params, sizeof p);
  std::memcpy(r->writeParams, params, sizeof p);
  auto* w = new (std::nothrow) Cals1Writer;
  if (w == nullptr) return Status::Failed;
  r->writerState = w;
  r->freeWriterState = freeWriter;

  char block[kBlockBytes];
  startBlock(block, p.header);
  const std::uint32_t resolution = resolveResolution(specs->xResolution);
  r->width = specs->width;
  r->height = specs->height;
  r->bitsPerPixel = 1;
  r->fillOrder = 0;
  r->photometric = 0;
  r->xResolution = r->yResolution = resolution;
  r->compression = kCompG4;
  r->pelPath = p.pelPath & 3;
  r->lineProgression = p.lineProgression & 3;
  setRasterRecords(block, r->pelPath, r->lineProgression, specs->width, specs->height, resolution, 1);
  bool ok = true;
  if (!r->prefix.empty())
    ok = platform::seekFile(r->fd, 0, SEEK_SET) == 0 && platform::writeFull(r->fd, r->prefix.data(), r->prefix.size());
  ok = ok && platform::seekFile(r->fd, r->headerOffset, SEEK_SET) >= 0 &&
       platform::writeFull(r->fd, block, kHeaderBytes);
  if (!ok) return failWrite(r);
  return Status::Ok;
}

Status cals1WriteBegin(ImageFileRecord* r, const StripDesc* /*desc*/) {
  Cals1Writer* w = r ? writerOf(r) : nullptr;
  return w != nullptr && !w->error ? Status::Ok : Status::Failed;
}

Status cals1WriteCodes(ImageFileRecord* r, WriteCodeBuffer* codes) {
  Cals1Writer* w = r ? writerOf(r) : nullptr;
  if (w == nullptr || w->error || codes == nullptr || r->fd < 0) return Status::Failed;
  w->pending = codes;
  if (appendWholeBytes(r, codes, &w->written) != Status::Ok) return failWrite(r);
  return Status::Ok;
}

// The last bits of the raster, then the file is made durable and closed.
Status cals1WriteEnd(ImageFileRecord* r, const StripDesc* /*desc*/) {
  Cals1Writer* w = r ? writerOf(r) : nullptr;
  if (w == nullptr || w->error || r->fd < 0) return Status::Failed;
  if (w->pending != nullptr && appendRemainder(r, w->pending, &w->written) != Status::Ok) return failWrite(r);
  w->pending = nullptr;
  bool synced = ::fsync(r->fd) == 0;
  platform::closeFile(r->fd);
  r->fd = -1;
  if (!synced) return failWrite(r);
  return Status::Ok;
}

}  // namespace hv::formats
