#pragma once
// The image data of a 1-bit greyscale PNG before compression, made from
// packed rows.
#include <cstdint>
#include <vector>

namespace hv::tool {

// Packed 1-bit rows: 1 = black, most significant bit leftmost, rows of
// `rowBytes` bytes.
struct PackedPicture {
  std::uint32_t width = 0, height = 0, rowBytes = 0;
  const std::uint8_t* bits = nullptr;
};

// Each row as PNG filters it: the filter byte 0 (none: line drawings are long
// runs of equal bytes, which deflate finds directly and a filter search would
// only slow down), then the row's bytes with PNG's polarity (greyscale 0 is
// black), padding bits of the last byte white. Rows of (width + 7) / 8 + 1
// bytes.
std::vector<std::uint8_t> pngRows(const PackedPicture& picture);

}  // namespace hv::tool
