#pragma once
// Writes packed 1-bit pictures (1 = black, rows of `rowBytes` bytes) as
// binary PBM or as 1-bit greyscale PNG, through an AtomicFile (a regular
// file is replaced only when complete; a device, FIFO or "-" is written
// straight into).
#include <cstdint>
#include <string>
#include <vector>

namespace hv::tool {

struct PackedPicture {
  std::uint32_t width = 0, height = 0, rowBytes = 0;
  const std::uint8_t* bits = nullptr;
};

// The PNG file's bytes: IHDR (bit depth 1, greyscale), one IDAT of zlib
// stored blocks, IEND. PNG greyscale 0 is black, so the bits are inverted.
std::vector<std::uint8_t> encodePng(const PackedPicture& picture);
// CRC-32 of PNG chunks (ISO 3309) and Adler-32 of zlib streams (RFC 1950).
std::uint32_t crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc = 0);
std::uint32_t adler32(const std::uint8_t* data, std::size_t size, std::uint32_t adler = 1);

// Writes a PBM or, for a name ending in ".png" (any case), a PNG. On failure
// *error (when given) says which file and why.
bool writePicture(const std::string& path, const PackedPicture& picture, std::string* error = nullptr);

}  // namespace hv::tool
