#pragma once
// Shared by the rendering tests: small drawings written as TIFF files in
// several codings, and the reference picture of a view computed pixel by
// pixel from the drawing itself.
#include <algorithm>
#include <cstdint>
#include <string>

#include "engine/display.h"
#include "engine/display_surface.h"
#include "formats/tiff_tags.h"
#include "tests/support/temp_dir.h"
#include "tests/support/tiff_builder.h"
#include "tools/drawgen/drawgen.h"

namespace hv::engine::test {

using drawgen::Bitmap;

// An uncompressed single-strip TIFF of the bitmap; min-is-black files store
// the inverted bits so that the drawing shows the same.
std::string rawTiff(const Bitmap& bm, bool minIsBlack);

// The same drawing made by tiffcp: "g4", "packbits", "g4tiled" (tiles of
// 32 x 32). Empty when tiffcp is missing or fails.
std::string recodedTiff(const hv::test::TempDir& dir, const std::string& name, const Bitmap& bm,
                        const std::string& coding);

// The whole view of a drawing: display pixel j shows image pixels
// [floor(j n / d), max(floor(j n / d) + 1, floor((j + 1) n / d))) per axis
// and is black when any of them is; then turned by the rotation as band
// rotation defines it ((x, y) -> (y, w - 1 - x) for 900), then inverted.
Bitmap referenceView(const Bitmap& bm, const std::uint8_t scale[4], int rotation, bool invert);

// A rectangle of a bitmap; pixels outside it read white.
Bitmap crop(const Bitmap& bm, std::int32_t left, std::int32_t top, std::uint32_t width, std::uint32_t height);

// A drawing with lines, single pixels and a ragged edge, w x h.
Bitmap testDrawing(std::uint32_t w, std::uint32_t h, std::uint64_t seed);

// A blit device that counts the rows it is handed and the largest band in
// bytes, and passes every band on to a window when one is given.
struct BandCheck {
  std::size_t largest = 0;
  long rows = 0;
  MemoryWindow* window = nullptr;
  GrxDevice device{&BandCheck::blit, this};

  explicit BandCheck(MemoryWindow* to = nullptr) : window(to) {}
  BandCheck(const BandCheck&) = delete;
  BandCheck& operator=(const BandCheck&) = delete;

