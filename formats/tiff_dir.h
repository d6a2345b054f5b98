#pragma once
// TIFF 6.0 image file directory: reading the entries of the first directory
// and their values, in either byte order.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "formats/image_file.h"
#include "formats/tiff_tags.h"
#include "platform/status.h"

namespace hv::formats {

class TiffDirectory {
 public:
  TiffDirectory(int fd, std::uint32_t headerOffset, bool bigEndian, std::int64_t fileSize)
      : fd_(fd), base_(headerOffset), big_(bigEndian), fileSize_(fileSize) {}

  // Reads the entry table at `offset`: CodingError for a zero offset or an
  // empty table, DataEnded when the table does not lie within the file,
  // ReadFailed when reading fails.
  Status read(std::uint32_t offset, std::vector<TiffEntry>& entries) const;

  std::uint16_t get16(const std::uint8_t* p) const;
  std::uint32_t get32(const std::uint8_t* p) const;

  // Numeric value of a single-valued entry (BYTE, SHORT, LONG; RATIONAL as
  // numerator / denominator, 0 when the denominator is 0).
  std::optional<std::uint32_t> value(const TiffEntry& e) const;
  // XResolution or YResolution in dots per inch, given ResolutionUnit: for
  // kTiffUnitCentimetre the value times 2.54 rounded to the nearest whole
  // dpi; for kTiffUnitInch, kTiffUnitNone or any other, value() as it stands.
  std::optional<std::uint32_t> resolutionDpi(const TiffEntry& e, std::uint32_t unit) const;
  // Every value of a SHORT or LONG array, read from the value field or the
  // value offset; nullopt when the array does not lie within the file.
  std::optional<std::vector<std::uint32_t>> array(const TiffEntry& e) const;
  // An ASCII value, NUL-terminated text up to the first NUL.
  std::optional<std::string> text(const TiffEntry& e) const;

  static int typeSize(std::uint16_t type);

 private:
  // n bytes at offset from the header: DataEnded past the file's end.
  Status readAt(void* buf, std::size_t n, std::uint32_t offset) const;
  int fd_;
  std::uint32_t base_;
  bool big_;
  std::int64_t fileSize_;
};

// Cursor-based entry lookup in ascending tag order: continues from the last
// position as TIFF's sorted directories allow, but falls back to a full scan
// so that unsorted directories still read.
const TiffEntry* findEntry(const std::vector<TiffEntry>& entries, std::uint16_t tag);

}  // namespace hv::formats
