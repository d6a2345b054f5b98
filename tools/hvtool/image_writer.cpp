#include "tools/hvtool/image_writer.h"

#include <csetjmp>
#include <cstdio>
#include <png.h>
#include <strings.h>

#include "platform/atomic_file.h"

namespace hv::tool {
namespace {

// libpng hands the encoded bytes to these instead of a FILE.
void appendBytes(png_structp png, png_bytep data, png_size_t size) {
  auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + size);
}
void noFlush(png_structp) {}

}  // namespace

std::vector<std::uint8_t> encodePng(const PackedPicture& p) {
  std::vector<std::uint8_t> out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (png == nullptr) return {};
  png_infop info = png_create_info_struct(png);
  if (info == nullptr) {
    png_destroy_write_struct(&png, nullptr);
    return {};
  }
  // libpng reports failures by longjmp; nothing below owns memory that the
  // jump would leak except `out`, which the caller's frame still owns.
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return {};
  }
  png_set_write_fn(png, &out, appendBytes, noFlush);
  png_set_IHDR(png, info, p.width, p.height, 1, PNG_COLOR_TYPE_GRAY, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  // Line drawings are long runs of equal bytes: without row filters deflate
  // finds them directly, and the filter search would only cost time.
  png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
  // Level 8 is the lowest at which a fitted E-size sheet comes out at a fifth
  // of its unpacked size; level 9 only doubles the time for another percent.
  png_set_compression_level(png, 8);
  png_write_info(png, info);
  // PNG greyscale 0 is black while the packed rows use 1 for black.
  png_set_invert_mono(png);
  for (std::uint32_t y = 0; y < p.height; ++y)
    png_write_row(png, const_cast<png_bytep>(p.bits + std::size_t(y) * p.rowBytes));
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
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
  if (file.open(path) && file.write(bytes.data(), bytes.size()) && file.commit()) return true;
  if (error != nullptr) *error = file.error();
  return false;
}

}  // namespace hv::tool
