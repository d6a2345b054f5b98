#pragma once
// The benchmark drawing, shared by every benchmark: the generated E-size sheet
// (44 x 34 in) at 400 dpi, 17600 x 13600 pixels, seed 1. It is generated once
// per run and cached as files under the build tree (bench/data/), rewritten
// only when the cached picture differs from what the generator now draws.
#include <cstdint>
#include <string>
#include <vector>

#include "tools/drawgen/drawgen.h"

namespace hv::bench {

// The picture itself: packed rows, MSB leftmost, 1 = black.
const hv::drawgen::Bitmap& eSizeBitmap();
// The same picture as a binary PBM.
const std::string& eSizePbmPath();
// Min-is-white TIFF, MSB-first fill order, 400 dpi, written with libtiff:
// one strip of CCITT Group 4 ...
const std::string& eSizeG4TiffPath();
// ... Group 4 in strips of kStripRows rows ...
const std::string& eSizeG4StripsTiffPath();
// ... and one strip of Group 3 one-dimensional coding (T.4, no EOL padding).
const std::string& eSizeG3TiffPath();
// The sheet turned through 180 degrees (as if scanned upside down), one strip
// of Group 4: its top rows carry what the bottom rows of the sheet carry.
const std::string& eSizeUpsideDownG4TiffPath();
// The sheet in Group 4 "wrap" coding (one continuous raster), as the engine
// saves it.
const std::string& eSizeG4WrapTiffPath();

inline constexpr std::uint32_t kStripRows = 256;

// The whole content of a file, for benchmarks that decode from memory. Exits
// the program with a message when the file cannot be read.
std::vector<std::uint8_t> readFileBytes(const std::string& path);

}  // namespace hv::bench
