// Conversions between JEDMICS and Hollerith records, repository names and
// file-type mapping.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "records/hollrec_layout.h"
#include "records/jmxholl.h"
#include "records/jmxholl_layout.h"
#include "records/record_codes.h"

namespace {

namespace jmx = hv::records::jmx;
namespace holl = hv::records::holl;

// The exported functions' 1-or-0 result.
int jmxCode(hv::Status status) { return hv::records::toJmxhollCode(hv::records::JmxhollCall::Plain, status); }

// The field's text: its bytes up to the first NUL.
std::size_t textLength(const char* r, const jmx::FieldSpec& f) { return ::strnlen(r + f.offset, f.width); }

// Places the last printable characters of the text at the end of the target.
void copyRightJustified(const char* text, std::size_t length, char* target, std::size_t width) {
  std::size_t put = width;
  for (std::size_t i = length; i-- > 0 && put > 0;) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x20 || c == 0x7f) continue;
    target[--put] = static_cast<char>(c);
  }
}

// Writes Hollerith bytes into a field: the whole field (fresh) or only its
// first Hollerith-width characters (fold).
void putHollIntoField(char* j, const jmx::FieldSpec& f, const char* src, std::size_t n, bool fold) {
  if (!fold) std::memset(j + f.offset, 0, f.width);
  std::memcpy(j + f.offset, src, std::min(n, f.width));
}

void hollToJmx(const RecordHollerith* holl, JedmicsHollRec* rec, bool fold) {
  const char* h = holl->bytes;
  char* j = rec->bytes;
  if (!fold) (void)jmxholl_InitRecord(rec);
  for (int n = 1; n <= jmx::kFieldCount; ++n) {
    const jmx::FieldSpec& f = jmx::kFieldSpecs[n - 1];
    if (f.map == jmx::HollMap::None) continue;
    if (n == jmx::kAccDocRevField) {
      // Byte 43 first, then the two-character form, which wins.
      putHollIntoField(j, f, h + jmx::kAccRevHollByte, 1, fold);
    }
    putHollIntoField(j, f, h + f.hollOffset, f.hollWidth, fold);
  }
  std::memcpy(j + jmx::kSeqNum, h + holl::kSeqNum.offset, jmx::kSeqNumSize);
}

}  // namespace

extern "C" int jmxholl_JmxRecToHollRec(const JedmicsHollRec* rec, RecordHollerith* holl) {
  if (rec == nullptr || holl == nullptr) return jmxCode(hv::Status::BadArgument);
  const char* j = rec->bytes;
  char* h = holl->bytes;
  std::memset(h, ' ', holl::kRecordSize);
  for (int n = 1; n <= jmx::kFieldCount; ++n) {
    const jmx::FieldSpec& f = jmx::kFieldSpecs[n - 1];
    if (f.map == jmx::HollMap::None) continue;
    const std::size_t len = textLength(j, f);
    if (f.map == jmx::HollMap::RightRev) {
      copyRightJustified(j + f.offset, len, h + f.hollOffset, f.hollWidth);
      continue;
    }
    std::memcpy(h + f.hollOffset, j + f.offset, std::min(len, f.hollWidth));
    if (n == jmx::kAccDocRevField) copyRightJustified(j + f.offset, len, h + jmx::kAccRevHollByte, 1);
  }
  std::memcpy(h + holl::kSeqNum.offset, j + jmx::kSeqNum, jmx::kSeqNumSize);
  return jmxCode(hv::Status::Ok);
}

extern "C" int jmxholl_HollRecToJmxRec(const RecordHollerith* holl, JedmicsHollRec* rec) {
  if (holl == nullptr || rec == nullptr) return jmxCode(hv::Status::BadArgument);
  hollToJmx(holl, rec, false);
  return jmxCode(hv::Status::Ok);
}

extern "C" int jmxholl_HollRecFoldIntoJmxRec(const RecordHollerith* holl, JedmicsHollRec* rec) {
  if (holl == nullptr || rec == nullptr) return jmxCode(hv::Status::BadArgument);
  hollToJmx(holl, rec, true);
  return jmxCode(hv::Status::Ok);
}

extern "C" int jmxholl_GenerateDestName(char* dirOut, char* nameOut, char* extOut, long number,
                                        const char* fileType) {
  if (dirOut == nullptr || nameOut == nullptr || extOut == nullptr || number < 0) return jmxCode(hv::Status::BadArgument);
  std::snprintf(dirOut, 48, "%02ld/%02ld/", number / 10000, (number % 10000) / 100);
  std::snprintf(nameOut, 24, "%02ld", number % 100);
  struct Ext {
    const char* type;
    const char* ext;
  };
  static constexpr Ext kExts[] = {{"TIFF", "TIF"}, {"CAL1", "CT1"}, {"CAL2", "CT2"},
                                  {"EDM5", "C4"},  {"EDM6", "C4"},  {"PDF ", "RTF"}};
  const char* ext = "RST";
  if (fileType != nullptr)
    for (const auto& e : kExts)
      if (std::strncmp(fileType, e.type, 4) == 0) ext = e.ext;
  std::snprintf(extOut, 4, "%s", ext);
  return jmxCode(hv::Status::Ok);
}

extern "C" int jmxholl_MapGRXTypeToJMXType(const char* fileType, char* jmxType, char* jmxFormat) {
  if (fileType == nullptr || jmxType == nullptr || jmxFormat == nullptr) return jmxCode(hv::Status::BadArgument);
  struct Map {
    const char* type;
    const char* jmxType;
    const char* format;
  };
  static constexpr Map kMaps[] = {{"TIFF", "RSTR", "20"}, {"CAL1", "RSTR", "8"}, {"CAL2", "RSTR", "27"},
                                  {"EDM5", "RSTR", "1"},  {"EDM6", "RSTR", "1"}, {"PDF ", "PDF", "29"}};
  for (const auto& m : kMaps) {
    if (std::strncmp(fileType, m.type, 4) != 0) continue;
    std::strcpy(jmxType, m.jmxType);
    std::strcpy(jmxFormat, m.format);
    return jmxCode(hv::Status::Ok);
  }
  return jmxCode(hv::Status::NotFound);
}
