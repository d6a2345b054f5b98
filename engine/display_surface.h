#pragma once
// Packed 1-bit surfaces that bands are copied into: the preview bitmap of a
// handle, and the in-memory window that tests and hvtool draw on.
#include <cstdint>
#include <vector>

#include "engine/display_types.h"
#include "engine/image_handle.h"
#include "platform/export.h"

namespace hv::engine {

// Copies `count` bits from src (starting at bit srcBit, most significant bit
// of a byte first) to dst (starting at dstBit); other bits of dst stay.
HV_EXPORT void copyBits(std::uint8_t* dst, std::uint64_t dstBit, const std::uint8_t* src,
                        std::uint64_t srcBit, std::uint32_t count);

// A packed surface (1 = black) whose pixel (0, 0) lies at device (left, top).
struct PackedSurface {
  std::int32_t left = 0, top = 0;
  std::int32_t width = 0, height = 0;
  std::uint32_t rowBytes = 0;
  std::uint8_t* bits = nullptr;
};

// Copies a band into the surface, cut to the surface.
HV_EXPORT void blitToSurface(const PackedSurface& surface, const GrxBand& band);
// Copies the part of the surface inside `clip` (device pixels) to a device.
HV_EXPORT void blitFromSurface(const PackedSurface& surface, const GrxRect& clip, GrxDevice& device);

// A window held in memory: a white client area of a fixed size, scroll bars
// as numbers, and a device that draws into the client area.
class HV_EXPORT MemoryWindow : public DisplayWindow {
 public:
  // `width` x `height` is the window's inside; a scroll bar that shows takes
  // `barThickness` pixels of it.
  MemoryWindow(std::int32_t width, std::int32_t height, std::int32_t barThickness = 0);

  void clientSize(std::int32_t& width, std::int32_t& height) const override;
  std::int32_t scrollBarThickness(ScrollBar) const override { return thickness_; }
  std::int32_t scrollRange(ScrollBar bar) const override { return range_[int(bar)]; }
  void setScrollRange(ScrollBar bar, std::int32_t max) override;
  std::int32_t scrollPos(ScrollBar bar) const override { return pos_[int(bar)]; }
  void setScrollPos(ScrollBar bar, std::int32_t pos) override;
  void invalidate() override { ++invalidations_; }
  GrxDevice* acquireDevice() override { return &device_; }
  void releaseDevice(GrxDevice*) override {}

  // The surface (the whole inside of the window), 1 = black.
  const PackedSurface& surface() const { return surface_; }
  std::uint32_t rowBytes() const { return surface_.rowBytes; }
  const std::vector<std::uint8_t>& pixels() const { return pixels_; }
  bool pixel(std::int32_t x, std::int32_t y) const;
  void clear();
  int invalidations() const { return invalidations_; }
  int blits() const { return blits_; }

 private:
  std::int32_t width_, height_, thickness_;
  std::int32_t range_[2] = {0, 0}, pos_[2] = {0, 0};
  int invalidations_ = 0, blits_ = 0;
  std::vector<std::uint8_t> pixels_;
  PackedSurface surface_;
  GrxDevice device_;
};

}  // namespace hv::engine
