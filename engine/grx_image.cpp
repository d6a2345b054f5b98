// Creating, opening, releasing and copying engine images.
#include <algorithm>
#include <cstring>
#include <new>

#include "engine/decode_context.h"
#include "engine/engine_alloc.h"
#include "engine/grx_codes.h"
#include "engine/image_handle.h"
#include "engine/line_cache.h"
#include "engine/wrap_region.h"
#include "formats/file_manager.h"
#include "formats/open_mode.h"

using namespace hv::engine;
using hv::Status;
using hv::formats::ImageFileRecord;

namespace {

ImageHdl newHandle() {
  void* block = engineAlloc(sizeof(ImageHdlRec));
  return block ? new (block) ImageHdlRec() : nullptr;
}

DisplayState* newState() {
  void* block = engineAlloc(sizeof(DisplayState));
  return block ? new (block) DisplayState() : nullptr;
}

void releaseRecord(ImageHdl h) {
  if (h->record == nullptr) return;
  if (h->filter != nullptr && h->filter->close != nullptr) h->filter->close(h->record);
  else hv::formats::freeRecord(h->record);
  h->record = nullptr;
}

}  // namespace

extern "C" ImageHdl grxCreateImage(int* status, std::uint32_t width, std::uint32_t height,
                                   std::uint32_t xResolution, std::uint32_t yResolution) {
  auto set = [status](Status s) {
    if (status) *status = toGrxCode(s);
  };
  if (width == 0 || height == 0 || xResolution == 0 || yResolution == 0 || width > 65535) {
    set(Status::BadArgument);
    return nullptr;
  }
  ImageHdl h = newHandle();
  if (h == nullptr) {
    set(Status::NoMemory);
    return nullptr;
  }
  h->record = hv::formats::newRecord();
  h->memory = createImageMemory(1, width, height);
  h->current = newState();
  h->previous = newState();
  if (h->record == nullptr || h->memory == nullptr || h->current == nullptr || h->previous == nullptr) {
    grxCloseImage(h);
    set(Status::NoMemory);
    return nullptr;
  }
  ImageFileRecord* r = h->record;
  r->width = width;
  r->height = height;
  r->xResolution = xResolution;
  r->yResolution = yResolution;
  h->current->right = static_cast<std::int32_t>(width);
  h->current->bottom = static_cast<std::int32_t>(height);
  set(Status::Ok);
  return h;
}

extern "C" ImageHdl grxOpenImage(void* context, const char* path, unsigned options,
                                 const DisplayState* templateState) {
  if (path == nullptr) return nullptr;
  bool wantsTemplate = options & (GRX_OPEN_TEMPLATE_SCALE | GRX_OPEN_TEMPLATE_ORIGIN | GRX_OPEN_TEMPLATE_ROTATION);
  if (wantsTemplate && templateState == nullptr) return nullptr;
  std::uint32_t headerOffset = 0;
  const hv::Result<int> filter = hv::formats::fileType(path, headerOffset);
  if (!filter.ok()) return nullptr;
  const hv::formats::FilterProcs* procs = hv::formats::boundFilter(filter.value());
  if (procs == nullptr || procs->open == nullptr) return nullptr;
  ImageHdl h = newHandle();
  if (h == nullptr) return nullptr;
  h->filter = procs;
  h->record = procs->open(context, path, (options & GRX_OPEN_MODE3) ? hv::formats::kOpenReadSecondHeader : hv::formats::kOpenRead, headerOffset);
  h->current = newState();
  h->previous = newState();
  if (h->record == nullptr || h->current == nullptr || h->previous == nullptr) {
    grxCloseImage(h);
    return nullptr;
  }
  ImageFileRecord* r = h->record;
  if (r->xResolution == 0) r->xResolution = 200;
  if (r->yResolution == 0) r->yResolution = 200;
  DisplayState& s = *h->current;
  s.right = static_cast<std::int32_t>(r->width);
  s.bottom = static_cast<std::int32_t>(r->height);
  if (options & GRX_OPEN_ONE_TO_ONE) {
    s.scale[0] = s.scale[1] = s.scale[2] = s.scale[3] = 1;
  } else {
    h->previewRequest = 1;
  }
  if (options & GRX_OPEN_FAST_REDUCTION) h->fastReduction = 1;
  if (options & GRX_OPEN_INVERT) {
    h->invert = 1;
    s.invert = 1;
  }
  if (options & GRX_OPEN_TEMPLATE_SCALE) std::memcpy(s.scale, templateState->scale, sizeof s.scale);
  if (options & GRX_OPEN_TEMPLATE_ROTATION) s.rotation = templateState->rotation;
  if (options & GRX_OPEN_TEMPLATE_ORIGIN) {
    s.originX = templateState->originX;
    s.originY = templateState->originY;
  }
  return h;
}

