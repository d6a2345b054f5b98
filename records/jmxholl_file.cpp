// JMX.HOL: 1072-byte JEDMICS records without header, ended by CR LF after
// the last record; bytes 1034-1037 of a record are its key.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>

#include "records/hollrec_layout.h"
#include "records/index_file.h"
#include "records/jmxholl.h"
#include "records/jmxholl_layout.h"
#include "records/record_codes.h"

namespace {

namespace jmx = hv::records::jmx;
using hv::Result;
using hv::Status;
using hv::records::IndexEdit;
using hv::records::JmxhollCall;
using hv::records::toJmxhollCode;

constexpr std::size_t kSize = jmx::kRecordSize;

const char* recordAt(const std::string& file, std::size_t i) { return file.data() + i * kSize; }
std::size_t recordCount(const std::string& file) { return file.size() / kSize; }

bool validLongName(const char* longName) {
  return longName != nullptr &&
         ::strnlen(longName, hv::records::holl::kLongNameLength) == hv::records::holl::kLongNameLength;
}

long keyValue(const char* key) {
  char digits[5] = {};
  std::memcpy(digits, key, 4);
  return std::strtol(digits, nullptr, 10);
}

// The record found by the long name's key: the record at key - 1 when it
// carries the key, else the first one that does.
long findByLongName(const std::string& file, const char* longName) {
  const char* key = longName + hv::records::holl::kNameSeq.offset;
  const long count = static_cast<long>(recordCount(file));
  const long direct = keyValue(key) - 1;
  if (direct >= 0 && direct < count &&
      hv::records::sameKey(recordAt(file, static_cast<std::size_t>(direct)) + jmx::kSeqNum, key))
    return direct;
  for (long i = 0; i < count; ++i)
    if (hv::records::sameKey(recordAt(file, static_cast<std::size_t>(i)) + jmx::kSeqNum, key)) return i;
  return -1;
}

bool sameUpper(const char* a, const char* b, std::size_t from, std::size_t to) {
  for (std::size_t i = from; i < to; ++i)
    if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

long findByContent(const std::string& file, const JedmicsHollRec* match) {
  long found = -1;
  for (std::size_t i = 0; i < recordCount(file); ++i) {
    const char* r = recordAt(file, i);
    if (sameUpper(r, match->bytes, 0, jmx::kMatchFirstEnd) &&
        sameUpper(r, match->bytes, jmx::kMatchSecondBegin, jmx::kSeqNum))
      found = static_cast<long>(i);
  }
  return found;
}

IndexEdit removeRecord(std::string& file, long index) {
  std::string kept;
  for (std::size_t i = 0; i < recordCount(file); ++i)
    if (static_cast<long>(i) != index) kept.append(recordAt(file, i), kSize);
  if (kept.empty()) return IndexEdit::Remove;
  file = hv::records::withLineEnd(std::move(kept));
  return IndexEdit::Write;
}

std::optional<std::string> readJmx(const char* directory) {
  auto folder = hv::records::folderArgument(directory);
  if (!folder) return std::nullopt;
  return hv::records::readIndexFile(hv::records::indexFilePath(*folder, jmxholl_GetJmxHollFileBase()));
}

Status writeRecord(const char* directory, const JedmicsHollRec* rec, long seqNum) {
  auto folder = hv::records::folderArgument(directory);
  if (!folder || rec == nullptr) return Status::BadArgument;
  JedmicsHollRec copy = *rec;
  char seq[32];
  std::snprintf(seq, sizeof seq, "%04ld", seqNum);
  std::memcpy(copy.bytes + jmx::kSeqNum, seq, jmx::kSeqNumSize);
  return hv::records::editIndexFile(*folder, jmxholl_GetJmxHollFileBase(), [&](std::optional<std::string>& file) {
    if (!file) file.emplace();
    file->resize(recordCount(*file) * kSize);
    file->append(copy.bytes, kSize);
    *file = hv::records::withLineEnd(std::move(*file));
    return IndexEdit::Write;
  });
}

Status changeRecord(const JedmicsHollRec* rec, int index, const char* directory) {
  auto folder = hv::records::folderArgument(directory);
  if (!folder || rec == nullptr || index < 0) return Status::BadArgument;
  JedmicsHollRec copy = *rec;
  return hv::records::editIndexFile(*folder, jmxholl_GetJmxHollFileBase(), [&](std::optional<std::string>& file) {
    if (!file || static_cast<std::size_t>(index) >= recordCount(*file)) return IndexEdit::Keep;
    file->replace(static_cast<std::size_t>(index) * kSize, kSize, copy.bytes, kSize);
    return IndexEdit::Write;
  });
}

// Copies the record found by `find` in JMX.HOL to out; its index.
Result<long> findRecord(const char* directory, JedmicsHollRec* out, long (*find)(const std::string&, const void*),
                        const void* key) {
  auto file = readJmx(directory);
  if (!file) return Status::ReadFailed;
  long i = find(*file, key);
  if (i < 0) return Status::NotFound;
  std::memcpy(out->bytes, recordAt(*file, static_cast<std::size_t>(i)), kSize);
  return i;
}

long findByLongNameKey(const std::string& file, const void* longName) {
  return findByLongName(file, static_cast<const char*>(longName));
}
long findByContentKey(const std::string& file, const void* match) {
  return findByContent(file, static_cast<const JedmicsHollRec*>(match));
}

// Removes the record found by long name; removed receives its index when
// the file was rewritten or removed.
Status removeByLongName(const char* directory, const char* longName, long& removed) {
  removed = -1;
  auto folder = hv::records::folderArgument(directory);
  if (!folder || !validLongName(longName)) return Status::BadArgument;
  long index = -1;
  Status status =
      hv::records::editIndexFile(*folder, jmxholl_GetJmxHollFileBase(), [&](std::optional<std::string>& file) {
        index = file ? findByLongName(*file, longName) : -1;
        return index < 0 ? IndexEdit::Keep : removeRecord(*file, index);
      });
  if (status == Status::Ok || status == Status::IndexRemoved) removed = index;
  return status;
}

// Removes the last record matching by content; its sequence number.
Result<long> removeByContent(const char* directory, const JedmicsHollRec* match) {
  auto folder = hv::records::folderArgument(directory);
  if (!folder || match == nullptr) return Status::BadArgument;
  long seq = -1;
  Status status =
      hv::records::editIndexFile(*folder, jmxholl_GetJmxHollFileBase(), [&](std::optional<std::string>& file) {
        long i = file ? findByContent(*file, match) : -1;
        if (i < 0) return IndexEdit::Keep;
        seq = keyValue(recordAt(*file, static_cast<std::size_t>(i)) + jmx::kSeqNum);
        return removeRecord(*file, i);
      });
  if (status != Status::Ok && status != Status::IndexRemoved) return status;
  return seq;
}

}  // namespace

extern "C" int jmxholl_WriteJmxRec(const char* directory, const JedmicsHollRec* rec, long seqNum) {
  return toJmxhollCode(JmxhollCall::Plain, writeRecord(directory, rec, seqNum));
}

extern "C" int jmxholl_ChangeHollRec(const JedmicsHollRec* rec, int index, const char* directory) {
  return toJmxhollCode(JmxhollCall::Change, changeRecord(rec, index, directory));
}

extern "C" int jmxholl_FindRecUsingLongName(const char* directory, const char* longName, JedmicsHollRec* out) {
  if (!validLongName(longName) || out == nullptr) return toJmxhollCode(JmxhollCall::Index, Status::BadArgument);
  return toJmxhollCode(JmxhollCall::Index, findRecord(directory, out, findByLongNameKey, longName));
}

extern "C" int jmxholl_FindRecUsingHoll(const char* directory, const JedmicsHollRec* match, JedmicsHollRec* out) {
  if (match == nullptr || out == nullptr) return toJmxhollCode(JmxhollCall::Index, Status::BadArgument);
  return toJmxhollCode(JmxhollCall::Index, findRecord(directory, out, findByContentKey, match));
}

// IndexRemoved is not Ok here: the file was not rewritten but removed; the
// index is handed out all the same.
extern "C" int jmxholl_FindAndDelRec(const char* directory, const char* longName, int* index) {
  long removed = -1;
  Status status = removeByLongName(directory, longName, removed);
  if (index != nullptr) *index = static_cast<int>(removed);
  return toJmxhollCode(JmxhollCall::Plain, status);
}

extern "C" int jmxholl_FindAndDelRecBasedOnHoll(const char* directory, const JedmicsHollRec* match) {
  return toJmxhollCode(JmxhollCall::Index, removeByContent(directory, match));
}
