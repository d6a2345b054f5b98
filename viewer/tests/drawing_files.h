#pragma once
// Generated drawings written in the raster formats of the core, for the
// viewer's tests and benchmarks.
#include <string>

#include "tools/drawgen/drawgen.h"

namespace hv::viewer::test {

// Writes `bitmap` to `path` in a format such as "TIFFGP4 " or "CAL1GP4 ";
// false when the engine cannot write it.
bool writeBitmap(const std::string& path, const hv::drawgen::Bitmap& bitmap, const char* format,
                 unsigned dpi = 200);
// A small generated drawing (seeded) written to `path`.
bool writeDrawing(const std::string& path, const char* format, unsigned seed, unsigned width = 1700,
                  unsigned height = 1100);
// The picture of an image file as the engine reads it (empty on failure).
hv::drawgen::Bitmap readBitmap(const std::string& path);

}  // namespace hv::viewer::test
