#include "formats/cals_compose.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <fcntl.h>
#include <strings.h>
#include <vector>

#include "formats/cals1_header.h"
#include "formats/cals1_layout.h"
#include "formats/format_tables.h"
#include "formats/identify.h"
#include "platform/file_io.h"
#include "platform/ini_file.h"

namespace hv::formats::cals {
namespace {

constexpr std::size_t kMaxLine = 511;
constexpr std::size_t kEdmicsCardAt = 41;  // the card image in an EDMICS VI header

// A record of the target: its keyword, where it starts and how many bytes it
// may take.
struct Slot {
  const char* keyword;
  std::size_t at;
  std::size_t span;
};

constexpr Slot kFormA[] = {{"srcdocid:", 0, 128},   {"dstdocid:", 128, 128}, {"txtfilid:", 256, 128},
                           {"figid:", 384, 128},    {"srcgph:", 512, 128},   {"doccls:", 640, 128},
                           {"notes:", 1280, 768}};
constexpr Slot kFormB[] = {{"specversion:", 0, 128}, {"srcdocid:", 128, 128}, {"dstdocid:", 256, 128},
                           {"doccls:", 896, 128},    {"notes:", 1024, 1024}};

bool printable(char c) { return std::isprint(static_cast<unsigned char>(c)) != 0; }

void putText(char* block, const Slot& slot, std::string_view text) {
  std::memset(block + slot.at, ' ', slot.span);
  std::memcpy(block + slot.at, text.data(), std::min(text.size(), slot.span));
}

// Where keyword applies in line: at its start or right after a space.
std::size_t keywordAt(std::string_view line, std::string_view keyword) {
  if (line.substr(0, keyword.size()) == keyword) return 0;
  for (std::size_t p = line.find(keyword, 1); p != std::string_view::npos; p = line.find(keyword, p + 1))
    if (line[p - 1] == ' ') return p;
  return std::string_view::npos;
}

// The record a user data line gives: the keyword, then what follows it on
// the line (printable characters only), or "NONE" when nothing does.
std::string recordFromLine(std::string_view line, std::size_t at, std::string_view keyword) {
  std::string rest;
  for (char c : line.substr(at + keyword.size()))
    if (printable(c)) rest += c;
  if (rest.find_first_not_of(' ') == std::string::npos) return std::string(keyword) + valueNone();
  return std::string(keyword) + rest;
}

std::vector<std::string_view> lines(std::string_view text) {
  std::vector<std::string_view> out;
  while (!text.empty()) {
    std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    out.push_back(line.substr(0, kMaxLine));
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return out;
}

template <std::size_t N>
void applyUserData(char* block, const Slot (&slots)[N], std::string_view userData) {
  for (std::string_view line : lines(userData)) {
    for (const Slot& s : slots) {
      std::size_t at = keywordAt(line, s.keyword);
      if (at == std::string_view::npos) continue;
      putText(block, s, recordFromLine(line, at, s.keyword));
      break;
    }
  }
}

// The source's record for keyword, copied over the target slot: the whole
// span when the source record may run on (notes), else one record.
bool copySourceRecord(char* block, const Slot& slot, const std::string& source) {
  std::size_t len = std::strlen(slot.keyword);
  for (std::size_t i = 0; i < kHeaderRecords; ++i) {
    const char* rec = source.data() + i * kRecordBytes;
    if (::strncasecmp(rec, slot.keyword, len) != 0) continue;
    std::size_t avail = kHeaderBytes - i * kRecordBytes;
    std::size_t n = std::min(slot.span, slot.span > kRecordBytes ? avail : kRecordBytes);
    std::memset(block + slot.at, ' ', slot.span);
    std::memcpy(block + slot.at, rec, n);
    return true;
  }
  return false;
}

// The value of the source's srcdocid record, from the character after the
// colon to the end of the record.
std::string srcDocIdValue(const std::string& source) {
  char rec[kRecordBytes];
  (void)findRecord(source.data(), keywordSrcDocId(), rec);  // a missing record reads as NONE
  std::size_t len = std::strlen(keywordSrcDocId());
  return std::string(rec + len, kRecordBytes - len);
}

// A Form B header is read record by record up to the first keyword that is
// not its own, a keyword ending at the first space, and CALS files are
// recognised by "srcdocid: " or "specversion: " at their start: every record
// must therefore hold "keyword: value". Records written "keyword:value" get
// the space, the rest of the record moving one place right.
void separateKeywords(char* block) {
  static const char* const kKeywords[] = {"specversion:", "srcdocid:", "dstdocid:", "txtfilid:", "figid:",
                                          "srcgph:",      "doccls:",   "dtype:",    "rtype:",    "rorient:",
                                          "rpelcnt:",     "rdensty:",  "notes:"};
  for (std::size_t i = 0; i < kHeaderRecords; ++i) {
    char* rec = block + i * kRecordBytes;
    for (const char* k : kKeywords) {
      std::size_t len = std::strlen(k);
      if (::strncasecmp(rec, k, len) != 0) continue;
      if (rec[len] != ' ') {
        std::size_t end = std::strcmp(k, "notes:") == 0 ? kHeaderBytes - i * kRecordBytes : kRecordBytes;
        std::memmove(rec + len + 1, rec + len, end - len - 1);
        rec[len] = ' ';
      }
      break;
    }
  }
}

}  // namespace

SourceHeader calsSource(std::string_view bytes) {
  SourceHeader s;
  s.header.assign(kBlockBytes, ' ');
  std::memcpy(s.header.data(), bytes.data(), std::min(bytes.size(), kHeaderBytes));
  s.kind = ::strncasecmp(s.header.data(), "specversion:", 12) == 0 ? SourceKind::k1840B : SourceKind::k1840A;
  return s;
}

SourceHeader edmicsSource(std::string_view card) {
  SourceHeader s;
  s.kind = SourceKind::kEdmics6;
  s.card.assign(kCardColumns, ' ');
  for (std::size_t i = 0; i < std::min(card.size(), kCardColumns); ++i)
    s.card[i] = printable(card[i]) ? card[i] : ' ';
  return s;
}

SourceHeader captureSource(const char* path) {
  if (path == nullptr || path[0] == '\0') return {};
  const Result<Identification> found = identifyFile(path);
  if (!found.ok()) return {};
  const int filter = found.value().filter;
  const std::uint32_t offset = found.value().headerOffset;
  if (filter != kFilterCals1 && filter != kFilterCals2 && filter != kFilterEdmics6) return {};
  int fd = platform::openFile(path, O_RDONLY);
  if (fd < 0) return {};
  std::string buf(kHeaderBytes, ' ');
  SourceHeader s;
  if (filter == kFilterEdmics6) {
    long got = platform::readAt(fd, buf.data(), kCardColumns, offset + kEdmicsCardAt);
    if (got == static_cast<long>(kCardColumns)) s = edmicsSource(std::string_view(buf.data(), kCardColumns));
  } else {
    long got = platform::readAt(fd, buf.data(), kHeaderBytes, offset);
    if (got == static_cast<long>(kHeaderBytes)) s = calsSource(buf);
  }
  platform::closeFile(fd);
  return s;
}

std::string readUserData(const std::string& settingsFile, const char* key) {
  if (settingsFile.empty()) return {};
  auto path = platform::IniFile::load(settingsFile).get(kSettingsSection, key);
  std::string text;
  if (!path || path->empty() || platform::readWholeFile(*path, text, 1u << 20) != Status::Ok) return {};
  return text;
}

std::string cardFromSrcDocId(std::string_view value) {
  auto at = [&](std::size_t i) { return i < value.size() && printable(value[i]) ? value[i] : ' '; };
  std::string c(kCardColumns, ' ');
  for (std::size_t i = 0; i <= 48; ++i) c[i] = at(i);
  c[49] = at(55) == ' ' ? at(56) : at(55);
  c[50] = at(49);
  c[51] = at(50);
  c[76] = at(57);
  c[77] = at(52);
  c[78] = at(53);
  c[79] = at(54);
  return c;
}

// Columns 0 to 48 stay where they are; the fields the card mapping gathers
// from the value go back to the places it takes them from, so a card taken
// to 1840 B and back keeps every column the card mapping carries. A card with
// T in column 50 does not follow that field layout and is kept as it is.
std::string srcDocIdFromCard(std::string_view card) {
  auto at = [&](std::size_t i) { return i < card.size() && printable(card[i]) ? card[i] : ' '; };
  if (at(50) == 'T') {
    std::string v(kCardColumns, ' ');
    for (std::size_t i = 0; i < kCardColumns; ++i) v[i] = at(i);
    return v;
  }
  std::string v(58, ' ');
  for (std::size_t i = 0; i <= 48; ++i) v[i] = at(i);
  v[49] = at(50);
  v[50] = at(51);
  v[52] = at(77);
  v[53] = at(78);
  v[54] = at(79);
  v[55] = at(49);
  v[57] = at(76);
  return v;
}

void composeHeader(char* block, bool form1840B, std::string_view userData, const SourceHeader& source) {
  std::memset(block, ' ', kBlockBytes);
  const std::string empty(kBlockBytes, ' ');
  char rec[kRecordBytes];
  if (!form1840B) {
    for (const Slot& s : kFormA) {
      findRecord(empty.data(), s.keyword, rec);
      putText(block, s, std::string_view(rec, kRecordBytes));
    }
    applyUserData(block, kFormA, userData);
    const Slot& src = kFormA[0];
    switch (source.kind) {
      case SourceKind::kEdmics6: putText(block, src, std::string(keywordSrcDocId()) + source.card); break;
      case SourceKind::k1840B:
        for (const Slot& s : kFormA)
          if (std::strcmp(s.keyword, "dstdocid:") == 0 || std::strcmp(s.keyword, "doccls:") == 0 ||
              std::strcmp(s.keyword, "notes:") == 0)
            copySourceRecord(block, s, source.header);
        putText(block, src, std::string(keywordSrcDocId()) + cardFromSrcDocId(srcDocIdValue(source.header)));
        break;
      case SourceKind::k1840A: std::memcpy(block, source.header.data(), kHeaderBytes); break;
      case SourceKind::kNone: break;
    }
    separateKeywords(block);
    return;
  }
  std::memcpy(block, "specversion: ", 13);  // marks the block as Form B for the writer
  for (const Slot& s : kFormB) {
    findRecord(empty.data(), s.keyword, rec);
    putText(block, s, std::string_view(rec, kRecordBytes));
  }
  applyUserData(block, kFormB, userData);
  const Slot& src = kFormB[1];
  switch (source.kind) {
    case SourceKind::k1840B: std::memcpy(block, source.header.data(), kHeaderBytes); break;
    case SourceKind::k1840A:
      for (const Slot& s : kFormB)
        if (s.at != src.at) copySourceRecord(block, s, source.header);
      putText(block, src, std::string(keywordSrcDocId()) + srcDocIdFromCard(srcDocIdValue(source.header)));
      break;
    case SourceKind::kEdmics6:
      putText(block, src, std::string(keywordSrcDocId()) + srcDocIdFromCard(source.card));
      break;
    case SourceKind::kNone: break;
  }
  separateKeywords(block);
}

std::string composeCard(std::string_view userData, const SourceHeader& source) {
  std::string card(kCardColumns, ' ');
  for (std::string_view line : lines(userData)) {
    if (line.size() < 9 || ::strncasecmp(line.data(), "srcdocid:", 9) != 0) continue;
    std::string_view value = line.substr(9);
    while (!value.empty() && value.front() == ' ') value.remove_prefix(1);
    for (std::size_t i = 0; i < std::min(value.size(), kCardColumns); ++i)
      card[i] = printable(value[i]) ? value[i] : ' ';
    break;
  }
  if (source.kind == SourceKind::kEdmics6) {
    card = source.card;
  } else if (source.kind == SourceKind::k1840B) {
    // Position 0 is the first character after "srcdocid: ".
    std::string value = srcDocIdValue(source.header);
    card = cardFromSrcDocId(std::string_view(value).substr(value.empty() || value[0] != ' ' ? 0 : 1));
  }
  return card;
}

}  // namespace hv::formats::cals
