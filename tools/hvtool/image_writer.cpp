#include "tools/hvtool/image_writer.h"

#include <libdeflate.h>
#include <strings.h>

#include "platform/atomic_file.h"
#include "tools/hvtool/deflate_encode.h"
#include "tools/hvtool/png_rows.h"

namespace hv::tool {
namespace {

void putBigEndian32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  const std::uint8_t b[4] = {std::uint8_t(v >> 24), std::uint8_t(v >> 16), std::uint8_t(v >> 8),
                             std::uint8_t(v)};
  out.insert(out.end(), b, b + 4);
}

// One PNG chunk: length, type, body, and the CRC-32 of type and body.
void putChunk(std::vector<std::uint8_t>& out, const char type[4], const std::uint8_t* body,
              std::size_t size) {
  putBigEndian32(out, std::uint32_t(size));
  const std::size_t typeAt = out.size();
  out.insert(out.end(), type, type + 4);
  if (size != 0) out.insert(out.end(), body, body + size);
  putBigEndian32(out, std::uint32_t(libdeflate_crc32(0, out.data() + typeAt, size + 4)));
}

}  // namespace

std::vector<std::uint8_t> encodePng(const PackedPicture& p) {
  if (p.width == 0 || p.height == 0 || p.width > 0x7FFFFFFFu || p.height > 0x7FFFFFFFu) return {};
  const std::size_t stride = (std::size_t(p.width) + 7) / 8;
  const std::vector<std::uint8_t> raw = pngRows(p);

  // The rows' own encoder: it looks for matches one row up, where a drawing
  // repeats itself most, and weighs what each match saves.
  const std::vector<std::uint8_t> zdata = zlibCompressRows(raw.data(), raw.size(), stride + 1);
  const std::size_t zsize = zdata.size();

  // Signature, IHDR (1-bit greyscale, deflate, no interlace), one IDAT, IEND.
  static const std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<std::uint8_t> out(kSignature, kSignature + 8);
  out.reserve(8 + 25 + 12 + zsize + 12);
  std::vector<std::uint8_t> header;
  putBigEndian32(header, p.width);
  putBigEndian32(header, p.height);
  const std::uint8_t rest[5] = {1, 0, 0, 0, 0};  // depth, colour type, compression, filter, interlace
  header.insert(header.end(), rest, rest + 5);
  putChunk(out, "IHDR", header.data(), header.size());
  putChunk(out, "IDAT", zdata.data(), zsize);
  putChunk(out, "IEND", nullptr, 0);
  return out;
}

bool writePicture(const std::string& path, const PackedPicture& p, bool forcePng, std::string* error) {
  bool png = forcePng || (path.size() >= 4 && strcasecmp(path.c_str() + path.size() - 4, ".png") == 0);
  std::vector<std::uint8_t> bytes;
  if (png) {
    bytes = encodePng(p);
    if (bytes.empty()) {
      if (error != nullptr) *error = path + ": the PNG encoder failed";
      return false;
    }
  } else {
    std::string header = "P4\n" + std::to_string(p.width) + " " + std::to_string(p.height) + "\n";
    const std::size_t stride = (std::size_t(p.width) + 7) / 8;
    bytes.assign(header.begin(), header.end());
    bytes.reserve(bytes.size() + stride * p.height);
    for (std::uint32_t y = 0; y < p.height; ++y) {
      const std::uint8_t* row = p.bits + std::size_t(y) * p.rowBytes;
      bytes.insert(bytes.end(), row, row + stride);
      // Padding bits of the last byte are written as 0.
      if (p.width % 8) bytes.back() &= std::uint8_t(0xFF00u >> (p.width % 8));
    }
  }
  hv::platform::AtomicFile file;
  if (file.open(path) == hv::Status::Ok && file.write(bytes.data(), bytes.size()) == hv::Status::Ok &&
      file.commit() == hv::Status::Ok)
    return true;
  if (error != nullptr) *error = file.error();
  return false;
}

}  // namespace hv::tool
