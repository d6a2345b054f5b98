#pragma once
// The arithmetic of the display: how image pixels group into display pixels
// at a scale, mapping window rectangles to image rectangles through the view
// rotation and the scroll position, the zoom tables, zoom steps and fitting.
//
// A scale is four bytes: horizontal denominator and numerator, vertical
// denominator and numerator. v image pixels show as ceil(v * d / n) display
// pixels. Display pixel j shows the image pixels
//   [floor(j * n / d), max(floor(j * n / d) + 1, floor((j + 1) * n / d)))
// so a reduction (n > d) shows groups of floor(n / d) or ceil(n / d) pixels
// (the group is black when any of its pixels is black), and a magnification
// (n < d) repeats each pixel over ceil((i + 1) * d / n) - ceil(i * d / n)
// display pixels.
#include <cstdint>
#include <span>

#include "engine/image_handle.h"
#include "platform/export.h"

namespace hv::engine {

// Display pixels of v image pixels: ceil(v * d / n).
constexpr std::uint32_t toDisplay(std::uint64_t v, unsigned d, unsigned n) {
  return static_cast<std::uint32_t>((v * d + n - 1) / n);
}
// Image pixels covered by a display distance v: ceil(v * n / d).
constexpr std::uint32_t toImage(std::uint64_t v, unsigned d, unsigned n) {
  return static_cast<std::uint32_t>((v * n + d - 1) / d);
}
// First image pixel shown by display pixel j.
constexpr std::uint32_t groupStart(std::uint64_t j, unsigned d, unsigned n) {
  return static_cast<std::uint32_t>(j * n / d);
}
// One past the last image pixel shown by display pixel j.
constexpr std::uint32_t groupEnd(std::uint64_t j, unsigned d, unsigned n) {
  std::uint64_t s = j * n / d, e = (j + 1) * n / d;
  return static_cast<std::uint32_t>(e > s ? e : s + 1);
}
// The display pixels [first, end) that show any of the image pixels [a, b).
constexpr std::uint32_t runDisplayFirst(std::uint64_t a, unsigned d, unsigned n) {
  return n > d ? static_cast<std::uint32_t>(((a + 1) * d + n - 1) / n - 1) : toDisplay(a, d, n);
}
constexpr std::uint32_t runDisplayEnd(std::uint64_t b, unsigned d, unsigned n) { return toDisplay(b, d, n); }

// True for 0, 900, 1800, 2700 and their equivalents modulo 3600.
constexpr bool isRightAngle(int rotation) { return rotation % 900 == 0; }
constexpr int normalRotation(int rotation) { return ((rotation % 3600) + 3600) % 3600; }
constexpr bool swapsAxes(int rotation) {
  return normalRotation(rotation) == 900 || normalRotation(rotation) == 2700;
}

// Rectangles between the unrotated display (the whole image at the scale,
// W x H display pixels) and the device (the same turned by the rotation).
HV_EXPORT GrxRect rotateToDevice(const GrxRect& unrotated, std::int32_t W, std::int32_t H, int rotation);
HV_EXPORT GrxRect rotateFromDevice(const GrxRect& device, std::int32_t W, std::int32_t H, int rotation);

// Maps a device rectangle at scroll position (sx, sy) to the image rectangle
// that feeds it, widened to whole groups of image pixels, and rewrites the
// device rectangle to exactly what that image rectangle covers. False when
// the scale has a zero term, the rotation is not a right angle, or the
// rectangle is empty or starts beyond the displayed image.
HV_EXPORT bool mapDisplayRect(GrxRect& image, GrxRect& display, const std::uint8_t scale[4],
                              std::uint32_t width, std::uint32_t height, std::int32_t sx, std::int32_t sy,
                              int rotation);

// One zoom step: display = image * d / n; ratio = n * 65536 / d.
struct ZoomStep {
  std::uint8_t n, d;
  std::uint32_t ratio;
};
HV_EXPORT std::span<const ZoomStep> fineZoomTable();  // 68 steps, fit to window and zoom to rectangle
HV_EXPORT std::span<const ZoomStep> stepZoomTable();  // 13 steps, zoom in and out

constexpr std::uint32_t scaleRatio(unsigned n, unsigned d) {
  return static_cast<std::uint32_t>((n * 65536u) / d);
}

// Steps the scale through the step table (both directions take the new
// entry); false when no step can be taken. Zooming in stops where the
// displayed extent would exceed 32767 pixels on a side.
HV_EXPORT bool zoomInScale(std::uint8_t scale[4], std::uint32_t extentWidth, std::uint32_t extentHeight);
HV_EXPORT bool zoomOutScale(std::uint8_t scale[4]);

// The scale showing `image` pixels in `target` display pixels in one
// direction: the reduced fraction when both its terms are below 33, else
// the first fine-table step whose ratio is at least image * 65536 / target
// (the last step when none is).
HV_EXPORT void fitDirection(std::uint32_t image, std::uint32_t target, std::uint8_t& n, std::uint8_t& d);
// Both directions; the one that shows the smaller picture is taken for both.
// False when a size is 0.
HV_EXPORT bool fitScale(std::uint32_t imageWidth, std::uint32_t imageHeight, std::int32_t targetWidth,
                        std::int32_t targetHeight, int rotation, std::uint8_t scale[4]);

// The displayed size of the state's extent at its scale and rotation (device axes).
HV_EXPORT void displaySize(const DisplayState& s, std::int32_t& width, std::int32_t& height);

// The view origin in display pixels (DisplayState::displayX and displayY),
// derived from the image origin (originX and originY) when unset (-1). Device x shows image y under 900 and
// 2700, so each device axis uses the scale of the image axis it shows.
HV_EXPORT void displayOrigin(const DisplayState& s, std::int32_t& x, std::int32_t& y);
// The image origin of a display origin: ceil(position * n / d) per axis.
HV_EXPORT void imageOrigin(const DisplayState& s, std::int32_t x, std::int32_t y, std::int32_t& ix,
                           std::int32_t& iy);

// The scroll range of one direction: display size - client size, 0 when that
// is negative or, when the bar shows, less than its thickness.
HV_EXPORT std::int32_t scrollRangeFor(std::int32_t displaySize, std::int32_t clientSize, bool barShowing,
                                      std::int32_t thickness);

}  // namespace hv::engine
