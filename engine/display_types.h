#pragma once
// What the display code draws on: blit targets that take packed bands, and
// the small window interface the display calls use (client size, scroll
// bars, invalidation, a device to draw on). The viewer implements these with
// its widgets; tests and hvtool implement them in memory.
#include <cstdint>

#include "platform/export.h"

// One band handed to a device: `height` rows of `width` pixels, placed with
// their top-left pixel at (left, top) in device pixels. Row r starts at
// bits + r * rowBytes; its first pixel is bit `skip` of that row (most
// significant bit leftmost, 1 = black). Devices clip to their own surface.
struct GrxBand {
  std::int32_t left = 0, top = 0;
  std::int32_t width = 0, height = 0;
  const std::uint8_t* bits = nullptr;
  std::uint32_t rowBytes = 0;
  std::uint32_t skip = 0;
};

// A device context: something that bands can be copied to.
struct GrxDevice {
  void (*blit)(void* user, const GrxBand& band) = nullptr;
  void* user = nullptr;
};

// The target of a render: a device and an optional second device that
// receives the same bands.
struct GrxBlitTarget {
  GrxDevice* device = nullptr;
  GrxDevice* second = nullptr;
};

namespace hv::engine {

enum class ScrollBar { kHorizontal = 0, kVertical = 1 };

// The window a view draws in, as far as the display calls need it.
class HV_EXPORT DisplayWindow {
 public:
  virtual ~DisplayWindow() = default;
  // Size of the client area in device pixels (without the scroll bars that show).
  virtual void clientSize(std::int32_t& width, std::int32_t& height) const = 0;
  // Thickness of a scroll bar: the height of the horizontal one, the width of the vertical one.
  virtual std::int32_t scrollBarThickness(ScrollBar bar) const = 0;
  // Scroll range (0 to max; max 0 = no scroll bar) and position.
  virtual std::int32_t scrollRange(ScrollBar bar) const = 0;
  virtual void setScrollRange(ScrollBar bar, std::int32_t max) = 0;
  virtual std::int32_t scrollPos(ScrollBar bar) const = 0;
  virtual void setScrollPos(ScrollBar bar, std::int32_t pos) = 0;
  // Marks the whole client area for repainting.
  virtual void invalidate() = 0;
  // A device for drawing into the client area, returned by releaseDevice.
  virtual GrxDevice* acquireDevice() = 0;
  virtual void releaseDevice(GrxDevice* device) = 0;
};

}  // namespace hv::engine
