// Painting a view: the paint entry with its preview bitmap, and switching the
// display source to image memory.
#include <algorithm>
#include <new>

#include "engine/display.h"
#include "engine/display_math.h"
#include "engine/display_surface.h"
#include "engine/engine_alloc.h"
#include "engine/grx_codes.h"
#include "engine/image_load.h"
#include "engine/render_rect.h"

using namespace hv::engine;
using hv::Status;

namespace {

// The cached display bitmap of a handle: what the last paint drew, at the
// device position it was drawn at.
struct PreviewBitmap {
  PackedSurface surface;
  GrxDevice device;
};

void freePreview(void* block) { engineFree(block); }

PreviewBitmap* preview(ImageHdl h) { return static_cast<PreviewBitmap*>(h->displayBitmaps[0]); }

void dropPreview(ImageHdl h) {
  if (h->displayBitmaps[0] != nullptr) {
    freePreview(h->displayBitmaps[0]);
    h->displayBitmaps[0] = nullptr;
  }
}

PreviewBitmap* newPreview(const GrxRect& rect) {
  std::uint32_t width = std::uint32_t(rect.right - rect.left), height = std::uint32_t(rect.bottom - rect.top);
  std::uint32_t rowBytes = (width + 15) / 16 * 2;
  std::size_t bytes = sizeof(PreviewBitmap) + std::size_t(rowBytes) * height;
  void* block = engineAlloc(bytes);
  if (block == nullptr) return nullptr;
  auto* p = new (block) PreviewBitmap();
  p->surface = {rect.left, rect.top, std::int32_t(width), std::int32_t(height), rowBytes,
                static_cast<std::uint8_t*>(block) + sizeof(PreviewBitmap)};
  p->device.user = p;
  p->device.blit = [](void* user, const GrxBand& band) { blitToSurface(static_cast<PreviewBitmap*>(user)->surface, band); };
  return p;
}

bool contains(const PackedSurface& s, const GrxRect& r) {
  return r.left >= s.left && r.top >= s.top && r.right <= s.left + s.width && r.bottom <= s.top + s.height;
}

// The scroll position a paint uses: the window's scroll bars when the view
// scrolls with them, else the display origin of the state.
void scrollPosition(hv::engine::DisplayWindow* window, ImageHdl h, std::int32_t& sx, std::int32_t& sy) {
  const DisplayState& s = *h->current;
  if (h->scrollBars) {
    sx = window->scrollPos(ScrollBar::kHorizontal);
    sy = window->scrollPos(ScrollBar::kVertical);
    return;
  }
  displayOrigin(s, sx, sy);
}

Status paint(hv::engine::DisplayWindow* window, GrxDevice* device, const GrxRect* rect, ImageHdl h) {
  DisplayState& s = *h->current;
  GrxRect want;
  if (rect != nullptr) {
    want = *rect;
  } else {
    std::int32_t cw, ch;
    window->clientSize(cw, ch);
    want = {0, 0, cw, ch};
  }
  if (want.left >= want.right || want.top >= want.bottom) return Status::Ok;
  std::int32_t sx, sy;
  scrollPosition(window, h, sx, sy);
  s.invert = h->invert;
  s.scrollBars = h->scrollBars;
  s.displayX = sx;
  s.displayY = sy;

  // An unchanged view is copied from the preview bitmap.
  PreviewBitmap* cached = preview(h);
  if (cached != nullptr && s == *h->previous && contains(cached->surface, want)) {
    blitFromSurface(cached->surface, want, *device);
    return Status::Ok;
  }
  dropPreview(h);

  std::uint32_t width = h->record->width, height = h->record->height;
  if (s.scale[0] == 0 || s.scale[1] == 0 || s.scale[2] == 0 || s.scale[3] == 0 || !isRightAngle(s.rotation))
    return Status::Failed;
  // A rectangle starting beyond the displayed image draws nothing.
  std::int32_t dw = std::int32_t(toDisplay(width, s.scale[0], s.scale[1]));
  std::int32_t dh = std::int32_t(toDisplay(height, s.scale[2], s.scale[3]));
  if (swapsAxes(s.rotation)) std::swap(dw, dh);
  if (std::int64_t(want.left) + sx >= dw || std::int64_t(want.top) + sy >= dh ||
      std::int64_t(want.right) + sx <= 0 || std::int64_t(want.bottom) + sy <= 0) {
    *h->previous = s;
    return Status::Ok;
  }
  GrxRect image, display = want;
  if (!mapDisplayRect(image, display, s.scale, width, height, sx, sy, s.rotation)) return Status::Failed;

  PreviewBitmap* fresh = h->previewRequest ? newPreview(want) : nullptr;
  GrxBlitTarget target{device, fresh ? &fresh->device : nullptr};
  Status status = renderRect(&target, &display, h, &image, s.scale, s.rotation, GRX_LINES_AUTOMATIC, nullptr);
  *h->previous = s;
  if (fresh != nullptr) {
    if (status == Status::Ok) {
      h->displayBitmaps[0] = fresh;
      h->freeDisplayBitmap = freePreview;
    } else {
      freePreview(fresh);
    }
  }
  return status;
}

Status displayImage(hv::engine::DisplayWindow* window, GrxDevice* device, const GrxRect* rect, ImageHdl h) {
  if (h == nullptr) return Status::NoHandle;
  if (window == nullptr || h->current == nullptr || h->previous == nullptr || h->record == nullptr)
    return Status::BadArgument;
  GrxDevice* own = device ? nullptr : window->acquireDevice();
  GrxDevice* dev = device ? device : own;
  Status status = Status::Failed;
  if (dev != nullptr && dev->blit != nullptr) status = paint(window, dev, rect, h);
  if (own != nullptr) window->releaseDevice(own);
  h->previewRequest = 0;
  return status;
}

Status useImageMemory(ImageHdl h) {
  if (h == nullptr || h->record == nullptr) return Status::BadArgument;
  if (h->memory == nullptr) {
    if (Status loaded = loadImageMemory(h, nullptr); loaded != Status::Ok) return loaded;
  }
  h->displayFromMemory = 1;
  dropPreview(h);
  return Status::Ok;
}

}  // namespace

extern "C" int grxDisplayImage(hv::engine::DisplayWindow* window, GrxDevice* device, const GrxRect* rect,
                               ImageHdl h) {
  return toGrxCode(displayImage(window, device, rect, h));
}

extern "C" int grxUseImageMemory(ImageHdl h) { return toGrxFlag(useImageMemory(h)); }
