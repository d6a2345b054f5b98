#include "engine/display_surface.h"

#include <algorithm>
#include <cstring>

namespace hv::engine {
namespace {

// n (1 to 8) bits of src from bit `bit`, in the top bits of the result.
std::uint8_t readBits(const std::uint8_t* src, std::uint64_t bit, unsigned n) {
  std::size_t i = bit >> 3;
  unsigned s = bit & 7;
  unsigned v = unsigned(src[i]) << s;
  if (s + n > 8) v |= unsigned(src[i + 1]) >> (8 - s);
  return std::uint8_t(v);
}

void writeBits(std::uint8_t* dst, std::uint64_t bit, std::uint8_t value, unsigned n) {
  unsigned o = bit & 7;
  std::uint8_t mask = std::uint8_t((0xFFu >> o) & ~(0xFFu >> (o + n)));
  std::uint8_t& d = dst[bit >> 3];
  d = std::uint8_t((d & ~mask) | ((value >> o) & mask));
}

}  // namespace

void copyBits(std::uint8_t* dst, std::uint64_t dstBit, const std::uint8_t* src, std::uint64_t srcBit,
              std::uint32_t count) {
  // Up to the next whole byte of the destination.
  while (count > 0 && ((dstBit & 7) != 0 || count < 8)) {
    unsigned n = std::min<unsigned>(8 - (dstBit & 7), count);
    writeBits(dst, dstBit, readBits(src, srcBit, n), n);
    dstBit += n;
    srcBit += n;
    count -= n;
  }
  std::uint32_t whole = count / 8;
  if (whole > 0) {
    std::uint8_t* d = dst + (dstBit >> 3);
    if ((srcBit & 7) == 0) {
      std::memcpy(d, src + (srcBit >> 3), whole);
    } else {
      const std::uint8_t* s = src + (srcBit >> 3);
      unsigned sh = srcBit & 7;
      for (std::uint32_t i = 0; i + 1 < whole; ++i) d[i] = std::uint8_t((s[i] << sh) | (s[i + 1] >> (8 - sh)));
      d[whole - 1] = readBits(src, srcBit + std::uint64_t(whole - 1) * 8, 8);
    }
    dstBit += std::uint64_t(whole) * 8;
    srcBit += std::uint64_t(whole) * 8;
    count -= whole * 8;
  }
  if (count > 0) writeBits(dst, dstBit, readBits(src, srcBit, count), count);
}

void blitToSurface(const PackedSurface& s, const GrxBand& band) {
  std::int32_t l = std::max(band.left, s.left), t = std::max(band.top, s.top);
  std::int32_t r = std::min(band.left + band.width, s.left + s.width);
  std::int32_t b = std::min(band.top + band.height, s.top + s.height);
  if (l >= r || t >= b || s.bits == nullptr) return;
  for (std::int32_t y = t; y < b; ++y) {
    const std::uint8_t* src = band.bits + std::size_t(y - band.top) * band.rowBytes;
    std::uint8_t* dst = s.bits + std::size_t(y - s.top) * s.rowBytes;
    copyBits(dst, std::uint64_t(l - s.left), src, band.skip + std::uint64_t(l - band.left), std::uint32_t(r - l));
  }
}

void blitFromSurface(const PackedSurface& s, const GrxRect& clip, GrxDevice& device) {
  std::int32_t l = std::max(clip.left, s.left), t = std::max(clip.top, s.top);
  std::int32_t r = std::min(clip.right, s.left + s.width), b = std::min(clip.bottom, s.top + s.height);
  if (l >= r || t >= b || device.blit == nullptr) return;
  GrxBand band{l, t, r - l, b - t, s.bits + std::size_t(t - s.top) * s.rowBytes, s.rowBytes,
               std::uint32_t(l - s.left)};
  device.blit(device.user, band);
}

MemoryWindow::MemoryWindow(std::int32_t width, std::int32_t height, std::int32_t barThickness)
    : width_(std::max(width, 0)), height_(std::max(height, 0)), thickness_(std::max(barThickness, 0)) {
  surface_.width = width_;
  surface_.height = height_;
  surface_.rowBytes = std::uint32_t((width_ + 15) / 16 * 2);
  pixels_.assign(std::size_t(surface_.rowBytes) * std::size_t(height_) + 1, 0);
  surface_.bits = pixels_.data();
  device_.user = this;
  device_.blit = [](void* user, const GrxBand& band) {
    auto* w = static_cast<MemoryWindow*>(user);
    ++w->blits_;
    // Drawing is cut to the client area.
    std::int32_t cw, ch;
    w->clientSize(cw, ch);
    PackedSurface client = w->surface_;
    client.width = cw;
    client.height = ch;
    blitToSurface(client, band);
  };
}

void MemoryWindow::clientSize(std::int32_t& width, std::int32_t& height) const {
  width = width_ - (range_[int(ScrollBar::kVertical)] > 0 ? thickness_ : 0);
  height = height_ - (range_[int(ScrollBar::kHorizontal)] > 0 ? thickness_ : 0);
  width = std::max(width, 0);
  height = std::max(height, 0);
}

void MemoryWindow::setScrollRange(ScrollBar bar, std::int32_t max) {
  range_[int(bar)] = std::max(max, 0);
  pos_[int(bar)] = std::clamp(pos_[int(bar)], 0, range_[int(bar)]);
}

void MemoryWindow::setScrollPos(ScrollBar bar, std::int32_t pos) {
  pos_[int(bar)] = std::clamp(pos, 0, range_[int(bar)]);
}

bool MemoryWindow::pixel(std::int32_t x, std::int32_t y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return false;
  return (pixels_[std::size_t(y) * surface_.rowBytes + std::size_t(x >> 3)] >> (7 - (x & 7))) & 1;
}

void MemoryWindow::clear() { std::fill(pixels_.begin(), pixels_.end(), 0); }

}  // namespace hv::engine

