// The view's display calls: mapping, zoom steps, fitting, scrolling, zoom
// to a selection and the view rotation.
#include <algorithm>
#include <cmath>

#include "engine/display.h"
#include "engine/display_math.h"
#include "engine/grx_codes.h"

using namespace hv::engine;
using hv::Status;

namespace {

bool hasScale(const DisplayState& s) { return s.scale[0] && s.scale[1] && s.scale[2] && s.scale[3]; }

// Whole-view display size of the image (unrotated) at the state's scale.
void unrotatedSize(ImageHdl h, const DisplayState& s, std::int32_t& W, std::int32_t& H) {
  W = std::int32_t(toDisplay(h->record->width, s.scale[0], s.scale[1]));
  H = std::int32_t(toDisplay(h->record->height, s.scale[2], s.scale[3]));
}

// A point between image pixels and whole-view device pixels.
void imageToDevice(ImageHdl h, const DisplayState& s, double ix, double iy, double& x, double& y) {
  std::int32_t W, H;
  unrotatedSize(h, s, W, H);
  double u = ix * s.scale[0] / s.scale[1], v = iy * s.scale[2] / s.scale[3];
  switch (normalRotation(s.rotation)) {
    case 900:
      x = v, y = W - u;
      break;
    case 1800:
      x = W - u, y = H - v;
      break;
    case 2700:
      x = H - v, y = u;
      break;
    default:
      x = u, y = v;
  }
}

void deviceToImage(ImageHdl h, const DisplayState& s, double x, double y, double& ix, double& iy) {
  std::int32_t W, H;
  unrotatedSize(h, s, W, H);
  double u, v;
  switch (normalRotation(s.rotation)) {
    case 900:
      u = W - y, v = x;
      break;
    case 1800:
      u = W - x, v = H - y;
      break;
    case 2700:
      u = y, v = H - x;
      break;
    default:
      u = x, v = y;
  }
  ix = u * s.scale[1] / s.scale[0];
  iy = v * s.scale[3] / s.scale[2];
}

void currentScroll(DisplayWindow* window, ImageHdl h, std::int32_t& sx, std::int32_t& sy) {
  if (h->scrollBars && window != nullptr) {
    sx = window->scrollPos(ScrollBar::kHorizontal);
    sy = window->scrollPos(ScrollBar::kVertical);
  } else {
    displayOrigin(*h->current, sx, sy);
  }
}

// The image point at the centre of the client area.
void centrePoint(DisplayWindow* window, ImageHdl h, double& ix, double& iy) {
  std::int32_t cw, ch, sx, sy;
  window->clientSize(cw, ch);
  currentScroll(window, h, sx, sy);
  deviceToImage(h, *h->current, sx + cw / 2.0, sy + ch / 2.0, ix, iy);
}

// Scrolls so that the image point is at the centre of the client area.
void centreOn(DisplayWindow* window, ImageHdl h, double ix, double iy) {
  std::int32_t cw, ch;
  window->clientSize(cw, ch);
  double x, y;
  imageToDevice(h, *h->current, ix, iy, x, y);
  DisplayState& s = *h->current;
  s.displayX = std::max(0, std::int32_t(std::lround(x - cw / 2.0)));
  s.displayY = std::max(0, std::int32_t(std::lround(y - ch / 2.0)));
}

}  // namespace

extern "C" int grxMapDisplayRect(GrxRect* image, GrxRect* display, const std::uint8_t scale[4],
                                 std::uint32_t width, std::uint32_t height, std::int32_t scrollX,
                                 std::int32_t scrollY, int rotation) {
  if (image == nullptr || display == nullptr) return toGrxFlag(Status::BadArgument);
  return toGrxFlag(mapDisplayRect(*image, *display, scale, width, height, scrollX, scrollY, rotation) ? Status::Ok
                                                                                                     : Status::Failed);
}

