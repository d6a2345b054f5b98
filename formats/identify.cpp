#include "formats/identify.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <string_view>

#include "formats/compression_codes.h"
#include "formats/document_type.h"
#include "formats/format_tables.h"
#include "formats/imf_codes.h"
#include "formats/tiff_tags.h"
#include "platform/file_io.h"

namespace hv::formats {
namespace {

constexpr std::size_t kWorkBytes = 1024;

std::string upper(std::string_view s) {
  std::string u(s);
  for (char& c : u) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return u;
}

bool startsNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(text[i])) !=
        std::tolower(static_cast<unsigned char>(prefix[i])))
      return false;
  return true;
}

bool contains(std::string_view hay, std::string_view needle) { return hay.find(needle) != std::string_view::npos; }

// The part after the last separator; both '/' and '\' separate.
std::string_view fileName(std::string_view path) {
  std::size_t cut = path.find_last_of("/\\");
  return cut == std::string_view::npos ? path : path.substr(cut + 1);
}

struct Probe {
  int fd;
  std::uint32_t base;
  // Reads n bytes at base + pos; returns the count read (or -1).
  long read(void* buf, std::size_t n, std::uint32_t pos) const {
    return platform::readAt(fd, buf, n, static_cast<std::int64_t>(base) + pos);
  }
};

struct Found {
  int documentType = kDocumentNone;
  int filter = 0;
  int compression = 0;
};

std::uint16_t get16(const unsigned char* p, bool big) {
  return big ? static_cast<std::uint16_t>(p[0] << 8 | p[1]) : static_cast<std::uint16_t>(p[1] << 8 | p[0]);
}
std::uint32_t get32(const unsigned char* p, bool big) {
  return big ? (std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3])
             : (std::uint32_t{p[3]} << 24 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[1]} << 8 | p[0]);
}

// Name-led tests: the file name or extension decides which content test runs.
bool nameLedTests(const Probe& probe, std::string_view path, std::size_t available, Found& r) {
  std::string_view name = fileName(path);
  unsigned char buf[kWorkBytes + 1];

  // Hollerith index.
  if (upper(name) == "INDEX.HOL" && probe.read(buf, 100, 0) == 100 &&
      contains(std::string_view(reinterpret_cast<char*>(buf), 100), "srcdocid:")) {
    r.documentType = kDocumentHollerith;
    return true;
  }
  // JEDMICS index.
  if (upper(name) == "JMX.HOL" && probe.read(buf, 128, 0) == 128 &&
      contains(std::string_view(reinterpret_cast<char*>(buf), 128), "jmxrecid: ")) {
    r.documentType = kDocumentJedmics;
    return true;
  }
  // GIS/GOS data.
  {
    long got = probe.read(buf, available, 0);
    if (got >= 1) {
      std::string_view text(reinterpret_cast<char*>(buf), static_cast<std::size_t>(got));
      std::size_t at = text.find("VERSION");
      if (at != std::string_view::npos) {
        std::string_view rest = text.substr(at);
        if (contains(rest, "COMMENT") && contains(rest, "IMAGE")) {
          r.documentType = kDocumentGisGos;
          return true;
        }
      }
    }
  }
  // CDEX data.
  if (contains(upper(path), ".DLF")) {
    long got = probe.read(buf, available, 0);
    if (got >= 1) {
      std::string_view head(reinterpret_cast<char*>(buf), std::min<std::size_t>(static_cast<std::size_t>(got), 33));
      if (contains(head, "|")) {
        r.documentType = kDocumentCdex;
        return true;
      }
    }
  }
  // IMPORT/EXPORT document.
  {
    std::size_t dot = path.rfind('.');
    if (dot != std::string_view::npos && startsNoCase(path.substr(dot), ".DED") && probe.read(buf, 32, 0) == 32 &&
        buf[0] == 0xF2 && buf[1] == 0xF2) {
      r.documentType = kDocumentImportExport;
      r.filter = kFilterImportExport;
      r.compression = kIdentG4Wrap;
      return true;
    }
  }
  // MIL-STD-1840 declaration file: a four-character name D + three of [0-9A-Z].
  if (name.size() == 4) {
    std::string u = upper(name);
    bool shape = u[0] == 'D' && std::all_of(u.begin() + 1, u.end(), [](char c) {
      return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z');
    });
    if (shape) {
      long got = probe.read(buf, std::min<std::size_t>(available, kWorkBytes - 1), 0);
      if (got >= 1) {
        std::string_view text(reinterpret_cast<char*>(buf), static_cast<std::size_t>(got));
        DocumentType type = contains(text, "version:")  ? kDocument1840B
                            : contains(text, "srcsys:") ? kDocument1840A
                                                        : kDocumentNone;
        if (type != kDocumentNone) {
          r.documentType = type;
          r.filter = kFilterCals2;
          r.compression = kIdentG4;
          return true;
        }
      }
    }
  }
  // IMPORT/EXPORT image.
  if (path.find('.') != std::string_view::npos && probe.read(buf, 32, 0) == 32 && buf[0] == 0xF9 &&
      buf[1] == 0xF9) {
    r.filter = kFilterImportExport;
    r.compression = kIdentG4Wrap;
    return true;
  }
  return false;
}

