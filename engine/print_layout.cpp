// Page layout of a printed drawing (see print_layout.h).
#include "engine/print_layout.h"

#include <algorithm>
#include <cstdio>

#include "engine/display_math.h"

namespace hv::engine {

int stampPrintHeight(std::uint32_t dpi) {
  if (dpi == 0) return kStampPrintHeight;
  std::uint64_t h = (std::uint64_t(kStampPrintHeight) * dpi + kStampReferenceDpi / 2) / kStampReferenceDpi;
  return int(std::clamp<std::uint64_t>(h, 1, 4096));
}

namespace {

// The size the scale gives the rectangle, in device axes.
void pictureSize(std::uint32_t w, std::uint32_t h, const std::uint8_t s[4], int rotation, std::uint32_t& pw,
                 std::uint32_t& ph) {
  pw = toDisplay(w, s[0], s[1]);
  ph = toDisplay(h, s[2], s[3]);
  if (swapsAxes(rotation)) std::swap(pw, ph);
}

// The fine steps reach 32/1 at most; a picture that still overflows the area
// takes the smallest whole reduction that fits (the scale's byte allows 255).
bool fitInto(std::uint32_t w, std::uint32_t h, std::uint32_t areaW, std::uint32_t areaH, int rotation,
             std::uint8_t scale[4]) {
  if (!fitScale(w, h, std::int32_t(areaW), std::int32_t(areaH), rotation, scale)) return false;
  std::uint32_t pw, ph;
  pictureSize(w, h, scale, rotation, pw, ph);
  if (pw <= areaW && ph <= areaH) return true;
  std::uint32_t dw = swapsAxes(rotation) ? h : w, dh = swapsAxes(rotation) ? w : h;
  std::uint32_t n = std::max((dw + areaW - 1) / areaW, (dh + areaH - 1) / areaH);
  if (n > 255) return false;
  scale[0] = scale[2] = 1;
  scale[1] = scale[3] = std::uint8_t(n);
  return true;
}

}  // namespace

Status layoutPrintPage(const PrintPage& page, const PrintSource& source, const PrintOptions& options,
                     PrintLayout& layout) {
  if (page.width <= 0 || page.height <= 0 || source.imageWidth == 0 || source.imageHeight == 0) return Status::BadArgument;
  if (!isRightAngle(source.rotation)) return Status::BadRotation;
  if (options.stampLine < 0) return Status::BadArgument;
  GrxRect r = source.rect;
  if (r.right <= r.left || r.bottom <= r.top) {
    r = {0, 0, std::int32_t(source.imageWidth), std::int32_t(source.imageHeight)};
  } else {
    r.left = std::max(r.left, 0);
    r.top = std::max(r.top, 0);
    r.right = std::min<std::int64_t>(r.right, source.imageWidth);
    r.bottom = std::min<std::int64_t>(r.bottom, source.imageHeight);
    if (r.right <= r.left || r.bottom <= r.top) return Status::BadArgument;
  }
  const std::uint32_t w = std::uint32_t(r.right - r.left), h = std::uint32_t(r.bottom - r.top);

  const std::int32_t top = options.stampLine;
  const std::int32_t areaW = page.width, areaH = page.height - top;
  if (areaH <= 0) return Status::TooSmall;

  int rotation = normalRotation(source.rotation);
  if (options.rotateForBestFit) {
    const bool turned = swapsAxes(rotation);
    const bool picturePortrait = (turned ? h : w) < (turned ? w : h);
    const bool pagePortrait = page.width < page.height;
    if (picturePortrait != pagePortrait) rotation = normalRotation(rotation + 900);
  }

  PrintLayout out;
  out.image = r;
  out.rotation = rotation;
  if (!fitInto(w, h, std::uint32_t(areaW), std::uint32_t(areaH), rotation, out.scale)) return Status::TooSmall;
  std::uint32_t pw, ph;
  pictureSize(w, h, out.scale, rotation, pw, ph);
  const std::int32_t x = (areaW - std::int32_t(pw)) / 2, y = top + (areaH - std::int32_t(ph)) / 2;
  out.picture = {x, y, x + std::int32_t(pw), y + std::int32_t(ph)};
  if (top > 0) out.stamp = {0, 0, page.width, top};
  layout = out;
  return Status::Ok;
}

std::string formatPrintStamp(const std::tm& when, const std::string& path) {
  static constexpr const char* kMonths[12] = {"January", "February", "March",     "April",   "May",      "June",
                                              "July",    "August",   "September", "October", "November", "December"};
  std::string name = path.substr(path.find_last_of("/\\") == std::string::npos ? 0 : path.find_last_of("/\\") + 1);
  name = name.substr(0, name.find('.'));
  const int month = std::clamp(when.tm_mon, 0, 11);
  char head[64];
  std::snprintf(head, sizeof head, "%s %02d, %04d %02d:%02d:%02d [", kMonths[month], when.tm_mday,
                when.tm_year + 1900, when.tm_hour, when.tm_min, when.tm_sec);
  return head + name + "]";
}

}  // namespace hv::engine
