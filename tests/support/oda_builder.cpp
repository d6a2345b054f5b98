#include "tests/support/oda_builder.h"

#include <algorithm>

namespace hv::test {
namespace {

std::string lengthOctets(std::size_t n) {
  if (n < 0x80) return std::string(1, static_cast<char>(n));
  std::string b;
  for (std::size_t v = n; v != 0; v >>= 8) b.insert(b.begin(), static_cast<char>(v & 0xFF));
  return std::string(1, static_cast<char>(0x80 | b.size())) + b;
}

std::string integerOctets(std::int64_t v) {
  std::string out;
  for (int i = 7; i >= 0; --i) out += static_cast<char>((static_cast<std::uint64_t>(v) >> (8 * i)) & 0xFF);
  std::size_t k = 0;
  while (k + 1 < out.size() && ((out[k] == 0 && !(out[k + 1] & 0x80)) || (out[k] == '\xFF' && (out[k + 1] & 0x80)))) ++k;
  return out.substr(k);
}

std::string ctx(std::uint32_t n, const std::string& c, bool constructed = false) { return berElement(2, constructed, n, c); }
std::string ctxInt(std::uint32_t n, std::int64_t v) { return ctx(n, integerOctets(v)); }
std::string pair(std::uint32_t n, std::int64_t a, std::int64_t b) { return ctx(n, berInteger(a) + berInteger(b), true); }
std::string printable(const std::string& s) { return berElement(0, false, 19, s); }

std::string calsHeader() {
  const char* records[] = {"srcdocid: NONE", "dstdocid: NONE", "txtfilid: NONE", "figid: NONE", "srcgph: NONE",
                           "doccls: NONE", "rtype: 2", "rorient: 000,270", "rpelcnt: 001000,000800",
                           "rdensty: 0200", "notes: NONE"};
  std::string block(2048, ' ');
  std::size_t i = 0;
  for (const char* r : records) block.replace(i++ * 128, std::string(r).size(), r);
  return block;
}

void le16(std::string& s, std::size_t at, std::uint32_t v) {
  s[at] = static_cast<char>(v & 0xFF);
  s[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}
void le32(std::string& s, std::size_t at, std::uint32_t v) {
  le16(s, at, v & 0xFFFF);
  le16(s, at + 2, v >> 16);
}

}  // namespace

std::string berElement(int cls, bool constructed, std::uint32_t number, const std::string& contents) {
  std::string h(1, static_cast<char>((cls & 3) << 6 | (constructed ? 0x20 : 0) | (number < 31 ? number : 31)));
  if (number >= 31) {
    std::string g;
    for (std::uint32_t n = number; n != 0 || g.empty(); n >>= 7)
      g.insert(g.begin(), static_cast<char>((n & 0x7F) | (g.empty() ? 0 : 0x80)));
    h += g;
  }
  return h + lengthOctets(contents.size()) + contents;
}

std::string berInteger(std::int64_t v) { return berElement(0, false, 2, integerOctets(v)); }

std::string buildCals2(const OdaSpec& s) {
  auto oid = [&](std::initializer_list<int> plain, std::initializer_list<int> x690) {
    std::string out;
    for (int b : s.x690Identifiers ? x690 : plain) out += static_cast<char>(b);
    return out;
  };
  std::string chars;
  if (s.profile) chars += ctx(0, oid({1, 3, 14, 11, 0, 1, 1}, {0x2B, 14, 11, 0, 1, 1}));
  chars += ctx(2, printable("ISO 8613") + printable("1989-06"), true);
  if (s.rasterClass) chars += ctx(3, berElement(0, false, 6, oid({2, 8, 2, 7, 2}, {0x58, 2, 7, 2})), true);
  std::string mgmt;
  if (!s.title.empty()) mgmt += ctx(0, s.title);
  if (!s.date.empty()) mgmt += berElement(1, false, 4, s.date);
  if (!s.author.empty()) mgmt += ctx(2, berElement(1, false, 5, s.author) + printable(s.organization), true);
  std::string profile = ctx(5, chars, true) + ctx(7, mgmt, true);
  std::string top = ctx(0, profile, true);

  std::string presentation = ctxInt(0, 0) + ctxInt(1, 270) + pair(4, s.pelSpacing, 1) +
                             pair(5, s.spacingRatio[0], s.spacingRatio[1]) +
                             ctx(3, ctx(0, berInteger(0) + berInteger(0), true) +
                                        ctx(1, berInteger(s.width) + berInteger(s.height), true), true);
  std::string layout = ctxInt(0, 6) + berElement(1, false, 1, "1 0") + ctx(5, presentation, true);
  top += ctx(2, layout, true);

  std::string data, list, types;
  for (const OdaTile& t : s.tiles) {
    types += berInteger(t.type);
    if (t.type == 0 || t.type == 1) {
      list += berInteger(0);
      continue;
    }
    list += berInteger(static_cast<std::int64_t>(data.size()));
    data += berElement(0, false, 4, t.data);
  }
  std::string coding = ctxInt(0, s.width) + ctxInt(1, s.height);
  if (s.coding == 5) {
    coding += ctxInt(2, s.tileWidth) + ctxInt(3, s.tileLength) + pair(4, 0, 0);
    if (s.tileTypes) coding += ctx(5, types, true);
    if (s.tileList) coding += ctx(6, list, true);
  }
  std::string typeOfCoding;
  if (s.coding == 5 || s.coding == 0 || s.coding == 3)
    typeOfCoding = s.x690Identifiers ? std::string{0x58, 3, 7, static_cast<char>(s.coding)}
                                     : std::string{2, 8, 3, 7, static_cast<char>(s.coding)};
  else
    typeOfCoding = std::string{2, 8, 3, 7, 9};
  std::string attributes = ctx(0, typeOfCoding) + ctx(1, coding, true) + pair(2, 1, 1);
  std::string tileData = s.indefiniteTileData ? std::string("\xA1\x80", 2) + data + std::string(2, '\0')
                                              : ctx(1, data, true);
  top += ctx(3, ctx(0, attributes, true) + tileData, true);
  return (s.calsHeader ? calsHeader() : std::string()) + top;
}

std::string buildEdmics6(const Edm6Spec& s) {
  std::uint32_t count = static_cast<std::uint32_t>(s.tiles.size());
  std::uint32_t entries = std::min(count, s.indexEntries);
  std::string header(128, '\0');
  le32(header, 0, 128);
  le16(header, 4, s.height);
  le16(header, 6, s.widthBytes);
  std::uint32_t dataAt = 128 + 4 * entries;
  header[8] = static_cast<char>(dataAt >> 24);
  header[9] = static_cast<char>(dataAt >> 16);
  header[10] = static_cast<char>(dataAt >> 8);
  header[11] = static_cast<char>(dataAt);
  header[12] = static_cast<char>(count <= 252 ? count : 0);
  le16(header, 28, 0x0100);
  header[36] = static_cast<char>(count <= 252 ? 4 : 6);
  le16(header, 38, s.resolution);
  if (!s.card.empty()) {
    std::string card = s.card.substr(0, 80);
    card.resize(80, ' ');
    header.replace(41, 80, card);
  }
  std::string index, data;
  for (std::uint32_t i = 0; i < entries; ++i) {
    std::string e(4, '\0');
    e[0] = static_cast<char>(i & 0xFF);
    e[1] = s.tiles[i].uncompressed ? 1 : 0;
    le16(e, 2, static_cast<std::uint32_t>(s.tiles[i].data.size()));
    index += e;
    data += s.tiles[i].data;
  }
  if (s.secondVariant) {
    // A leading 14-byte block whose word at 14 (the variant's first field,
    // the index offset) is non-zero; positions shift by 14.
    std::string shifted = header;
    le32(shifted, 0, 128 + 14);
    std::uint32_t at = dataAt + 14;
    shifted[8] = static_cast<char>(at >> 24);
    shifted[9] = static_cast<char>(at >> 16);
    shifted[10] = static_cast<char>(at >> 8);
    shifted[11] = static_cast<char>(at);
    return std::string(14, '\0') + shifted + index + data;
  }
  return header + index + data;
}

}  // namespace hv::test