extern "C" int grxImageToDisplayRect(ImageHdl h, GrxRect* display, const GrxRect* image) {
  if (h == nullptr) return toGrxCode(Status::NoHandle);
  if (display == nullptr || image == nullptr || h->current == nullptr || h->record == nullptr)
    return toGrxCode(Status::BadArgument);
  const DisplayState& s = *h->current;
  if (!hasScale(s) || !isRightAngle(s.rotation)) return toGrxCode(Status::Failed);
  auto at = [](std::int32_t v, unsigned d, unsigned n) {
    return std::int32_t(toDisplay(std::uint32_t(std::max(v, 0)), d, n));
  };
  GrxRect u{at(image->left, s.scale[0], s.scale[1]), at(image->top, s.scale[2], s.scale[3]),
            at(image->right, s.scale[0], s.scale[1]), at(image->bottom, s.scale[2], s.scale[3])};
  std::int32_t W, H, sx, sy;
  unrotatedSize(h, s, W, H);
  displayOrigin(s, sx, sy);
  GrxRect d = rotateToDevice(u, W, H, s.rotation);
  *display = {d.left - sx, d.top - sy, d.right - sx, d.bottom - sy};
  return toGrxCode(Status::Ok);
}

extern "C" int grxPhysicalSizeRect(ImageHdl h, GrxRect* rect, double widthInches, double heightInches) {
  if (h == nullptr || rect == nullptr || h->record == nullptr || !(widthInches >= 0) || !(heightInches >= 0))
    return toGrxCode(Status::BadArgument);
  double w = std::floor(h->record->xResolution * widthInches),
         ht = std::floor(h->record->yResolution * heightInches);
  if (w > h->record->width || ht > h->record->height) return toGrxCode(Status::OutsideImage);
  *rect = {0, 0, std::int32_t(w), std::int32_t(ht)};
  return toGrxCode(Status::Ok);
}

extern "C" int grxZoomIn(ImageHdl h, std::uint8_t scale[4]) {
  if (h == nullptr || h->current == nullptr || scale == nullptr) return toGrxFlag(Status::BadArgument);
  const DisplayState& s = *h->current;
  return toGrxFlag(zoomInScale(scale, std::uint32_t(std::max(s.right - s.left, 1)),
                               std::uint32_t(std::max(s.bottom - s.top, 1)))
                       ? Status::Ok
                       : Status::NothingToDo);
}

extern "C" int grxZoomOut(ImageHdl h, std::uint8_t scale[4]) {
  if (h == nullptr || scale == nullptr) return toGrxFlag(Status::BadArgument);
  return toGrxFlag(zoomOutScale(scale) ? Status::Ok : Status::NothingToDo);
}

extern "C" int grxFitToWindow(DisplayWindow* window, ImageHdl h, DisplayState* state) {
  if (window == nullptr || h == nullptr || h->current == nullptr || h->record == nullptr)
    return toGrxFlag(Status::BadArgument);
  std::int32_t cw, ch;
  window->clientSize(cw, ch);
  // Fitting removes the scroll bars: their room counts (less one pixel).
  if (window->scrollRange(ScrollBar::kHorizontal) > 0)
    ch += window->scrollBarThickness(ScrollBar::kHorizontal) - 1;
  if (window->scrollRange(ScrollBar::kVertical) > 0)
    cw += window->scrollBarThickness(ScrollBar::kVertical) - 1;
  DisplayState s = *h->current;
  if (!fitScale(h->record->width, h->record->height, cw, ch, s.rotation, s.scale)) return toGrxFlag(Status::Failed);
  s.left = s.top = 0;
  s.right = std::int32_t(h->record->width);
  s.bottom = std::int32_t(h->record->height);
  s.originX = s.originY = 0;
  s.displayX = s.displayY = 0;
  s.invert = h->invert;
  s.scrollBars = h->scrollBars;
  *(state ? state : h->current) = s;
  return toGrxFlag(Status::Ok);
}

