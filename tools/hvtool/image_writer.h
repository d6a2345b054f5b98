#pragma once
// Writes packed 1-bit pictures (1 = black, rows of `rowBytes` bytes) as
// binary PBM or as 1-bit greyscale PNG, through a temporary file beside the
// target that is renamed into place only when complete.
#include <cstdint>
#include <string>
#include <vector>

namespace hv::tool {

struct PackedPicture {
  std::uint32_t width = 0, height = 0, rowBytes = 0;
  const std::uint8_t* bits = nullptr;
};

// The PNG file's bytes, encoded by libpng: 1-bit greyscale, deflate
// compressed. Empty when libpng fails.
std::vector<std::uint8_t> encodePng(const PackedPicture& picture);

// Writes a PBM or, for a name ending in ".png" (any case) or with forcePng,
// a PNG.
bool writePicture(const std::string& path, const PackedPicture& picture, bool forcePng = false);

}  // namespace hv::tool
