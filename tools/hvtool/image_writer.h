#pragma once
// Writes packed 1-bit pictures (1 = black, rows of `rowBytes` bytes) as
// binary PBM or as 1-bit greyscale PNG, through an AtomicFile (a regular
// file is replaced only when complete; a device, FIFO or "-" is written
// straight into).
#include <cstdint>
#include <string>
#include <vector>

#include "tools/hvtool/png_rows.h"

namespace hv::tool {

// The PNG file's bytes: 1-bit greyscale, deflate compressed in one IDAT
// chunk. Empty when the picture is empty or too large for PNG.
std::vector<std::uint8_t> encodePng(const PackedPicture& picture);

// Writes a PBM or, for a name ending in ".png" (any case) or with forcePng,
// a PNG. On failure *error (when given) says which file and why.
bool writePicture(const std::string& path, const PackedPicture& picture, bool forcePng = false,
                  std::string* error = nullptr);

}  // namespace hv::tool
