#include "formats/ber.h"

#include <algorithm>
#include <cstring>

#include "platform/file_io.h"

namespace hv::formats::ber {

namespace {

// The Status of a read of `wanted` bytes that produced `got` (-1: failed).
Status readOutcome(long got, std::size_t wanted) {
  if (got < 0) return Status::ReadFailed;
  return got < static_cast<long>(wanted) ? Status::DataEnded : Status::Ok;
}

}  // namespace

Status Source::read(std::int64_t pos, void* out, std::size_t n) {
  if (pos < begin_ || n > static_cast<std::uint64_t>(end_ - begin_) || pos > end_ - static_cast<std::int64_t>(n))
    return Status::DataEnded;
  auto* dst = static_cast<std::uint8_t*>(out);
  if (n > kWindow) return readOutcome(platform::readAt(fd_, dst, n, pos), n);
  bool inside = windowAt_ >= 0 && pos >= windowAt_ && pos + static_cast<std::int64_t>(n) <= windowAt_ + static_cast<std::int64_t>(windowBytes_);
  if (!inside) {
    std::size_t want = static_cast<std::size_t>(std::min<std::int64_t>(kWindow, end_ - pos));
    long got = platform::readAt(fd_, window_, want, pos);
    if (Status s = readOutcome(got, n); s != Status::Ok) {
      windowAt_ = -1;
      return s;
    }
    windowAt_ = pos;
    windowBytes_ = static_cast<std::size_t>(got);
  }
  std::memcpy(dst, window_ + (pos - windowAt_), n);
  return Status::Ok;
}

Status readHeader(Source& src, std::int64_t pos, std::int64_t limit, Header& out) {
  out = Header{};
  std::int64_t at = pos;
  auto next = [&](std::uint8_t& b) {
    if (at >= limit) return Status::DataEnded;
    if (Status s = src.read(at, &b, 1); s != Status::Ok) return s;
    ++at;
    return Status::Ok;
  };
  std::uint8_t b = 0;
  if (Status s = next(b); s != Status::Ok) return s;
  out.cls = b >> 6;
  out.constructed = (b & 0x20) != 0;
  out.number = b & 0x1F;
  if (out.number == 0x1F) {
    std::uint32_t n = 0;
    for (int i = 0;; ++i) {
      if (i == 4) return Status::CodingError;
      if (Status s = next(b); s != Status::Ok) return s;
      n = n << 7 | (b & 0x7F);
      if ((b & 0x80) == 0) break;
    }
    out.number = n;
  }
  if (Status s = next(b); s != Status::Ok) return s;
  if (b < 0x80) {
    out.length = b;
  } else if (b == 0x80) {
    out.indefinite = true;
  } else {
    unsigned count = b & 0x7F;
    if (count > 8 || b == 0xFF) return Status::CodingError;
    std::uint64_t n = 0;
    for (unsigned i = 0; i < count; ++i) {
      if (Status s = next(b); s != Status::Ok) return s;
      n = n << 8 | b;
    }
    out.length = n;
  }
  out.headerBytes = static_cast<std::uint32_t>(at - pos);
  return Status::Ok;
}

Result<std::int64_t> integerValue(const std::uint8_t* bytes, std::size_t count) {
  if (count < 1 || count > 8) return Status::CodingError;
  std::uint64_t v = (bytes[0] & 0x80) ? ~std::uint64_t{0} : 0;
  for (std::size_t i = 0; i < count; ++i) v = v << 8 | bytes[i];
  return static_cast<std::int64_t>(v);
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