  static void blit(void* user, const GrxBand& b) {
    auto* c = static_cast<BandCheck*>(user);
    c->largest = std::max(c->largest, std::size_t(b.rowBytes) * std::size_t(b.height));
    c->rows += b.height;
    if (c->window != nullptr) {
      GrxDevice* d = c->window->acquireDevice();
      d->blit(d->user, b);
    }
  }
};

// The top-left width x height pixels of a window as a bitmap.
inline Bitmap pictureOf(MemoryWindow& window, std::uint32_t width, std::uint32_t height) {
  Bitmap picture(width, height);
  for (std::uint32_t y = 0; y < height; ++y)
    for (std::uint32_t x = 0; x < width; ++x)
      if (window.pixel(std::int32_t(x), std::int32_t(y))) picture.set(x, y);
  return picture;
}


// Definitions.

inline std::string rawTiff(const Bitmap& bm, bool minIsBlack) {
  std::string data(reinterpret_cast<const char*>(bm.bits.data()), bm.bits.size());
  if (minIsBlack)
    for (char& c : data) c = static_cast<char>(~c);
  hv::test::TiffBuilder b;
  std::uint32_t at = b.addData(data);
  b.longTag(formats::kTiffImageWidth, {bm.width})
      .longTag(formats::kTiffImageLength, {bm.height})
      .shortTag(formats::kTiffBitsPerSample, {1})
      .shortTag(formats::kTiffCompression, {formats::kTiffNoCompression})
      .shortTag(formats::kTiffPhotometric, {minIsBlack ? 1u : 0u})
      .longTag(formats::kTiffRowsPerStrip, {bm.height})
      .strips({at}, {std::uint32_t(data.size())});
  return b.build();
}

inline std::string recodedTiff(const hv::test::TempDir& dir, const std::string& name, const Bitmap& bm,
                        const std::string& coding) {
  if (!hv::test::haveProgram("tiffcp")) return "";
  std::string raw = dir.file(name + "-raw.tif"), out = dir.file(name + "-" + coding + ".tif");
  hv::test::writeFile(raw, rawTiff(bm, false));
  std::string options = coding == "g4"         ? "-c g4 -r 64"
                        : coding == "packbits" ? "-c packbits -r 16"
                        : coding == "g4tiled"  ? "-c g4 -t -w 32 -l 32"
                                               : "";
  if (options.empty()) return "";
  if (hv::test::runCommand("tiffcp " + options + " '" + raw + "' '" + out + "' >/dev/null 2>&1") != 0) return "";
  return out;
}

inline Bitmap referenceView(const Bitmap& bm, const std::uint8_t scale[4], int rotation, bool invert) {
  const unsigned xd = scale[0], xn = scale[1], yd = scale[2], yn = scale[3];
  const std::uint32_t W = std::uint32_t((std::uint64_t(bm.width) * xd + xn - 1) / xn);
  const std::uint32_t H = std::uint32_t((std::uint64_t(bm.height) * yd + yn - 1) / yn);
  auto group = [](std::uint32_t j, unsigned d, unsigned n, std::uint32_t limit, std::uint32_t& a, std::uint32_t& b) {
    a = std::uint32_t(std::uint64_t(j) * n / d);
    b = std::max<std::uint32_t>(a + 1, std::uint32_t(std::uint64_t(j + 1) * n / d));
    b = std::min(b, limit);
  };
  Bitmap flat(W, H);
  for (std::uint32_t v = 0; v < H; ++v) {
    std::uint32_t y0, y1;
    group(v, yd, yn, bm.height, y0, y1);
    for (std::uint32_t u = 0; u < W; ++u) {
      std::uint32_t x0, x1;
      group(u, xd, xn, bm.width, x0, x1);
      bool black = false;
      for (std::uint32_t y = y0; y < y1 && !black; ++y)
        for (std::uint32_t x = x0; x < x1 && !black; ++x) black = bm.get(x, y);
      if (black != invert) flat.set(u, v);
    }
  }
  int r = ((rotation % 3600) + 3600) % 3600;
  if (r == 0) return flat;
  bool swap = r == 900 || r == 2700;
  Bitmap out(swap ? H : W, swap ? W : H);
  for (std::uint32_t y = 0; y < H; ++y)
    for (std::uint32_t x = 0; x < W; ++x) {
      if (!flat.get(x, y)) continue;
      if (r == 900) out.set(y, W - 1 - x);
      else if (r == 1800) out.set(W - 1 - x, H - 1 - y);
      else out.set(H - 1 - y, x);
    }
  return out;
}

inline Bitmap crop(const Bitmap& bm, std::int32_t left, std::int32_t top, std::uint32_t width, std::uint32_t height) {
  Bitmap out(width, height);
  for (std::uint32_t y = 0; y < height; ++y)
    for (std::uint32_t x = 0; x < width; ++x) {
      std::int64_t sx = std::int64_t(left) + x, sy = std::int64_t(top) + y;
      if (sx >= 0 && sy >= 0 && bm.get(std::uint32_t(sx), std::uint32_t(sy))) out.set(x, y);
    }
  return out;
}

inline Bitmap testDrawing(std::uint32_t w, std::uint32_t h, std::uint64_t seed) {
  Bitmap bm(w, h);
  std::uint64_t s = seed * 6364136223846793005ull + 1442695040888963407ull;
  auto next = [&s] {
    s = s * 6364136223846793005ull + 1442695040888963407ull;
    return std::uint32_t(s >> 33);
  };
  // A border, some lines one pixel thick, a filled block, scattered dots.
  for (std::uint32_t x = 0; x < w; ++x) bm.set(x, 0), bm.set(x, h - 1);
  for (std::uint32_t y = 0; y < h; ++y) bm.set(0, y), bm.set(w - 1, y);
  for (int i = 0; i < 12; ++i) {
    std::uint32_t y = next() % h, x0 = next() % w, x1 = next() % w;
    for (std::uint32_t x = std::min(x0, x1); x <= std::max(x0, x1); ++x) bm.set(x, y);
    std::uint32_t x = next() % w, y0 = next() % h, y1 = next() % h;
    for (std::uint32_t y2 = std::min(y0, y1); y2 <= std::max(y0, y1); ++y2) bm.set(x, y2);
  }
  for (std::uint32_t y = h / 3; y < h / 2; ++y)
    for (std::uint32_t x = w / 4; x < w / 3; ++x) bm.set(x, y);
  for (int i = 0; i < int(w * h / 50); ++i) bm.set(next() % w, next() % h);
  for (std::uint32_t y = 0; y < h; ++y) bm.set(w - 2 - (y % 3), y);  // ragged right edge
  return bm;
}

}  // namespace hv::engine::test
