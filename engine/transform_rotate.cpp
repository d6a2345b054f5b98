// Turning packed bands by right angles, 8 x 8 pixel blocks at a time.
#include <array>
#include <cstring>

#include "engine/transform.h"
#include "formats/bit_reversal.h"

namespace hv::engine {
namespace {

constexpr const auto& kReverse = formats::kBitReversal;

// Eight rows of one byte each, row 0 in the most significant byte.
std::uint64_t gatherBlock(const std::uint8_t* p, std::uint32_t stride) {
  std::uint64_t v = 0;
  for (int r = 0; r < 8; ++r) v = (v << 8) | p[r * stride];
  return v;
}

void scatterBlock(std::uint64_t v, std::uint8_t* p, std::uint32_t stride) {
  for (int r = 7; r >= 0; --r) {
    p[r * stride] = static_cast<std::uint8_t>(v);
    v >>= 8;
  }
}

// Transposes an 8 x 8 block: pixel (x, y) goes to (y, x). Bit 63 - (8y + x)
// holds pixel (x, y).
std::uint64_t transpose(std::uint64_t v) {
  std::uint64_t t = (v ^ (v >> 7)) & 0x00AA00AA00AA00AAull;
  v ^= t ^ (t << 7);
  t = (v ^ (v >> 14)) & 0x0000CCCC0000CCCCull;
  v ^= t ^ (t << 14);
  t = (v ^ (v >> 28)) & 0x00000000F0F0F0F0ull;
  v ^= t ^ (t << 28);
  return v;
}

// Reverses the order of the eight rows of a block.
std::uint64_t flipRows(std::uint64_t v) { return __builtin_bswap64(v); }

// Reverses every row of a block (pixel x goes to 7 - x).
std::uint64_t flipColumns(std::uint64_t v) {
  v = ((v >> 1) & 0x5555555555555555ull) | ((v & 0x5555555555555555ull) << 1);
  v = ((v >> 2) & 0x3333333333333333ull) | ((v & 0x3333333333333333ull) << 2);
  return ((v >> 4) & 0x0F0F0F0F0F0F0F0Full) | ((v & 0x0F0F0F0F0F0F0F0Full) << 4);
}

}  // namespace

Status rotateBand(BandRotation& w) {
  if (w.angle != 0 && w.angle != 90 && w.angle != 180 && w.angle != 270) return Status::BadRotation;
  const std::uint32_t rb = w.sourceRowBytes, rows = w.sourceRows;
  const std::uint64_t bytes = std::uint64_t(rb) * rows;
  if (w.source == nullptr || w.result == nullptr || rows % 8 != 0 || w.resultSize < bytes) {
    return Status::TooSmall;
  }
  std::memset(w.result, 0, w.resultSize);
  const std::uint32_t width = w.sourceWidth ? w.sourceWidth : rb * 8;
  switch (w.angle) {
    case 0:
      std::memcpy(w.result, w.source, bytes);
      w.resultRowBytes = rb;
      w.resultWidth = rb * 8;
      w.resultRows = rows;
      w.padding = 0;
      break;
    case 180:
      for (std::uint32_t y = 0; y < rows; ++y) {
        const std::uint8_t* s = w.source + std::uint64_t(y) * rb;
        std::uint8_t* d = w.result + std::uint64_t(rows - 1 - y) * rb;
        for (std::uint32_t k = 0; k < rb; ++k) d[rb - 1 - k] = kReverse[s[k]];
      }
      w.resultRowBytes = rb;
      w.resultWidth = rb * 8;
      w.resultRows = rows;
      w.padding = rb * 8 - width;
      break;
    case 90:
    case 270: {
      const std::uint32_t groups = rows / 8;
      w.resultRowBytes = groups;
      w.resultWidth = rows;
      w.resultRows = rb * 8;
      for (std::uint32_t i = 0; i < groups; ++i) {
        for (std::uint32_t k = 0; k < rb; ++k) {
          std::uint64_t block = gatherBlock(w.source + std::uint64_t(i) * 8 * rb + k, rb);
          std::uint64_t turned;
          std::uint64_t at;
          if (w.angle == 90) {
            // (x, y) -> (y, 7 - x); block (k, i) -> byte column i of row group rb - 1 - k.
            turned = flipRows(transpose(block));
            at = std::uint64_t(rb - 1 - k) * 8 * groups + i;
          } else {
            // (x, y) -> (7 - y, x); block (k, i) -> byte column groups - 1 - i of row group k.
            turned = flipColumns(transpose(block));
            at = std::uint64_t(k) * 8 * groups + (groups - 1 - i);
          }
          scatterBlock(turned, w.result + at, groups);
        }
      }
      w.padding = w.angle == 90 ? rb * 8 - width : 0;
      break;
    }
  }
  return Status::Ok;
}

}  // namespace hv::engine
