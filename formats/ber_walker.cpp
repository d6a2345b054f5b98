#include "formats/ber_walker.h"

#include <algorithm>
#include <cstring>

#include "formats/fm_messages.h"
#include "formats/info_format.h"

namespace hv::formats {
namespace {

constexpr std::size_t kValueMax = 4096;  // values longer than this are never read
constexpr int kIntegerNesting = 4;

// Object identifiers as this system compares them: the identifier's
// components one per byte, as CALS Type 2 writers store them; the X.690
// encoding of the same identifier is accepted too.
struct Identifier {
  std::uint8_t bytes[8];
  std::size_t count;
  std::uint8_t x690[8];
  std::size_t x690Count;
};
constexpr Identifier kTiled{{2, 8, 3, 7, 5}, 5, {0x58, 3, 7, 5}, 4};
constexpr Identifier kGroup4{{2, 8, 3, 7, 0}, 5, {0x58, 3, 7, 0}, 4};
constexpr Identifier kUncompressed{{2, 8, 3, 7, 3}, 5, {0x58, 3, 7, 3}, 4};
constexpr Identifier kRasterContent{{2, 8, 2, 7, 2}, 5, {0x58, 2, 7, 2}, 4};
constexpr Identifier kProfile{{1, 3, 14, 11, 0, 1, 1}, 7, {0x2B, 14, 11, 0, 1, 1}, 6};

bool matches(const Identifier& id, const std::vector<std::uint8_t>& v) {
  return (v.size() == id.count && std::memcmp(v.data(), id.bytes, id.count) == 0) ||
         (v.size() == id.x690Count && std::memcmp(v.data(), id.x690, id.x690Count) == 0);
}

void collectIntegers(const std::uint8_t* p, std::size_t n, int nesting, std::vector<std::int64_t>& out) {
  std::size_t at = 0;
  while (at < n && out.size() < 8) {
    std::uint8_t id = p[at++];
    bool constructed = (id & 0x20) != 0;
    if ((id & 0x1F) == 0x1F) {
      while (at < n && (p[at] & 0x80)) ++at;
      ++at;
    }
    if (at >= n) return;
    std::size_t len = p[at++];
    if (len & 0x80) {
      std::size_t k = len & 0x7F;
      if (k == 0 || k > 4) return;  // indefinite or absurd inside a short value
      len = 0;
      for (std::size_t i = 0; i < k; ++i) {
        if (at >= n) return;
        len = len << 8 | p[at++];
      }
    }
    if (len > n - at) return;
    if (constructed) {
      if (nesting < kIntegerNesting) collectIntegers(p + at, len, nesting + 1, out);
    } else if (const Result<std::int64_t> v = ber::integerValue(p + at, len); v.ok()) {
      out.push_back(v.value());
    }
    at += len;
  }
}

int direction(std::int64_t v) {
  if (v < 0) return kLeftToRight;
  return v < 4 ? static_cast<int>(v) : static_cast<int>((v / 90) % 4);
}

std::string text(const std::vector<std::uint8_t>& v) {
  std::string s;
  for (std::uint8_t c : v)
    if (c >= 0x20 && c < 0x7F) s += static_cast<char>(c);
  return s;
}

// Finds the entry for an element: forward from the entry after the last one
// matched, wrapping round, so that repeated elements of a sequence meet
// successive entries of the same tag.
const TagEntry* lookUp(const TagTables& tables, const TagTable* table, const ber::Header& h, std::size_t& last) {
  if (table != nullptr && !table->entries.empty()) {
    std::size_t n = table->entries.size();
    for (std::size_t k = 1; k <= n; ++k) {
      std::size_t i = (last + k) % n;
      const TagEntry& e = table->entries[i];
      const TagEntry& r = tables.resolve(e);
      if (r.cls == h.cls && r.number == h.number) {
        last = i;
        return &r;
      }
    }
  }
  const TagTable* fallback = h.cls == ber::kUniversal     ? &tables.universal
                             : h.cls == ber::kApplication ? &tables.application
                                                          : nullptr;
  if (fallback != nullptr)
    for (const TagEntry& e : fallback->entries)
      if (e.cls == h.cls && e.number == h.number) return &e;
  return nullptr;
}

void add(OdaRaster& r, const char* label, std::string value) { r.dialog.push_back({label, std::move(value)}); }

// Performs an entry's action on an element whose contents lie at
// [at, at + bytes). `value` holds the contents when they were short enough
// to read.
void act(Walk& w, int action, const ber::Header& h, std::int64_t at, std::int64_t bytes,
         const std::vector<std::uint8_t>& value) {
  OdaRaster& r = w.raster;
  std::vector<std::int64_t> ints = integersOf(h, value.data(), value.size());
  auto first = [&](std::int64_t fallback) { return ints.empty() ? fallback : ints[0]; };
  auto countInside = [&]() {
    std::uint32_t n = 0;
    std::int64_t pos = at, end = at + bytes;
    ber::Header e;
    while (pos < end && ber::readHeader(w.src, pos, end, e) == Status::Ok) {
      if (e.cls == 0 && e.number == 0 && e.length == 0) break;
      if (e.indefinite) break;
      std::uint64_t room = static_cast<std::uint64_t>(end - pos - e.headerBytes);
      if (e.length > room) break;
      ++n;
      pos += e.headerBytes + static_cast<std::int64_t>(e.length);
    }
    return n;
  };
  if (w.mode == kWalkDialog) {
    switch (action) {
      case 1:
        if (ints.size() >= 4)
          add(r, "Clipping", format("( %d,%d ) : ( %d,%d )", static_cast<int>(ints[0]), static_cast<int>(ints[1]),
                                    static_cast<int>(ints[2]), static_cast<int>(ints[3])));
        break;
      case 2:
        if (ints.size() >= 2) r.tilingOffset[0] = ints[0], r.tilingOffset[1] = ints[1];
        break;
      case 3:
        add(r, "Compression Type", matches(kTiled, value)         ? "Tiled"
                                   : matches(kGroup4, value)       ? "Group 4 (UnTiled)"
                                   : matches(kUncompressed, value) ? "Uncompressed (UnTiled)"
                                                                   : "Unknown");
        break;
      case 18:
        if (ints.size() >= 2)
          add(r, "Tiling Offset", format("( %d,%d )", static_cast<int>(ints[0]), static_cast<int>(ints[1])));
        break;
      case 11:
        r.tileDataAt = at;
        r.tileDataBytes = bytes;
        break;
      case 20: add(r, "Author (2)", text(value)); break;
      case 21: add(r, "Author", text(value)); break;
      case 22: add(r, "Date/Time", text(value)); break;
      case 23: add(r, "Description", text(value)); break;
      case 24: add(r, "ODA Version", text(value)); break;
      case 25: add(r, "ODA Version (2)", text(value)); break;
      default: break;
    }
    return;
  }
  switch (action) {
    case 1:
      for (std::size_t i = 0; i < 4 && i < ints.size(); ++i) r.clipping[i] = ints[i];
      break;
    case 2:
      if (ints.size() >= 2) r.secondPair[0] = ints[0], r.secondPair[1] = ints[1];
      break;
    case 3:
      r.compression = matches(kTiled, value)           ? kCompTiled
                      : matches(kGroup4, value)        ? kCompG4
                      : matches(kUncompressed, value)  ? kCompUncompressed
                                                       : -2;
      break;
    case 4:
      if (matches(kRasterContent, value)) r.contentAccepted = true;
      break;
    case 5: r.height = first(0); break;
    case 6: r.width = first(0); break;
    case 7: r.lineProgression = direction(first(270)); break;
    case 8:
      r.spacingLength = first(0);
      r.pelSpaces = 1;
      r.spacingRatio[0] = r.spacingRatio[1] = 1;
      r.unitScaling[0] = r.unitScaling[1] = 1;
      break;
    case 9: r.pelPath = direction(first(0)); break;
    case 10:
      if (ints.size() >= 2) r.spacingLength = ints[0], r.pelSpaces = ints[1];
      break;
    case 11:
      r.tileDataAt = at;
      r.tileDataBytes = bytes;
      if (r.countedTiles == 0 && r.compression == kCompTiled) r.countedTiles = countInside();
      break;
    case 12:
      if (matches(kProfile, value)) r.profileAccepted = true;
      break;
    case 13:
      if (ints.size() >= 2) r.spacingRatio[0] = ints[0], r.spacingRatio[1] = ints[1];
      break;
    case 14: r.tileLength = first(0); break;
    case 15:
      r.tileListAt = at;
      r.tileListBytes = bytes;
      if (r.countedTiles == 0) r.countedTiles = countInside();
      break;
    case 16:
      r.tileTypesAt = at;
      r.tileTypesBytes = bytes;
      if (r.countedTiles == 0) r.countedTiles = countInside();
      break;
    case 17: r.tileWidth = first(0); break;
    case 18:
      if (ints.size() >= 2) r.tilingOffset[0] = ints[0], r.tilingOffset[1] = ints[1];
      break;
    case 19:
      if (ints.size() >= 2) r.unitScaling[0] = ints[0], r.unitScaling[1] = ints[1];
      break;
    default: break;
  }
}

}  // namespace

std::vector<std::int64_t> integersOf(const ber::Header& h, const std::uint8_t* contents, std::size_t count) {
  std::vector<std::int64_t> out;
  if (!h.constructed) {
    if (const Result<std::int64_t> v = ber::integerValue(contents, count); v.ok()) out.push_back(v.value());
  } else {
    collectIntegers(contents, count, 0, out);
  }
  return out;
}

Result<std::int64_t> berWalk(Walk& w, int depth, const TagTable* table, std::int64_t pos, std::int64_t limit) {
  if (depth > kWalkMaxDepth) {
    report(kWarning, kMsgUnableToRead, w.path);
    return Status::Unsupported;
  }
  const std::int64_t start = pos;
  std::size_t last = table != nullptr && !table->entries.empty() ? table->entries.size() - 1 : 0;
  while (pos < limit) {
    ber::Header h;
    if (ber::readHeader(w.src, pos, limit, h) != Status::Ok) break;  // the stream ends here
    std::int64_t at = pos + h.headerBytes;
    if (h.cls == 0 && h.number == 0 && !h.constructed && h.length == 0 && !h.indefinite) {
      pos = at;  // end-of-contents: this level ends
      break;
    }
    const TagEntry* entry = lookUp(w.tables, table, h, last);
    const TagTable* nested = entry != nullptr && entry->context != 0 ? w.tables.context(entry->context) : nullptr;
    std::int64_t bytes = 0;
    if (h.indefinite) {
      if (!h.constructed) {
        report(kWarning, kMsgPastEofCals2, nullptr);
        return Status::DataEnded;
      }
      // The contents run to their end-of-contents element.
      const Result<std::int64_t> used = berWalk(w, depth + 1, nested, at, limit);
      if (!used.ok()) return used;
      bytes = used.value();
      if (nested == nullptr && entry != nullptr && entry->action != 0)
        act(w, entry->action, h, at, std::max<std::int64_t>(bytes - 2, 0), {});
      pos = at + bytes;
      continue;
    }
    if (h.length > static_cast<std::uint64_t>(limit - at)) {
      report(kWarning, kMsgPastEofCals2, nullptr);
      return Status::DataEnded;
    }
    bytes = static_cast<std::int64_t>(h.length);
    if (nested != nullptr && h.constructed) {
      if (const Result<std::int64_t> inner = berWalk(w, depth + 1, nested, at, at + bytes); !inner.ok()) return inner;
    } else if (entry != nullptr && entry->action != 0) {
      std::vector<std::uint8_t> value;
      if (h.length <= kValueMax) {
        value.resize(static_cast<std::size_t>(h.length));
        if (!value.empty())
          if (Status s = w.src.read(at, value.data(), value.size()); s != Status::Ok) {
            report(kWarning, kMsgPastEofCals2, nullptr);
            return s;
          }
      }
      act(w, entry->action, h, at, bytes, value);
    }
    pos = at + bytes;
  }
  return pos - start;
}

}  // namespace hv::formats
