#pragma once
// ASN.1 Basic Encoding Rules (ITU-T X.690): element headers read from a file
// with bounds, INTEGER values, and the encoding side used by the writer.
#include <cstdint>
#include <string>

#include "platform/status.h"

namespace hv::formats::ber {

enum Class : int { kUniversal = 0, kApplication = 1, kContext = 2, kPrivate = 3 };

struct Header {
  int cls = 0;
  bool constructed = false;
  std::uint32_t number = 0;
  std::uint64_t length = 0;  // the indefinite form reads as 0
  bool indefinite = false;
  std::uint32_t headerBytes = 0;
};

// Reads bytes of a file through a small window, so that walking many short
// elements does not cost a system call each.
class Source {
 public:
  // Absolute file positions [begin, end) are readable.
  Source(int fd, std::int64_t begin, std::int64_t end) : fd_(fd), begin_(begin), end_(end) {}
  std::int64_t begin() const { return begin_; }
  std::int64_t end() const { return end_; }
  // Copies n bytes at pos: DataEnded when they do not all lie inside the
  // readable range or the file is shorter, ReadFailed when reading fails.
  Status read(std::int64_t pos, void* out, std::size_t n);

 private:
  static constexpr std::size_t kWindow = 4096;
  int fd_;
  std::int64_t begin_, end_;
  std::int64_t windowAt_ = -1;
  std::size_t windowBytes_ = 0;
  std::uint8_t window_[kWindow] = {};
};

// Reads the identifier and length octets at pos, which must end before
// `limit`. DataEnded (or ReadFailed) for a header that is cut off,
// CodingError for a malformed one (tag numbers beyond 28 bits, more than 8
// length octets, the reserved length 0xFF).
Status readHeader(Source& src, std::int64_t pos, std::int64_t limit, Header& out);

// A big-endian two's-complement INTEGER of 1 to 8 octets; CodingError for
// any other length.
Result<std::int64_t> integerValue(const std::uint8_t* bytes, std::size_t count);

// Encoding: identifier and definite length octets.
std::string header(int cls, bool constructed, std::uint32_t number, std::uint64_t length);
// The shortest two's-complement content octets of v.
std::string integerContents(std::int64_t v);
// A whole element: header then contents.
std::string element(int cls, bool constructed, std::uint32_t number, const std::string& contents);

}  // namespace hv::formats::ber