// The TIFF test: succeeds on a valid header whatever follows; the first
// directory then only refines the compression.
bool tiffTest(const Probe& probe, const unsigned char* buf, long got, Found& r) {
  if (got < 4) return false;
  bool big;
  if (buf[0] == 'I' && buf[1] == 'I') big = false;
  else if (buf[0] == 'M' && buf[1] == 'M') big = true;
  else return false;
  if (get16(buf + 2, big) != kTiffVersion) return false;
  r.filter = kFilterTiff;
  if (got < 8) return true;
  std::uint32_t dirOffset = get32(buf + 4, big);
  unsigned char countBytes[2];
  if (probe.read(countBytes, 2, dirOffset) != 2) return true;
  unsigned count = std::min<unsigned>(get16(countBytes, big), 85);
  unsigned char entries[85 * 12];
  long have = probe.read(entries, count * 12u, dirOffset + 2);
  if (have < 0) return true;
  count = std::min<unsigned>(count, static_cast<unsigned>(have) / 12);
  auto shortValue = [&](unsigned i) { return get16(entries + i * 12 + 8, big); };
  auto find = [&](unsigned tag) -> int {
    for (unsigned i = 0; i < count; ++i)
      if (get16(entries + i * 12, big) == tag) return static_cast<int>(i);
    return -1;
  };
  int comp = find(kTiffCompression);
  if (comp < 0) return true;
  std::uint32_t fillOrder = kTiffFillMsbFirst;
  if (int fill = find(kTiffFillOrder); fill >= 0) fillOrder = shortValue(static_cast<unsigned>(fill));
  std::uint32_t t4Options = 0;
  if (int opts = find(kTiffT4Options); opts >= 0) {
    // T4Options is a LONG; its low bit lies in the first byte (little
    // endian) or the last byte (big endian) of the value field.
    const unsigned char* v = entries + static_cast<unsigned>(opts) * 12 + 8;
    std::uint16_t type = get16(entries + static_cast<unsigned>(opts) * 12 + 2, big);
    t4Options = type == kTiffShort ? get16(v, big) : get32(v, big);
  }
  r.compression = identFromTiffCompression(shortValue(static_cast<unsigned>(comp)), t4Options, fillOrder);
  return true;
}

bool calsTest(const Probe& probe, const unsigned char* buf, long got, Found& r) {
  std::string_view text(reinterpret_cast<const char*>(buf), static_cast<std::size_t>(got));
  if (!startsNoCase(text, "srcdocid: ") && !startsNoCase(text, "specversion: ")) return false;
  std::size_t records = std::min<std::size_t>(static_cast<std::size_t>(got) / 128, 16);
  for (std::size_t i = 0; i < records; ++i) {
    std::string_view rec = text.substr(i * 128, 128);
    if (!startsNoCase(rec.substr(1), "type: ")) continue;
    if (rec[7] == '1') {
      r.filter = kFilterCals1;
      r.compression = kIdentG4;
      return true;
    }
    if (rec[7] == '2') {
      unsigned char tag = 0;
      if (probe.read(&tag, 1, 2048) == 1 && tag == 0xA0) {
        r.filter = kFilterCals2;
        r.compression = kIdentG4;
        return true;
      }
    }
    return false;
  }
  return false;
}

std::uint16_t le16(const unsigned char* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }

bool edmicsTests(const unsigned char* buf, long got, Found& r) {
  if (got >= 128 && (buf[36] == 4 || buf[36] == 6) && le16(buf + 28) == 0x0100) {
    std::uint16_t widthBits = static_cast<std::uint16_t>(le16(buf + 6) * 8);
    unsigned columns = (widthBits + 511u) / 512u;
    unsigned rows = (le16(buf + 4) + 511u) / 512u;
    std::uint16_t tiles = static_cast<std::uint16_t>(columns * rows);
    std::uint8_t low = static_cast<std::uint8_t>(tiles & 0xFF);
    bool ok = tiles <= 252 ? buf[12] == low : (buf[12] == 0 || buf[12] == low);
    if (ok) {
      r.filter = kFilterEdmics6;
      r.compression = kIdentG4;
      return true;
    }
  }
  if (got >= 512 && std::all_of(buf + 100, buf + 105, [](unsigned char c) { return c >= '0' && c <= '9'; }) &&
      buf[435] < 0x80) {
    r.filter = kFilterEdmics5;
    r.compression = kIdentG4;
    return true;
  }
  return false;
}

