#pragma once
// Number formatting shared by the information procedures.
#include <cstdint>
#include <string>

namespace hv::formats {

// printf-style formatting into a std::string.
std::string format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

// Size in inches of `pixels` at `dpi`, as pixels * 100 / dpi shown "%4ld.%02ld".
std::string inches(std::uint32_t pixels, std::uint32_t dpi);

// ((width + 7) / 8 * height * 100) / codedBytes shown "%ld.%02ld"; "0.00"
// when nothing is coded.
std::string compressionFactor(std::uint32_t width, std::uint32_t height, std::uint64_t codedBytes);

}  // namespace hv::formats
