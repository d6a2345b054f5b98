// Bitmap storage and the PBM file form (Netpbm: P1 plain, P4 raw).
#include <algorithm>
#include <bit>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "tools/drawgen/drawgen.h"

#include "platform/atomic_file.h"

namespace hv::drawgen {

Bitmap::Bitmap(std::uint32_t w, std::uint32_t h)
    : width(w), height(h), stride((w + 7) / 8), bits(std::size_t(stride) * h, 0) {}

std::uint64_t Bitmap::blackPixels() const {
  std::uint64_t n = 0;
  for (std::uint8_t b : bits) n += std::uint64_t(std::popcount(b));
  return n;
}

namespace {

// Reads the header tokens of a PBM: skips whitespace and '#' comments.
class HeaderReader {
 public:
  explicit HeaderReader(const std::string& s) : s_(s) {}

  bool number(std::uint64_t& out) {
    skipSpace();
    if (pos_ >= s_.size() || !std::isdigit(static_cast<unsigned char>(s_[pos_]))) return false;
    out = 0;
    while (pos_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[pos_]))) {
      out = out * 10 + std::uint64_t(s_[pos_] - '0');
      if (out > 0xFFFFFFFFu) return false;
      ++pos_;
    }
    return true;
  }
  void skipSpace() {
    while (pos_ < s_.size()) {
      char c = s_[pos_];
      if (c == '#') {
        while (pos_ < s_.size() && s_[pos_] != '\n' && s_[pos_] != '\r') ++pos_;
      } else if (std::isspace(static_cast<unsigned char>(c))) {
        ++pos_;
      } else {
        break;
      }
    }
  }
  std::size_t pos() const { return pos_; }
  void advance(std::size_t n) { pos_ += n; }

 private:
  const std::string& s_;
  std::size_t pos_ = 0;
};

}  // namespace

bool parsePbm(const std::string& bytes, Bitmap& bitmap) {
  bitmap = Bitmap();
  if (bytes.size() < 2 || bytes[0] != 'P' || (bytes[1] != '4' && bytes[1] != '1')) return false;
  const bool raw = bytes[1] == '4';
  HeaderReader in(bytes);
  in.advance(2);
  std::uint64_t w = 0, h = 0;
  if (!in.number(w) || !in.number(h)) return false;
  const std::size_t rest = bytes.size() - in.pos();
  if (raw) {
    // Exactly one whitespace byte separates the header from the raster.
    if (rest < 1 || !std::isspace(static_cast<unsigned char>(bytes[in.pos()]))) return false;
    in.advance(1);
    const std::uint64_t need = (w + 7) / 8 * h;
    if (need > bytes.size() - in.pos()) return false;
    bitmap = Bitmap(std::uint32_t(w), std::uint32_t(h));
    const char* src = bytes.data() + in.pos();
    for (std::uint32_t y = 0; y < bitmap.height; ++y) {
      std::uint8_t* row = bitmap.row(y);
      std::copy(src, src + bitmap.stride, row);
      src += bitmap.stride;
      if (w % 8) row[bitmap.stride - 1] &= std::uint8_t(0xFF00u >> (w % 8));
    }
    return true;
  }
  // Plain form: every pixel takes at least one byte, which bounds the size
  // before anything is allocated.
  if (w * h > rest) return false;
  bitmap = Bitmap(std::uint32_t(w), std::uint32_t(h));
  std::size_t p = in.pos();
  for (std::uint32_t y = 0; y < bitmap.height; ++y) {
    for (std::uint32_t x = 0; x < bitmap.width; ++x) {
      while (p < bytes.size()) {
        char c = bytes[p];
        if (c == '#') {
          while (p < bytes.size() && bytes[p] != '\n') ++p;
        } else if (std::isspace(static_cast<unsigned char>(c))) {
          ++p;
        } else {
          break;
        }
      }
      if (p >= bytes.size() || (bytes[p] != '0' && bytes[p] != '1')) {
        bitmap = Bitmap();
        return false;
      }
      if (bytes[p++] == '1') bitmap.set(x, y);
    }
  }
  return true;
}

bool readPbm(const std::string& path, Bitmap& bitmap) {
  bitmap = Bitmap();
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return false;
  return parsePbm(bytes, bitmap);
}

bool writePbm(const std::string& path, const Bitmap& bitmap) {
  if (bitmap.bits.size() != std::size_t(bitmap.stride) * bitmap.height ||
      bitmap.stride != (bitmap.width + 7) / 8)
    return false;
  const std::string header = "P4\n" + std::to_string(bitmap.width) + ' ' + std::to_string(bitmap.height) + '\n';
  hv::platform::AtomicFile file;
  return file.open(path) == hv::Status::Ok && file.write(header.data(), header.size()) == hv::Status::Ok &&
         file.write(bitmap.bits.data(), bitmap.bits.size()) == hv::Status::Ok && file.commit() == hv::Status::Ok;
}

std::string firstDifference(const Bitmap& a, const Bitmap& b) {
  std::ostringstream msg;
  if (a.width != b.width || a.height != b.height) {
    msg << "sizes differ: " << a.width << "x" << a.height << " vs " << b.width << "x" << b.height;
    return msg.str();
  }
  for (std::uint32_t y = 0; y < a.height; ++y) {
    const std::uint8_t* ra = a.row(y);
    const std::uint8_t* rb = b.row(y);
    for (std::uint32_t i = 0; i < a.stride; ++i) {
      // Padding bits beyond the width do not count.
      std::uint8_t diff = ra[i] ^ rb[i];
      if (i + 1 == a.stride && a.width % 8) diff &= std::uint8_t(0xFF00u >> (a.width % 8));
      if (diff == 0) continue;
      const std::uint32_t x = i * 8 + std::uint32_t(std::countl_zero(diff));
      msg << "first difference at x=" << x << " y=" << y << ": " << (a.get(x, y) ? 1 : 0)
          << " vs " << (b.get(x, y) ? 1 : 0);
      return msg.str();
    }
  }
  return {};
}

}  // namespace hv::drawgen
