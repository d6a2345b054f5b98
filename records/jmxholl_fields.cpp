// Field access of the JEDMICS record.
#include <algorithm>
#include <cstdlib>
#include <initializer_list>
#include <cstring>

#include "records/jmxholl.h"
#include "records/jmxholl_layout.h"
#include "records/record_codes.h"

namespace {

namespace jmx = hv::records::jmx;

// The exported functions' 1-or-0 result.
int jmxCode(hv::Status status) { return hv::records::toJmxhollCode(hv::records::JmxhollCall::Plain, status); }

constexpr char kRecId[] = "jmxrecid: ";
constexpr char kFileBase[] = "JMX.HOL";
static_assert(sizeof kRecId - 1 == jmx::kTagSize);

const jmx::FieldSpec* spec(int field) {
  return field >= 1 && field <= jmx::kFieldCount ? &jmx::kFieldSpecs[field - 1] : nullptr;
}

// Stores text as jmxholl_SetField does.
void storeField(char* r, int field, const char* text, std::size_t length) {
  const jmx::FieldSpec* f = spec(field);
  std::memset(r + f->offset, 0, f->width);
  if ((field == jmx::kDocRevField || field == jmx::kSheetRevField) && length == 1) {
    r[f->offset] = ' ';
    r[f->offset + 1] = text[0];
    return;
  }
  std::memcpy(r + f->offset, text, std::min(length, f->width));
}

bool isSeparator(char c) { return c == '/' || c == '\\'; }

}  // namespace

extern "C" int jmxholl_InitRecord(JedmicsHollRec* rec) {
  if (rec == nullptr) return jmxCode(hv::Status::BadArgument);
  std::memset(rec->bytes, 0, sizeof rec->bytes);
  std::memcpy(rec->bytes + jmx::kTag, kRecId, jmx::kTagSize);
  return jmxCode(hv::Status::Ok);
}

extern "C" char* jmxholl_GetField(const JedmicsHollRec* rec, int field) {
  const jmx::FieldSpec* f = spec(field);
  if (rec == nullptr || f == nullptr) return nullptr;
  auto* out = static_cast<char*>(std::malloc(f->width + 1));
  if (out == nullptr) return nullptr;
  std::memcpy(out, rec->bytes + f->offset, f->width);
  out[f->width] = '\0';
  return out;
}

extern "C" void jmxholl_DeleteField(char** field) {
  if (field == nullptr) return;
  std::free(*field);
  *field = nullptr;
}

extern "C" int jmxholl_SetField(JedmicsHollRec* rec, int field, const char* text) {
  if (rec == nullptr || text == nullptr || spec(field) == nullptr) return jmxCode(hv::Status::BadArgument);
  storeField(rec->bytes, field, text, std::strlen(text));
  return jmxCode(hv::Status::Ok);
}

extern "C" int jmxholl_SetFileInfo(const char* fullPath, JedmicsHollRec* rec) {
  if (fullPath == nullptr || rec == nullptr) return jmxCode(hv::Status::BadArgument);
  for (int field : {20, 21, 22}) storeField(rec->bytes, field, "", 0);
  const std::size_t len = std::strlen(fullPath);
  if (len == 0) return jmxCode(hv::Status::Ok);
  std::size_t nameStart = 0;
  for (std::size_t i = len; i-- > 0;)
    if (isSeparator(fullPath[i])) {
      nameStart = i + 1;
      storeField(rec->bytes, 22, fullPath, i);
      break;
    }
  const char* name = fullPath + nameStart;
  const char* dot = std::strrchr(name, '.');
  const std::size_t stem = dot != nullptr ? static_cast<std::size_t>(dot - name) : std::strlen(name);
  storeField(rec->bytes, 20, name, stem);
  if (dot != nullptr) storeField(rec->bytes, 21, dot + 1, std::strlen(dot + 1));
  return jmxCode(hv::Status::Ok);
}

extern "C" const char* jmxholl_GetJmxHollFileBase(void) { return kFileBase; }
extern "C" const char* jmxholl_GetJmxRecIdStr(void) { return kRecId; }

namespace hv::records {

Status copyJmxField(int field, const JedmicsHollRec* rec, char* buf, std::size_t size) {
  const jmx::FieldSpec* f = spec(field);
  const bool bad = rec == nullptr || f == nullptr || buf == nullptr;
  if (bad || size < f->width + 1) {
    if (buf != nullptr && size > 0) buf[0] = '\0';
    return bad ? Status::BadArgument : Status::TooSmall;
  }
  std::memcpy(buf, rec->bytes + f->offset, f->width);
  buf[f->width] = '\0';
  return Status::Ok;
}

}  // namespace hv::records
