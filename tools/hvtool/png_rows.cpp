#include "tools/hvtool/png_rows.h"

namespace hv::tool {

std::vector<std::uint8_t> pngRows(const PackedPicture& p) {
  const std::size_t stride = (std::size_t(p.width) + 7) / 8;
  const std::uint8_t keep = p.width % 8 ? std::uint8_t(0xFF00u >> (p.width % 8)) : 0xFF;
  std::vector<std::uint8_t> raw((stride + 1) * p.height);
  for (std::uint32_t y = 0; y < p.height; ++y) {
    const std::uint8_t* row = p.bits + std::size_t(y) * p.rowBytes;
    std::uint8_t* to = raw.data() + std::size_t(y) * (stride + 1);
    to[0] = 0;
    for (std::size_t i = 0; i < stride; ++i) to[1 + i] = std::uint8_t(~row[i]);
    if (stride != 0) to[stride] |= std::uint8_t(~keep);
  }
  return raw;
}

}  // namespace hv::tool