// A CALS Type 2 raster without its CALS header block: the ODA stream itself,
// a context-specific constructed element [0] (0xA0) whose length is well
// formed and lies within the file, holding a constructed element. Tried only
// after every other test.
bool headerlessCals2Test(const Probe& probe, const unsigned char* buf, long got) {
  if (got < 4 || buf[0] != 0xA0) return false;
  std::size_t at = 2;
  std::uint64_t length = 0;
  if (buf[1] == 0x80) {
    length = 0;  // indefinite form
  } else if (buf[1] < 0x80) {
    length = buf[1];
  } else {
    unsigned n = buf[1] & 0x7F;
    if (n > 4 || static_cast<long>(2 + n) >= got) return false;
    for (unsigned i = 0; i < n; ++i) length = length << 8 | buf[2 + i];
    at = 2 + n;
  }
  if (static_cast<long>(at) >= got || (buf[at] & 0x20) == 0) return false;
  std::int64_t size = platform::fileSize(probe.fd);
  return size >= 0 && static_cast<std::int64_t>(probe.base + at + length) <= size;
}

// Content-led tests; also reports how many bytes the read produced.
bool contentTests(const Probe& probe, Found& r, long& got) {
  unsigned char buf[kWorkBytes + 1] = {};
  got = probe.read(buf, kWorkBytes, 0);
  if (got < 0) return false;
  if (got >= 4 && std::memcmp(buf, "%PDF", 4) == 0) {
    r.filter = kFilterPdf;
    return true;
  }
  if (tiffTest(probe, buf, got, r)) return true;
  if (got >= 6 && startsNoCase(std::string_view(reinterpret_cast<char*>(buf), 6), "AD1000")) {
    r.filter = kFilterAudre;
    r.compression = kIdentRawMsb;
    return true;
  }
  if (calsTest(probe, buf, got, r)) return true;
  if (edmicsTests(buf, got, r)) return true;
  if (headerlessCals2Test(probe, buf, got)) {
    r.filter = kFilterCals2;
    r.compression = kIdentG4;
    return true;
  }
  return false;
}

}  // namespace
}  // namespace hv::formats

namespace hv::formats {

Result<Identification> identifyFile(const char* path) {
  if (path == nullptr) return Status::BadArgument;
  std::string work(path);
  // Opened without blocking, so that a FIFO or device in the file's place
  // is looked at (and not recognised) instead of waited for.
  int fd = platform::openFile(work.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return Status::ReadFailed;
  std::size_t available = kWorkBytes;
  for (std::uint32_t base : {0u, kSecondPassOffset}) {
    Probe probe{fd, base};
    Found r;
    long got = 0;
    bool found = nameLedTests(probe, work, available, r) || contentTests(probe, r, got);
    if (found) {
      platform::closeFile(fd);
      return Identification{r.documentType, r.filter, r.compression, base};
    }
    // The second pass's name-led tests look at as many bytes as the first
    // pass's content read produced.
    available = got > 0 ? static_cast<std::size_t>(got) : 0;
  }
  platform::closeFile(fd);
  return Status::NotFound;
}

}  // namespace hv::formats

extern "C" int imfTypeDosFile(const char* path, int* documentType, int* filter, int* compression,
                              std::uint32_t* headerOffset) {
  using namespace hv::formats;
  if (path == nullptr || documentType == nullptr || filter == nullptr || compression == nullptr ||
      headerOffset == nullptr)
    return toImfFlag(hv::Status::BadArgument);
  *documentType = *filter = *compression = 0;
  const hv::Result<Identification> found = identifyFile(path);
  if (found.ok()) {
    *documentType = found.value().documentType;
    *filter = found.value().filter;
    *compression = found.value().compression;
    *headerOffset = found.value().headerOffset;
  } else if (found.status() == hv::Status::NotFound) {
    *headerOffset = kSecondPassOffset;
  }
  return toImfFlag(found.status());
}

namespace hv::formats {

bool isBigTiff(const char* path) {
  if (path == nullptr) return false;
  int fd = hv::platform::openRegularFile(path);
  if (fd < 0) return false;
  unsigned char h[4];
  const bool got = hv::platform::readFull(fd, h, 4) == 4;
  hv::platform::closeFile(fd);
  return got && ((h[0] == 'I' && h[1] == 'I' && h[2] == kBigTiffVersion && h[3] == 0) ||
                 (h[0] == 'M' && h[1] == 'M' && h[2] == 0 && h[3] == kBigTiffVersion));
}

}  // namespace hv::formats
