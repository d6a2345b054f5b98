// Long names of Hollerith records: the 64-character image file name built
// from a record, and the record rebuilt from such a name.
#include <algorithm>
#include <cstring>

#include "records/hollrec.h"
#include "records/hollrec_layout.h"
#include "records/record_codes.h"

namespace {

using hv::records::holl::Field;
namespace holl = hv::records::holl;

// The exported functions' 1-or-0 result.
int hollCode(hv::Status status) { return hv::records::toHollrecCode(hv::records::HollrecCall::Plain, status); }

constexpr char kBlank = ' ';

bool isBlank(const char* p, std::size_t n) {
  return std::all_of(p, p + n, [](char c) { return c == kBlank; });
}

// The long-name test: any non-blank byte of the Acc kind, number or revision.
bool carriesAccDocument(const char* r) {
  return !isBlank(r + holl::kAccKind.offset, holl::kAccKind.width + holl::kAccNum.width + holl::kAccRev.width);
}

// A two-byte field holding "X " becomes " X".
void rightJustifyPair(char* r, Field f) {
  if (r[f.offset] != kBlank && r[f.offset + 1] == kBlank) {
    r[f.offset + 1] = r[f.offset];
    r[f.offset] = kBlank;
  }
}

void leftJustify(char* r, Field f) {
  char* p = r + f.offset;
  std::size_t lead = 0;
  while (lead < f.width && p[lead] == kBlank) ++lead;
  if (lead == 0 || lead == f.width) return;
  std::memmove(p, p + lead, f.width - lead);
  std::memset(p + f.width - lead, kBlank, lead);
}

class NameBuilder {
 public:
  void field(const char* r, Field f) { append(r + f.offset, f.width); }
  void blanks(std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) put(kBlank);
  }
  void put(char c) {
    if (len_ < holl::kLongNameLength) name_[len_++] = c;
  }
  void append(const char* p, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) put(p[i]);
  }
  // Finishes the name into out; returns its length, which stops at the first
  // NUL byte that a field carried in.
  std::size_t finish(char* out) {
    std::size_t n = 0;
    while (n < len_ && name_[n] != '\0') {
      char c = name_[n];
      out[n] = (c == kBlank || c == '\\' || c == '/' || c == '*' || c == '.') ? '_' : c;
      ++n;
    }
    out[n] = '\0';
    return n;
  }

 private:
  char name_[holl::kLongNameLength] = {};
  std::size_t len_ = 0;
};

void copyNameToRecord(const char* name, Field from, char* r, Field to) {
  std::memcpy(r + to.offset, name + from.offset, std::min(from.width, to.width));
}

}  // namespace

extern "C" int hollrec_XlateRecToLongName(RecordHollerith* rec, char* out) {
  if (out == nullptr || rec == nullptr) return hollCode(hv::Status::BadArgument);
  char* r = rec->bytes;
  NameBuilder b;
  b.field(r, holl::kDocNum);
  b.blanks(2);
  b.field(r, holl::kFscm);
  b.blanks(2);
  b.field(r, holl::kDocType);
  b.blanks(2);
  b.field(r, holl::kSheetNum);
  b.blanks(3);
  b.field(r, holl::kCardNum);
  b.blanks(3);
  const bool acc = carriesAccDocument(r);
  rightJustifyPair(r, holl::kBaseRev);
  if (acc) {
    b.blanks(1);
    b.field(r, holl::kAccRev);
  } else {
    b.field(r, holl::kBaseRev);
  }
  b.blanks(4);
  b.field(r, holl::kAccKind);
  b.blanks(3);
  if (acc) leftJustify(r, holl::kAccNum);
  b.field(r, holl::kAccNum);
  b.field(r, holl::kSeqNum);
  rightJustifyPair(r, holl::kAccRevLong);
  return hollCode(b.finish(out) == holl::kLongNameLength ? hv::Status::Ok : hv::Status::BadArgument);
}

extern "C" int hollrec_XlateLongNameToRec(const char* name, RecordHollerith* rec) {
  if (name == nullptr || rec == nullptr) return hollCode(hv::Status::BadArgument);
  if (::strnlen(name, holl::kLongNameLength) < holl::kLongNameLength) return hollCode(hv::Status::BadArgument);
  char* r = rec->bytes;
  std::memset(r, kBlank, holl::kRecordSize);
  copyNameToRecord(name, holl::kNameDocNum, r, holl::kDocNum);
  copyNameToRecord(name, holl::kNameFscm, r, holl::kFscm);
  copyNameToRecord(name, holl::kNameDocType, r, holl::kDocType);
  copyNameToRecord(name, holl::kNameSheet, r, holl::kSheetNum);
  if (name[holl::kNameSheet.offset] == '_') r[holl::kSheetNum.offset] = '0';
  copyNameToRecord(name, holl::kNameCard, r, holl::kCardNum);
  copyNameToRecord(name, holl::kNameRev, r, holl::kBaseRev);
  copyNameToRecord(name, holl::kNameAccKind, r, holl::kAccKind);
  copyNameToRecord(name, holl::kNameAccNum, r, holl::kAccNum);
  const bool acc = !std::all_of(name + holl::kNameAccKind.offset, name + holl::kNameAccKind.end(),
                                [](char c) { return c == '_'; }) ||
                   !std::all_of(name + holl::kNameAccNum.offset, name + holl::kNameAccNum.end(),
                                [](char c) { return c == '_'; });
  if (acc) {
    copyNameToRecord(name, holl::kNameRev, r, holl::kAccRevLong);
    const char first = name[holl::kNameRev.offset];
    const char second = name[holl::kNameRev.offset + 1];
    if (first != '_') r[holl::kAccRev.offset] = first;
    if (second != '_') r[holl::kAccRev.offset] = second;
    std::memset(r + holl::kBaseRev.offset, kBlank, holl::kBaseRev.width);
  }
  copyNameToRecord(name, holl::kNameSeq, r, holl::kSeqNum);
  std::replace(r, r + holl::kRecordSize, '_', kBlank);
  return hollCode(hv::Status::Ok);
}
