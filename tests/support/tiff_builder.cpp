#include "tests/support/tiff_builder.h"

#include <algorithm>

#include "formats/tiff_tags.h"

namespace hv::test {

void TiffBuilder::put16(std::string& s, std::uint32_t v) const {
  char b[2] = {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF)};
  if (big_) std::swap(b[0], b[1]);
  s.append(b, 2);
}

void TiffBuilder::put32(std::string& s, std::uint32_t v) const {
  char b[4] = {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF), static_cast<char>((v >> 16) & 0xFF),
               static_cast<char>((v >> 24) & 0xFF)};
  if (big_) {
    std::swap(b[0], b[3]);
    std::swap(b[1], b[2]);
  }
  s.append(b, 4);
}

TiffBuilder& TiffBuilder::shortTag(std::uint16_t tag, std::vector<std::uint32_t> values) {
  Entry e{tag, 3, static_cast<std::uint32_t>(values.size()), {}};
  for (auto v : values) put16(e.bytes, v);
  entries_.push_back(e);
  return *this;
}

TiffBuilder& TiffBuilder::longTag(std::uint16_t tag, std::vector<std::uint32_t> values) {
  Entry e{tag, 4, static_cast<std::uint32_t>(values.size()), {}};
  for (auto v : values) put32(e.bytes, v);
  entries_.push_back(e);
  return *this;
}

TiffBuilder& TiffBuilder::rationalTag(std::uint16_t tag, std::uint32_t num, std::uint32_t den) {
  Entry e{tag, 5, 1, {}};
  put32(e.bytes, num);
  put32(e.bytes, den);
  entries_.push_back(e);
  return *this;
}

TiffBuilder& TiffBuilder::asciiTag(std::uint16_t tag, const std::string& text) {
  Entry e{tag, 2, static_cast<std::uint32_t>(text.size() + 1), text + '\0'};
  entries_.push_back(e);
  return *this;
}

std::uint32_t TiffBuilder::addData(const std::string& bytes) {
  std::uint32_t at = static_cast<std::uint32_t>(8 + data_.size());
  data_ += bytes;
  return at;
}

TiffBuilder& TiffBuilder::strips(const std::vector<std::uint32_t>& offsets, const std::vector<std::uint32_t>& counts) {
  longTag(hv::formats::kTiffStripOffsets, offsets);
  return longTag(hv::formats::kTiffStripByteCounts, counts);
}

std::string TiffBuilder::build() const {
  std::vector<Entry> sorted = entries_;
  std::stable_sort(sorted.begin(), sorted.end(), [](const Entry& a, const Entry& b) { return a.tag < b.tag; });
  std::string out = big_ ? "MM" : "II";
  put16(out, 42);
  std::string data = data_;
  if (data.size() % 2) data += '\0';
  std::uint32_t dirOffset = static_cast<std::uint32_t>(8 + data.size());
  // Out-of-line values go after the directory.
  std::uint32_t extraOffset = dirOffset + 2 + static_cast<std::uint32_t>(sorted.size()) * 12 + 4;
  std::string dir, extra;
  put16(dir, static_cast<std::uint32_t>(sorted.size()));
  for (const Entry& e : sorted) {
    put16(dir, e.tag);
    put16(dir, e.type);
    put32(dir, e.count);
    if (e.bytes.size() <= 4) {
      std::string v = e.bytes;
      v.resize(4, '\0');
      dir += v;
    } else {
      put32(dir, extraOffset + static_cast<std::uint32_t>(extra.size()));
      extra += e.bytes;
      if (extra.size() % 2) extra += '\0';
    }
  }
  put32(dir, 0);
  put32(out, dirOffset);
  return out + data + dir + extra;
}

}  // namespace hv::test