extern "C" void grxFreeImageMemory(ImageHdl h) {
  if (h == nullptr) return;
  freeImageMemory(h->memory);
  h->memory = nullptr;
  h->displayFromMemory = 0;  // the file is the display source again
}

extern "C" int grxHasImageMemory(ImageHdl h) { return h != nullptr && h->record != nullptr && h->memory != nullptr; }

extern "C" void grxCloseImage(ImageHdl h) {
  if (h == nullptr) return;
  freeWrapMarks(h);
  freeLineCache(h);
  freeImageMemory(h->memory);
  h->memory = nullptr;
  releaseRecord(h);
  if (h->freeDisplayBitmap)
    for (void*& bitmap : h->displayBitmaps)
      if (bitmap) h->freeDisplayBitmap(bitmap);
  engineFree(h->current);
  engineFree(h->previous);
  h->~ImageHdlRec();
  engineFree(h);
}

extern "C" ImageMemory* grxCopyImageRegion(const ImageMemory* source, const GrxRect* rect, ImageMemory* destination) {
  if (source == nullptr || rect == nullptr) return nullptr;
  std::int32_t left = rect->left, top = rect->top, right = rect->right, bottom = rect->bottom;
  if (left < 0 || top < 0 || right <= left || bottom <= top || right > 65535 || bottom > 65535) return nullptr;
  if (static_cast<std::uint32_t>(left) >= source->width || static_cast<std::uint32_t>(top) >= source->height)
    return nullptr;
  std::uint32_t width = static_cast<std::uint32_t>(right - left);
  std::uint32_t height = static_cast<std::uint32_t>(bottom - top);
  ImageMemory* out = destination;
  if (out != nullptr) {
    if (out->width != width || out->height != height) return nullptr;
  } else {
    out = createImageMemory(1, width, height);
    if (out == nullptr) return nullptr;
  }
  Transition* work = out->scratch;
  for (std::uint32_t y = 0; y < height; ++y) {
    std::uint32_t sy = static_cast<std::uint32_t>(top) + y;
    std::size_t n = 0;
    if (sy < source->height) {
      const Transition* list = source->lines[sy];
      bool black = false;
      std::uint32_t l = static_cast<std::uint32_t>(left), r = static_cast<std::uint32_t>(right);
      for (std::size_t k = 0; list[k] < source->width; ++k) {
        std::uint32_t c = list[k];
        if (c <= l) {
          black = !black;
          continue;
        }
        if (n == 0 && black) work[n++] = 0;
        if (c >= r) break;
        work[n++] = static_cast<Transition>(c - l);
        black = !black;
        if (n > width) break;
      }
      // A clip that lies wholly inside a black run.
      if (n == 0 && black) work[n++] = 0;
    }
    work[n++] = static_cast<Transition>(width);
    if (putLineCopy(out, y, work, n) != Status::Ok) {
      if (out != destination) freeImageMemory(out);
      return nullptr;
    }
  }
  return out;
}
