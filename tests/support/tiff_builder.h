#pragma once
// Builds small TIFF files byte by byte for tests: any tags, either byte
// order, values inline or out of line as TIFF 6.0 lays them out.
#include <cstdint>
#include <string>
#include <vector>

namespace hv::test {

class TiffBuilder {
 public:
  explicit TiffBuilder(bool bigEndian = false) : big_(bigEndian) {}

  TiffBuilder& shortTag(std::uint16_t tag, std::vector<std::uint32_t> values);
  TiffBuilder& longTag(std::uint16_t tag, std::vector<std::uint32_t> values);
  TiffBuilder& rationalTag(std::uint16_t tag, std::uint32_t num, std::uint32_t den);
  TiffBuilder& asciiTag(std::uint16_t tag, const std::string& text);
  // Appends data bytes to the file; returns their offset (from the header).
  std::uint32_t addData(const std::string& bytes);
  // Adds StripOffsets/StripByteCounts (LONG) for strips already added.
  TiffBuilder& strips(const std::vector<std::uint32_t>& offsets, const std::vector<std::uint32_t>& counts);

  // The file: header, data, then the directory (entries sorted by tag).
  std::string build() const;

 private:
  struct Entry {
    std::uint16_t tag, type;
    std::uint32_t count;
    std::string bytes;  // the values in file byte order
  };
  void put16(std::string& s, std::uint32_t v) const;
  void put32(std::string& s, std::uint32_t v) const;
  bool big_;
  std::vector<Entry> entries_;
  std::string data_;
};

}  // namespace hv::test
