#include "formats/info_format.h"

#include <cstdarg>
#include <cstdio>

namespace hv::formats {

std::string format(const char* fmt, ...) {
  char buf[1024];
  va_list ap;
  va_start(ap, fmt);
  std::vsnprintf(buf, sizeof buf, fmt, ap);
  va_end(ap);
  return buf;
}

std::string inches(std::uint32_t pixels, std::uint32_t dpi) {
  if (dpi == 0) dpi = 200;
  long v = static_cast<long>(static_cast<std::uint64_t>(pixels) * 100 / dpi);
  return format("%4ld.%02ld", v / 100, v % 100);
}

std::string compressionFactor(std::uint32_t width, std::uint32_t height, std::uint64_t codedBytes) {
  if (codedBytes == 0) return "0.00";
  std::uint64_t raw = static_cast<std::uint64_t>((width + 7) / 8) * height * 100;
  long v = static_cast<long>(raw / codedBytes);
  return format("%ld.%02ld", v / 100, v % 100);
}

}  // namespace hv::formats
