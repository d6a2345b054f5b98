#include "formats/ber.h"

#include <algorithm>
#include <cstring>

#include "platform/file_io.h"

namespace hv::formats::ber {

bool Source::read(std::int64_t pos, void* out, std::size_t n) {
  if (pos < begin_ || n > static_cast<std::uint64_t>(end_ - begin_) || pos > end_ - static_cast<std::int64_t>(n))
    return false;
  auto* dst = static_cast<std::uint8_t*>(out);
  if (n > kWindow) return platform::readAt(fd_, dst, n, pos) == static_cast<long>(n);
  bool inside = windowAt_ >= 0 && pos >= windowAt_ && pos + static_cast<std::int64_t>(n) <= windowAt_ + static_cast<std::int64_t>(windowBytes_);
  if (!inside) {
    std::size_t want = static_cast<std::size_t>(std::min<std::int64_t>(kWindow, end_ - pos));
    long got = platform::readAt(fd_, window_, want, pos);
    if (got < static_cast<long>(n)) {
      windowAt_ = -1;
      return false;
    }
    windowAt_ = pos;
    windowBytes_ = static_cast<std::size_t>(got);
  }
  std::memcpy(dst, window_ + (pos - windowAt_), n);
  return true;
}

bool readHeader(Source& src, std::int64_t pos, std::int64_t limit, Header& out) {
  out = Header{};
  std::int64_t at = pos;
  auto next = [&](std::uint8_t& b) {
    if (at >= limit || !src.read(at, &b, 1)) return false;
    ++at;
    return true;
  };
  std::uint8_t b = 0;
  if (!next(b)) return false;
  out.cls = b >> 6;
  out.constructed = (b & 0x20) != 0;
  out.number = b & 0x1F;
  if (out.number == 0x1F) {
    std::uint32_t n = 0;
    for (int i = 0;; ++i) {
      if (i == 4 || !next(b)) return false;
      n = n << 7 | (b & 0x7F);
      if ((b & 0x80) == 0) break;
    }
    out.number = n;
  }
  if (!next(b)) return false;
  if (b < 0x80) {
    out.length = b;
  } else if (b == 0x80) {
    out.indefinite = true;
  } else {
    unsigned count = b & 0x7F;
    if (count > 8 || b == 0xFF) return false;
    std::uint64_t n = 0;
    for (unsigned i = 0; i < count; ++i) {
      if (!next(b)) return false;
      n = n << 8 | b;
    }
    out.length = n;
  }
  out.headerBytes = static_cast<std::uint32_t>(at - pos);
  return true;
}

bool integerValue(const std::uint8_t* bytes, std::size_t count, std::int64_t& out) {
  if (count < 1 || count > 8) return false;
  std::uint64_t v = (bytes[0] & 0x80) ? ~std::uint64_t{0} : 0;
  for (std::size_t i = 0; i < count; ++i) v = v << 8 | bytes[i];
  out = static_cast<std::int64_t>(v);
  return true;
}

std::string header(int cls, bool constructed, std::uint32_t number, std::uint64_t length) {
  std::string h;
  auto first = static_cast<std::uint8_t>((cls & 3) << 6 | (constructed ? 0x20 : 0));
  if (number < 31) {
    h += static_cast<char>(first | number);
  } else {
    h += static_cast<char>(first | 0x1F);
    std::string groups;
    for (std::uint32_t n = number; n != 0 || groups.empty(); n >>= 7)
      groups.insert(groups.begin(), static_cast<char>((n & 0x7F) | (groups.empty() ? 0 : 0x80)));
    h += groups;
  }
  if (length < 0x80) {
    h += static_cast<char>(length);
  } else {
    std::string bytes;
    for (std::uint64_t n = length; n != 0; n >>= 8) bytes.insert(bytes.begin(), static_cast<char>(n & 0xFF));
    h += static_cast<char>(0x80 | bytes.size());
    h += bytes;
  }
  return h;
}

std::string integerContents(std::int64_t v) {
  std::string out;
  auto u = static_cast<std::uint64_t>(v);
  for (int i = 7; i >= 0; --i) out += static_cast<char>((u >> (8 * i)) & 0xFF);
  // Drop leading octets that only repeat the sign.
  std::size_t k = 0;
  while (k + 1 < out.size()) {
    auto a = static_cast<std::uint8_t>(out[k]), b = static_cast<std::uint8_t>(out[k + 1]);
    if ((a == 0x00 && !(b & 0x80)) || (a == 0xFF && (b & 0x80))) ++k;
    else break;
  }
  return out.substr(k);
}

std::string element(int cls, bool constructed, std::uint32_t number, const std::string& contents) {
  return header(cls, constructed, number, contents.size()) + contents;
}

}  // namespace hv::formats::ber
