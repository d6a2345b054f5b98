#include "engine/display_math.h"

#include <algorithm>
#include <array>
#include <numeric>

namespace hv::engine {
namespace {

struct Fraction {
  std::uint8_t n, d;
};

// The fine table up to 8/1; every whole number from 9/1 to 32/1 follows.
constexpr Fraction kFineHead[] = {
    {1, 10}, {1, 8},  {1, 6},  {1, 5},  {1, 4},  {1, 3},  {3, 8},  {2, 5},  {1, 2},  {3, 5},  {2, 3}, {3, 4},
    {4, 5},  {1, 1},  {16, 15}, {9, 8}, {7, 6},  {6, 5},  {5, 4},  {4, 3},  {3, 2},  {5, 3},  {7, 4}, {15, 8},
    {2, 1},  {17, 8}, {7, 3},  {5, 2},  {8, 3},  {11, 4}, {23, 8}, {3, 1},  {13, 4}, {7, 2},  {15, 4}, {4, 1},
    {9, 2},  {5, 1},  {11, 2}, {6, 1},  {13, 2}, {7, 1},  {15, 2}, {8, 1}};
constexpr Fraction kSteps[] = {{1, 8}, {1, 4}, {1, 2}, {1, 1}, {3, 2}, {2, 1}, {3, 1},
                               {5, 1}, {7, 1}, {11, 1}, {16, 1}, {24, 1}, {32, 1}};

constexpr std::size_t kFineSize = std::size(kFineHead) + (32 - 8);

constexpr std::array<ZoomStep, kFineSize> buildFine() {
  std::array<ZoomStep, kFineSize> t{};
  std::size_t i = 0;
  for (Fraction f : kFineHead) t[i++] = {f.n, f.d, scaleRatio(f.n, f.d)};
  for (unsigned n = 9; n <= 32; ++n) t[i++] = {static_cast<std::uint8_t>(n), 1, scaleRatio(n, 1)};
  return t;
}

constexpr std::array<ZoomStep, std::size(kSteps)> buildSteps() {
  std::array<ZoomStep, std::size(kSteps)> t{};
  for (std::size_t i = 0; i < t.size(); ++i) t[i] = {kSteps[i].n, kSteps[i].d, scaleRatio(kSteps[i].n, kSteps[i].d)};
  return t;
}

constexpr auto kFine = buildFine();
constexpr auto kStep = buildSteps();

template <std::size_t N>
constexpr bool ascending(const std::array<ZoomStep, N>& t) {
  for (std::size_t i = 1; i < N; ++i)
    if (t[i].ratio <= t[i - 1].ratio) return false;
  return true;
}
static_assert(kFine.size() == 68 && ascending(kFine));
static_assert(kStep.size() == 13 && ascending(kStep));
static_assert(kFine[13].ratio == 65536 && kFine[67].n == 32);

void setBoth(std::uint8_t scale[4], const ZoomStep& s) {
  scale[0] = scale[2] = s.d;
  scale[1] = scale[3] = s.n;
}

}  // namespace

std::span<const ZoomStep> fineZoomTable() { return kFine; }
std::span<const ZoomStep> stepZoomTable() { return kStep; }

GrxRect rotateToDevice(const GrxRect& u, std::int32_t W, std::int32_t H, int rotation) {
  switch (normalRotation(rotation)) {
    case 900: return {u.top, W - u.right, u.bottom, W - u.left};
    case 1800: return {W - u.right, H - u.bottom, W - u.left, H - u.top};
    case 2700: return {H - u.bottom, u.left, H - u.top, u.right};
    default: return u;
  }
}

GrxRect rotateFromDevice(const GrxRect& v, std::int32_t W, std::int32_t H, int rotation) {
  switch (normalRotation(rotation)) {
    case 900: return {W - v.bottom, v.left, W - v.top, v.right};
    case 1800: return {W - v.right, H - v.bottom, W - v.left, H - v.top};
    case 2700: return {v.top, H - v.right, v.bottom, H - v.left};
    default: return v;
  }
}

bool mapDisplayRect(GrxRect& image, GrxRect& display, const std::uint8_t scale[4], std::uint32_t width,
                    std::uint32_t height, std::int32_t sx, std::int32_t sy, int rotation) {
  if (scale == nullptr || !isRightAngle(rotation) || width == 0 || height == 0) return false;
  unsigned xd = scale[0], xn = scale[1], yd = scale[2], yn = scale[3];
  if (xd == 0 || xn == 0 || yd == 0 || yn == 0) return false;
  std::int64_t W = toDisplay(width, xd, xn), H = toDisplay(height, yd, yn);
  std::int64_t RW = swapsAxes(rotation) ? H : W, RH = swapsAxes(rotation) ? W : H;
  std::int64_t l = std::max<std::int64_t>(std::int64_t(display.left) + sx, 0);
  std::int64_t t = std::max<std::int64_t>(std::int64_t(display.top) + sy, 0);
  std::int64_t r = std::min<std::int64_t>(std::int64_t(display.right) + sx, RW);
  std::int64_t b = std::min<std::int64_t>(std::int64_t(display.bottom) + sy, RH);
  if (l >= RW || t >= RH || r <= l || b <= t) return false;
  GrxRect u = rotateFromDevice({std::int32_t(l), std::int32_t(t), std::int32_t(r), std::int32_t(b)}, std::int32_t(W),
                               std::int32_t(H), rotation);
  // The image pixels of the display pixels, widened to whole groups.
  std::uint32_t il = groupStart(std::uint32_t(u.left), xd, xn);
  std::uint32_t it = groupStart(std::uint32_t(u.top), yd, yn);
  std::uint32_t ir = std::min(groupEnd(std::uint32_t(u.right - 1), xd, xn), width);
  std::uint32_t ib = std::min(groupEnd(std::uint32_t(u.bottom - 1), yd, yn), height);
  il -= il % xn;
  it -= it % yn;
  ir = std::min<std::uint32_t>((ir + xn - 1) / xn * xn, width);
  ib = std::min<std::uint32_t>((ib + yn - 1) / yn * yn, height);
  image = {std::int32_t(il), std::int32_t(it), std::int32_t(ir), std::int32_t(ib)};
  GrxRect covered{std::int32_t(toDisplay(il, xd, xn)), std::int32_t(toDisplay(it, yd, yn)),
                  std::int32_t(toDisplay(ir, xd, xn)), std::int32_t(toDisplay(ib, yd, yn))};
  GrxRect d = rotateToDevice(covered, std::int32_t(W), std::int32_t(H), rotation);
  display = {d.left - sx, d.top - sy, d.right - sx, d.bottom - sy};
  return true;
}

bool zoomInScale(std::uint8_t scale[4], std::uint32_t extentWidth, std::uint32_t extentHeight) {
  if (scale == nullptr || scale[0] == 0 || scale[1] == 0) return false;
  std::uint32_t current = scaleRatio(scale[1], scale[0]);
  std::size_t found = 0;
  while (found < kStep.size() && kStep[found].ratio < current) ++found;
  if (found == kStep.size() || found == 0) return false;
  // The largest magnification that keeps the displayed extent under 32767 pixels.
  std::uint32_t limit = std::min(32767 / std::max<std::uint32_t>(extentWidth, 1),
                                 32767 / std::max<std::uint32_t>(extentHeight, 1));
  std::size_t lowest = 0;
  while (lowest < kStep.size() && kStep[lowest].d != 1 && kStep[lowest].d > limit) ++lowest;
  if (found <= lowest) return false;
  setBoth(scale, kStep[found - 1]);
  return true;
}

bool zoomOutScale(std::uint8_t scale[4]) {
  if (scale == nullptr || scale[0] == 0 || scale[1] == 0) return false;
  std::uint32_t current = scaleRatio(scale[1], scale[0]);
  std::size_t i = kStep.size();
  while (i > 0 && kStep[i - 1].ratio > current) --i;
  if (i == 0 || i == kStep.size()) return false;
  setBoth(scale, kStep[i]);
  return true;
}

void fitDirection(std::uint32_t image, std::uint32_t target, std::uint8_t& n, std::uint8_t& d) {
  std::uint32_t g = std::gcd(image, target);
  if (g != 0 && image / g < 33 && target / g < 33) {
    n = static_cast<std::uint8_t>(image / g);
    d = static_cast<std::uint8_t>(target / g);
    return;
  }
  std::uint64_t ratio = (std::uint64_t(image) << 16) / std::max<std::uint32_t>(target, 1);
  auto it = std::lower_bound(kFine.begin(), kFine.end(), ratio,
                             [](const ZoomStep& s, std::uint64_t r) { return s.ratio < r; });
  if (it == kFine.end()) --it;
  n = it->n;
  d = it->d;
}

bool fitScale(std::uint32_t imageWidth, std::uint32_t imageHeight, std::int32_t targetWidth, std::int32_t targetHeight,
              int rotation, std::uint8_t scale[4]) {
  if (imageWidth == 0 || imageHeight == 0 || targetWidth <= 0 || targetHeight <= 0 || scale == nullptr) return false;
  if (swapsAxes(rotation)) std::swap(imageWidth, imageHeight);
  std::uint8_t xn, xd, yn, yd;
  fitDirection(imageWidth, std::uint32_t(targetWidth), xn, xd);
  fitDirection(imageHeight, std::uint32_t(targetHeight), yn, yd);
  bool horizontal = std::uint64_t(xn) * yd >= std::uint64_t(yn) * xd;
  std::uint8_t n = horizontal ? xn : yn, d = horizontal ? xd : yd;
  scale[0] = scale[2] = d;
  scale[1] = scale[3] = n;
  return true;
}

void displaySize(const DisplayState& s, std::int32_t& width, std::int32_t& height) {
  std::uint32_t w = std::uint32_t(std::max(s.right - s.left, 0)), h = std::uint32_t(std::max(s.bottom - s.top, 0));
  width = s.scale[0] && s.scale[1] ? std::int32_t(toDisplay(w, s.scale[0], s.scale[1])) : 0;
  height = s.scale[2] && s.scale[3] ? std::int32_t(toDisplay(h, s.scale[2], s.scale[3])) : 0;
  if (swapsAxes(s.rotation)) std::swap(width, height);
}

void displayOrigin(const DisplayState& s, std::int32_t& x, std::int32_t& y) {
  bool swap = swapsAxes(s.rotation);
  unsigned xd = s.scale[swap ? 2 : 0], xn = std::max<unsigned>(s.scale[swap ? 3 : 1], 1);
  unsigned yd = s.scale[swap ? 0 : 2], yn = std::max<unsigned>(s.scale[swap ? 1 : 3], 1);
  x = s.displayX >= 0 ? s.displayX : std::int32_t(toDisplay(std::uint32_t(std::max(s.originX, 0)), xd, xn));
  y = s.displayY >= 0 ? s.displayY : std::int32_t(toDisplay(std::uint32_t(std::max(s.originY, 0)), yd, yn));
}

void imageOrigin(const DisplayState& s, std::int32_t x, std::int32_t y, std::int32_t& ix, std::int32_t& iy) {
  bool swap = swapsAxes(s.rotation);
  unsigned xd = std::max<unsigned>(s.scale[swap ? 2 : 0], 1), xn = s.scale[swap ? 3 : 1];
  unsigned yd = std::max<unsigned>(s.scale[swap ? 0 : 2], 1), yn = s.scale[swap ? 1 : 3];
  ix = std::int32_t(toImage(std::uint32_t(std::max(x, 0)), xd, xn));
  iy = std::int32_t(toImage(std::uint32_t(std::max(y, 0)), yd, yn));
}

std::int32_t scrollRangeFor(std::int32_t displaySize, std::int32_t clientSize, bool barShowing,
                            std::int32_t thickness) {
  std::int32_t range = displaySize - clientSize;
  if (range < 0 || (barShowing && range < thickness)) return 0;
  return range;
}

}  // namespace hv::engine
