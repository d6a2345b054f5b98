#pragma once
// Image transforms: mirroring image memory left to right, and turning packed
// bands by a right angle for rotated views.
#include <cstdint>

#include "engine/image_handle.h"
#include "platform/export.h"
#include "platform/status.h"

namespace hv::engine {

// Work record of a band rotation. The source is a packed band (most
// significant bit leftmost) of `sourceRowBytes` bytes per row and
// `sourceRows` rows, a multiple of 8; `sourceWidth` is how many pixels of
// each row are picture (the rest is padding). The result band, zeroed by the
// rotation, is `resultSize` bytes; the rotation fills in its row bytes, width
// in pixels and rows, and the padding pixels it carries before the picture:
// leading rows for 90, leading columns for 180. (For 270 the leading columns
// are the source rows below the picture, which only the caller knows.)
struct BandRotation {
  int angle = 0;  // 0, 90, 180 or 270
  const std::uint8_t* source = nullptr;
  std::uint32_t sourceRowBytes = 0;
  std::uint32_t sourceRows = 0;
  std::uint32_t sourceWidth = 0;
  std::uint8_t* result = nullptr;
  std::uint32_t resultRowBytes = 0;
  std::uint32_t resultWidth = 0;
  std::uint32_t resultRows = 0;
  std::uint32_t resultSize = 0;
  std::uint32_t padding = 0;
};

// Rotation by 90 maps (x, y) of a w x h band to (y, w - 1 - x) of an h x w
// result (a quarter turn counterclockwise on the screen), 270 maps it to
// (h - 1 - y, x), 180 to (w - 1 - x, h - 1 - y); w is the padded width
// sourceRowBytes * 8. Ok; BadRotation for an angle not 0, 90, 180 or 270, TooSmall
// when the result band cannot hold the source (or a band is missing), and
// nothing is written then.
HV_EXPORT Status rotateBand(BandRotation& work);

}  // namespace hv::engine

extern "C" {
// Mirrors every line of the image memory left to right. -3 without a handle,
// -6 without image memory, -8 when memory runs out part-way (the lines
// already mirrored stay mirrored), else 0.
[[nodiscard]] HV_EXPORT int grxMirrorImage(ImageHdl handle);
}
