#include "formats/cals1_header.h"

#include <cctype>
#include <cstdio>
#include <algorithm>
#include <cstring>
#include <strings.h>

#include "formats/cals1_layout.h"

namespace hv::formats::cals {
namespace {

void putRecord(char* block, int index, const std::string& text) {
  char* rec = block + static_cast<std::size_t>(index) * kRecordBytes;
  std::memset(rec, ' ', kRecordBytes);
  std::memcpy(rec, text.data(), std::min(text.size(), kRecordBytes));
}

std::string printf3(const char* fmt, long a, long b) {
  char buf[64];
  std::snprintf(buf, sizeof buf, fmt, a, b);
  return buf;
}

}  // namespace

bool isFormB(const char* block) { return ::strncasecmp(block, "specversion: ", 13) == 0; }

void startBlock(char* block, const char* source) {
  if (source != nullptr) {
    std::memcpy(block, source, kBlockBytes);
    return;
  }
  std::memset(block, ' ', kBlockBytes);
  buildTemplate(block);
}

void buildTemplate(char* block) {
  bool formB = isFormB(block);
  std::memset(block, ' ', kHeaderBytes);
  if (formB) {
    const char* keys[] = {"specversion: ", "srcdocid: ", "dstdocid: ", "dtype: ", "rorient: ",
                          "rpelcnt: ",     "rdensty: ",  "doccls: ",   "notes: "};
    for (int i = 0; i < 9; ++i) putRecord(block, i, keys[i]);
    return;
  }
  const char* keys[] = {"srcdocid: ", "dstdocid: ", "txtfilid: ", "figid: ",   "srcgph: ", "doccls: ",
                        "rtype: ",    "rorient: ",  "rpelcnt: ",  "rdensty: ", "notes: "};
  for (int i = 0; i < 11; ++i) {
    bool raster = i >= form_a::kRType && i <= form_a::kRDensty;
    putRecord(block, i, std::string(keys[i]) + (raster ? "" : "NONE"));
  }
}

void setRasterRecords(char* block, int pelPath, int lineProgression, std::uint32_t width, std::uint32_t height,
                      std::uint32_t resolution, int rasterType) {
  bool formB = isFormB(block);
  int first = formB ? form_b::kDType : form_a::kRType;
  putRecord(block, first, std::string(formB ? "dtype: " : "rtype: ") + std::to_string(rasterType));
  putRecord(block, first + 1, "rorient: " + printf3("%03ld,%03ld", pelPath * 90L, lineProgression * 90L));
  putRecord(block, first + 2, "rpelcnt: " + printf3("%06ld,%06ld", static_cast<long>(width), static_cast<long>(height)));
  char density[32];
  std::snprintf(density, sizeof density, "rdensty: %04ld", static_cast<long>(resolution));
  putRecord(block, first + 3, density);
}

Status findRecord(const char* header, const char* keyword, char* out) {
  std::size_t len = std::strlen(keyword);
  for (std::size_t i = 0; i < kBlockRecords; ++i) {
    const char* rec = header + i * kRecordBytes;
    if (len <= kRecordBytes && ::strncasecmp(rec, keyword, len) == 0) {
      std::memcpy(out, rec, kRecordBytes);
      return Status::Ok;
    }
  }
  std::memset(out, ' ', kRecordBytes);
  std::string text = std::string(keyword) + "NONE";
  std::memcpy(out, text.data(), std::min(text.size(), kRecordBytes));
  return Status::NotFound;
}

std::string recordText(const char* block, int i) {
  std::string s(block + static_cast<std::size_t>(i) * kRecordBytes, kRecordBytes);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\0')) s.pop_back();
  for (char& c : s)
    if (!std::isprint(static_cast<unsigned char>(c))) c = '?';
  return s;
}

std::uint32_t readNumber(const char* p, const char* end) {
  while (p < end && *p == ' ') ++p;
  std::uint64_t v = 0;
  while (p < end && *p >= '0' && *p <= '9') {
    v = v * 10 + static_cast<unsigned>(*p - '0');
    if (v > 0xFFFFFFFFu) v = 0xFFFFFFFFu;
    ++p;
  }
  return static_cast<std::uint32_t>(v);
}

const char* keywordSrcDocId() { return "srcdocid:"; }
const char* keywordSpecVersion() { return "specversion:"; }
const char* keywordDstDocId() { return "dstdocid:"; }
const char* keywordDocCls() { return "doccls:"; }
const char* keywordNotes() { return "notes:"; }
const char* keywordTxtFilId() { return "txtfilid:"; }
const char* keywordFigId() { return "figid:"; }
const char* keywordSrcGph() { return "srcgph:"; }
const char* valueNone() { return "NONE"; }

}  // namespace hv::formats::cals
