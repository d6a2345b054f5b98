#pragma once
// Deterministic generator of engineering-drawing content for tests and
// benchmarks: a bordered, zoned sheet with a title block, tables, dense
// lettering, views made of lines at all angles, circles, arcs, hatching and
// dimensions, plus a little scanner speckle. The same arguments always give
// the same pixels on every platform and standard library.
#include <cstdint>
#include <string>
#include <vector>

namespace hv::drawgen {

// A bilevel picture packed 1 bit per pixel, most significant bit leftmost,
// 1 = black, rows of `stride` = (width + 7) / 8 bytes, top row first. Padding
// bits at the end of a row are always 0.
struct Bitmap {
  std::uint32_t width = 0, height = 0, stride = 0;
  std::vector<std::uint8_t> bits;

  Bitmap() = default;
  Bitmap(std::uint32_t w, std::uint32_t h);

  // Out-of-range coordinates read as white and are ignored by set().
  bool get(std::uint32_t x, std::uint32_t y) const {
    if (x >= width || y >= height) return false;
    return (bits[std::size_t(y) * stride + (x >> 3)] >> (7 - (x & 7))) & 1u;
  }
  void set(std::uint32_t x, std::uint32_t y) {
    if (x >= width || y >= height) return;
    bits[std::size_t(y) * stride + (x >> 3)] |= std::uint8_t(0x80u >> (x & 7));
  }
  const std::uint8_t* row(std::uint32_t y) const { return bits.data() + std::size_t(y) * stride; }
  std::uint8_t* row(std::uint32_t y) { return bits.data() + std::size_t(y) * stride; }

  std::uint64_t blackPixels() const;
  bool operator==(const Bitmap&) const = default;
};

// Draws a sheet of width x height pixels scanned at `dpi`. Sizes of lettering,
// line weights and layout are physical, so the same sheet at 200 and 400 dpi
// looks alike. A dpi of 0 is taken as 200.
Bitmap generateDrawing(std::uint32_t width, std::uint32_t height, std::uint32_t dpi,
                       std::uint64_t seed);

struct SheetSize {
  std::uint32_t width = 0, height = 0;
};
// Landscape pixel size of a standard ANSI sheet 'A'..'E' (either case) at
// `dpi`; {0, 0} for any other letter.
SheetSize sheetSize(char letter, std::uint32_t dpi);

// Binary PBM (P4), written through an AtomicFile (platform/atomic_file.h):
// an existing file is either replaced whole or left as it was.
bool writePbm(const std::string& path, const Bitmap& bitmap);
// Reads P4 or plain P1 PBM, comments allowed. Fails (leaving `bitmap` empty)
// on anything malformed, including a header whose size the data cannot fill.
bool readPbm(const std::string& path, Bitmap& bitmap);
// The same from bytes already in memory.
bool parsePbm(const std::string& bytes, Bitmap& bitmap);

// Position of the first pixel at which two bitmaps differ, in row order; the
// text says where, or why the two cannot be compared (sizes differ). Empty
// when they are equal.
std::string firstDifference(const Bitmap& a, const Bitmap& b);

}  // namespace hv::drawgen
