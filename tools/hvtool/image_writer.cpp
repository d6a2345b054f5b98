#include "tools/hvtool/image_writer.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <strings.h>

#include "platform/atomic_file.h"

namespace hv::tool {
namespace {

constexpr std::array<std::uint32_t, 256> buildCrcTable() {
  std::array<std::uint32_t, 256> t{};
  for (std::uint32_t n = 0; n < 256; ++n) {
    std::uint32_t c = n;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    t[n] = c;
  }
  return t;
}
constexpr auto kCrc = buildCrcTable();

void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int s = 24; s >= 0; s -= 8) out.push_back(std::uint8_t(v >> s));
}

void chunk(std::vector<std::uint8_t>& out, const char type[4], const std::vector<std::uint8_t>& data) {
  put32(out, std::uint32_t(data.size()));
  std::size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  put32(out, crc32(out.data() + start, out.size() - start));
}

}  // namespace

std::uint32_t crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc) {
  crc = ~crc;
  for (std::size_t i = 0; i < size; ++i) crc = kCrc[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

std::uint32_t adler32(const std::uint8_t* data, std::size_t size, std::uint32_t adler) {
  std::uint32_t a = adler & 0xFFFF, b = adler >> 16;
  for (std::size_t i = 0; i < size;) {
    // 5552 bytes keep the sums below 2^32 before the reduction.
    std::size_t n = std::min<std::size_t>(size - i, 5552);
    for (std::size_t k = 0; k < n; ++k) {
      a += data[i + k];
      b += a;
    }
    a %= 65521;
    b %= 65521;
    i += n;
  }
  return (b << 16) | a;
}

std::vector<std::uint8_t> encodePng(const PackedPicture& p) {
  // Filter byte 0 then the row, inverted (PNG greyscale: 1 = white).
  const std::size_t stride = (std::size_t(p.width) + 7) / 8;
  std::vector<std::uint8_t> raw;
  raw.reserve((stride + 1) * p.height);
  for (std::uint32_t y = 0; y < p.height; ++y) {
    raw.push_back(0);
    const std::uint8_t* row = p.bits + std::size_t(y) * p.rowBytes;
    for (std::size_t i = 0; i < stride; ++i) raw.push_back(std::uint8_t(~row[i]));
  }
  std::vector<std::uint8_t> z = {0x78, 0x01};
  for (std::size_t at = 0;;) {
    std::size_t n = std::min<std::size_t>(raw.size() - at, 65535);
    bool last = at + n == raw.size();
    z.push_back(last ? 1 : 0);
    z.push_back(std::uint8_t(n));
    z.push_back(std::uint8_t(n >> 8));
    z.push_back(std::uint8_t(~n));
    z.push_back(std::uint8_t(~n >> 8));
    z.insert(z.end(), raw.begin() + std::ptrdiff_t(at), raw.begin() + std::ptrdiff_t(at + n));
    at += n;
    if (last) break;
  }
  put32(z, adler32(raw.data(), raw.size()));
  std::vector<std::uint8_t> out = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  std::vector<std::uint8_t> ihdr;
  put32(ihdr, p.width);
  put32(ihdr, p.height);
  ihdr.insert(ihdr.end(), {1, 0, 0, 0, 0});  // depth 1, greyscale, deflate, filter 0, no interlace
  chunk(out, "IHDR", ihdr);
  chunk(out, "IDAT", z);
  chunk(out, "IEND", {});
  return out;
}

bool writePicture(const std::string& path, const PackedPicture& p, std::string* error) {
  bool png = path.size() >= 4 && strcasecmp(path.c_str() + path.size() - 4, ".png") == 0;
  std::vector<std::uint8_t> bytes;
  if (png) {
    bytes = encodePng(p);
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
  if (file.open(path) && file.write(bytes.data(), bytes.size()) && file.commit()) return true;
  if (error != nullptr) *error = file.error();
  return false;
}

}  // namespace hv::tool
