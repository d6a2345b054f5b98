#include "formats/tiff_dir.h"

#include <algorithm>

#include <cstring>

#include "platform/file_io.h"

namespace hv::formats {

int TiffDirectory::typeSize(std::uint16_t type) {
  switch (type) {
    case kTiffByte:
    case kTiffAscii: return 1;
    case kTiffLong: return 4;
    case kTiffRational: return 8;
    default: return 2;  // SHORT and anything else is read like SHORT
  }
}

std::uint16_t TiffDirectory::get16(const std::uint8_t* p) const {
  return big_ ? static_cast<std::uint16_t>(p[0] << 8 | p[1]) : static_cast<std::uint16_t>(p[1] << 8 | p[0]);
}

std::uint32_t TiffDirectory::get32(const std::uint8_t* p) const {
  return big_ ? (std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3])
              : (std::uint32_t{p[3]} << 24 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[1]} << 8 | p[0]);
}

Status TiffDirectory::readAt(void* buf, std::size_t n, std::uint32_t offset) const {
  std::int64_t at = static_cast<std::int64_t>(base_) + offset;
  if (at + static_cast<std::int64_t>(n) > fileSize_) return Status::DataEnded;
  const long got = platform::readAt(fd_, buf, n, at);
  if (got < 0) return Status::ReadFailed;
  return got == static_cast<long>(n) ? Status::Ok : Status::DataEnded;
}

Status TiffDirectory::read(std::uint32_t offset, std::vector<TiffEntry>& entries) const {
  if (offset == 0) return Status::CodingError;
  std::uint8_t countBytes[2];
  if (Status s = readAt(countBytes, 2, offset); s != Status::Ok) return s;
  std::uint16_t count = get16(countBytes);
  if (count == 0) return Status::CodingError;
  std::vector<std::uint8_t> raw(static_cast<std::size_t>(count) * 12);
  if (Status s = readAt(raw.data(), raw.size(), offset + 2); s != Status::Ok) return s;
  entries.clear();
  entries.reserve(count);
  for (std::uint16_t i = 0; i < count; ++i) {
    const std::uint8_t* p = raw.data() + static_cast<std::size_t>(i) * 12;
    TiffEntry e;
    e.tag = get16(p);
    e.type = get16(p + 2);
    e.count = get32(p + 4);
    std::memcpy(e.raw, p + 8, 4);
    // SHORT values stand in the first two bytes of the value field.
    if (e.type == kTiffByte) e.value = p[8];
    else if (e.type == kTiffLong || e.type == kTiffRational || e.type == kTiffAscii) e.value = get32(p + 8);
    else e.value = get16(p + 8);
    entries.push_back(e);
  }
  return Status::Ok;
}

std::optional<std::uint32_t> TiffDirectory::value(const TiffEntry& e) const {
  if (e.count == 0) return std::nullopt;
  if (e.type == kTiffRational) {
    std::uint8_t r[8];
    if (readAt(r, 8, get32(e.raw)) != Status::Ok) return std::nullopt;
    std::uint32_t num = get32(r), den = get32(r + 4);
    return den == 0 ? 0 : num / den;
  }
  if (e.type == kTiffLong) return get32(e.raw);
  if (e.type == kTiffByte) return e.raw[0];
  return get16(e.raw);
}

std::optional<std::uint32_t> TiffDirectory::resolutionDpi(const TiffEntry& e, std::uint32_t unit) const {
  if (unit != kTiffUnitCentimetre) return value(e);
  std::uint64_t num = 0, den = 1;
  if (e.count == 0) return std::nullopt;
  if (e.type == kTiffRational) {
    std::uint8_t r[8];
    if (readAt(r, 8, get32(e.raw)) != Status::Ok) return std::nullopt;
    num = get32(r);
    den = get32(r + 4);
    if (den == 0) return 0;
  } else {
    auto v = value(e);
    if (!v) return std::nullopt;
    num = *v;
  }
  // dots per inch = per centimetre x 2.54, to the nearest whole number.
  const std::uint64_t dpi = (num * 254 + den * 50) / (den * 100);
  return static_cast<std::uint32_t>(std::min<std::uint64_t>(dpi, 0xFFFFFFFFu));
}

std::optional<std::vector<std::uint32_t>> TiffDirectory::array(const TiffEntry& e) const {
  int size = e.type == kTiffLong ? 4 : e.type == kTiffByte ? 1 : 2;
  std::uint64_t bytes = static_cast<std::uint64_t>(e.count) * static_cast<std::uint64_t>(size);
  if (e.count == 0 || bytes > static_cast<std::uint64_t>(fileSize_)) return std::nullopt;
  std::vector<std::uint8_t> raw(bytes);
  if (bytes <= 4) std::memcpy(raw.data(), e.raw, bytes);
  else if (readAt(raw.data(), bytes, get32(e.raw)) != Status::Ok) return std::nullopt;
  std::vector<std::uint32_t> out(e.count);
  for (std::uint32_t i = 0; i < e.count; ++i) {
    const std::uint8_t* p = raw.data() + static_cast<std::size_t>(i) * size;
    out[i] = size == 4 ? get32(p) : size == 2 ? get16(p) : *p;
  }
  return out;
}

std::optional<std::string> TiffDirectory::text(const TiffEntry& e) const {
  if (e.type != kTiffAscii || e.count == 0 || e.count > (1u << 20)) return std::nullopt;
  std::string s(e.count, '\0');
  if (e.count <= 4) std::memcpy(s.data(), e.raw, e.count);
  else if (readAt(s.data(), e.count, get32(e.raw)) != Status::Ok) return std::nullopt;
  s.resize(std::strlen(s.c_str()));
  return s;
}

const TiffEntry* findEntry(const std::vector<TiffEntry>& entries, std::uint16_t tag) {
  for (const TiffEntry& e : entries)
    if (e.tag == tag) return &e;
  return nullptr;
}

}  // namespace hv::formats