namespace {

Status updateScrolling(DisplayWindow* window, ImageHdl h, int keepPosition) {
  if (h == nullptr) return Status::NoHandle;
  if (window == nullptr || h->current == nullptr || h->record == nullptr) return Status::BadArgument;
  if (h->scrollingBusy) return Status::Ok;
  DisplayState& s = *h->current;
  if (!hasScale(s)) return Status::Failed;
  h->scrollingBusy = 1;
  std::int32_t dw, dh, cw, ch;
  displaySize(s, dw, dh);
  std::int32_t origin[2];
  displayOrigin(s, origin[0], origin[1]);
  bool bars = s.scrollBars != 0;
  bool changed = false;
  // A bar that appears or goes changes the client size, and so the other
  // bar's range: repeat until the ranges settle.
  for (int pass = 0; pass < 3; ++pass) {
    std::int32_t before[2] = {window->scrollRange(ScrollBar::kHorizontal),
                              window->scrollRange(ScrollBar::kVertical)};
    for (ScrollBar bar : {ScrollBar::kHorizontal, ScrollBar::kVertical}) {
      int i = int(bar);
      window->clientSize(cw, ch);
      std::int32_t oldRange = window->scrollRange(bar);
      std::int32_t range =
          scrollRangeFor(i == 0 ? dw : dh, i == 0 ? cw : ch, oldRange > 0, window->scrollBarThickness(bar));
      std::int32_t pos = keepPosition || !bars ? origin[i] : window->scrollPos(bar);
      if (!keepPosition && bars && oldRange > 0) pos = std::int32_t(std::int64_t(pos) * range / oldRange);
      pos = std::clamp(pos, 0, range);
      if (pos != (bars ? window->scrollPos(bar) : origin[i])) changed = true;
      if (bars) {
        window->setScrollRange(bar, range);
        window->setScrollPos(bar, pos);
      }
      origin[i] = pos;
    }
    if (!bars || (before[0] == window->scrollRange(ScrollBar::kHorizontal) &&
                  before[1] == window->scrollRange(ScrollBar::kVertical)))
      break;
    keepPosition = 1;
  }
  if (changed) window->invalidate();
  s.displayX = origin[0];
  s.displayY = origin[1];
  imageOrigin(s, origin[0], origin[1], s.originX, s.originY);
  h->scrollingBusy = 0;
  return Status::Ok;
}

}  // namespace

extern "C" int grxUpdateScrolling(DisplayWindow* window, ImageHdl h, int keepPosition) {
  return toGrxCode(updateScrolling(window, h, keepPosition));
}

extern "C" void grxSetOneToOne(DisplayWindow* window, ImageHdl h) {
  if (window == nullptr || h == nullptr || h->current == nullptr || h->record == nullptr) return;
  DisplayState& s = *h->current;
  double ix = 0, iy = 0;
  if (hasScale(s)) centrePoint(window, h, ix, iy);
  s.scale[0] = s.scale[1] = s.scale[2] = s.scale[3] = 1;
  if (ix != 0 || iy != 0)
    centreOn(window, h, ix, iy);
  else
    s.displayX = s.displayY = 0;
  window->invalidate();
  (void)updateScrolling(window, h, 1);
}

extern "C" int grxZoomToRect(DisplayWindow* window, ImageHdl h, const GrxRect* rect) {
  if (window == nullptr || h == nullptr || rect == nullptr || h->current == nullptr || h->record == nullptr)
    return toGrxCode(Status::Failed);
  if (rect->left >= rect->right || rect->top >= rect->bottom) return toGrxCode(Status::Failed);
  DisplayState& s = *h->current;
  std::int32_t sx, sy;
  currentScroll(window, h, sx, sy);
  GrxRect image, display = *rect;
  if (!mapDisplayRect(image, display, s.scale, h->record->width, h->record->height, sx, sy, s.rotation))
    return toGrxCode(Status::Failed);
  std::int32_t cw, ch;
  window->clientSize(cw, ch);
  if (!fitScale(std::uint32_t(image.right - image.left), std::uint32_t(image.bottom - image.top), cw, ch,
                s.rotation, s.scale))
    return toGrxCode(Status::Failed);
  centreOn(window, h, (image.left + image.right) / 2.0, (image.top + image.bottom) / 2.0);
  window->invalidate();
  return toGrxCode(updateScrolling(window, h, 1));
}

extern "C" int grxSetViewRotation(DisplayWindow* window, ImageHdl h, int rotation) {
  if (!isRightAngle(rotation) || window == nullptr || h == nullptr || h->current == nullptr ||
      h->record == nullptr)
    return toGrxCode(Status::Failed);
  DisplayState& s = *h->current;
  double ix = 0, iy = 0;
  bool scaled = hasScale(s);
  if (scaled) centrePoint(window, h, ix, iy);
  s.rotation = normalRotation(rotation);
  if (scaled) centreOn(window, h, ix, iy);
  window->invalidate();
  return toGrxCode(scaled ? updateScrolling(window, h, 1) : Status::Ok);
}
