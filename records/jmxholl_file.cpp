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

namespace {

namespace jmx = hv::records::jmx;
using hv::records::IndexEdit;

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

}  // namespace

extern "C" int jmxholl_WriteJmxRec(const char* directory, const JedmicsHollRec* rec, long seqNum) {
  auto folder = hv::records::folderArgument(directory);
  if (!folder || rec == nullptr) return 0;
  JedmicsHollRec copy = *rec;
  char seq[32];
  std::snprintf(seq, sizeof seq, "%04ld", seqNum);
  std::memcpy(copy.bytes + jmx::kSeqNum, seq, jmx::kSeqNumSize);
  bool ok = hv::records::editIndexFile(*folder, jmxholl_GetJmxHollFileBase(), [&](std::optional<std::string>& file) {
    if (!file) file.emplace();
    file->resize(recordCount(*file) * kSize);
    file->append(copy.bytes, kSize);
    *file = hv::records::withLineEnd(std::move(*file));
    return IndexEdit::Write;
  });
  return ok ? 1 : 0;
}

extern "C" int jmxholl_ChangeHollRec(const JedmicsHollRec* rec, int index, const char* directory) {
  auto folder = hv::records::folderArgument(directory);
  if (!folder || rec == nullptr || index < 0) return -1;
  JedmicsHollRec copy = *rec;
  bool ok = hv::records::editIndexFile(*folder, jmxholl_GetJmxHollFileBase(), [&](std::optional<std::string>& file) {
    if (!file || static_cast<std::size_t>(index) >= recordCount(*file)) return IndexEdit::Keep;
    file->replace(static_cast<std::size_t>(index) * kSize, kSize, copy.bytes, kSize);
    return IndexEdit::Write;
  });
  return ok ? static_cast<int>(kSize) : -1;
}

extern "C" int jmxholl_FindRecUsingLongName(const char* directory, const char* longName, JedmicsHollRec* out) {
  if (!validLongName(longName) || out == nullptr) return -1;
  auto file = readJmx(directory);
  if (!file) return -1;
  long i = findByLongName(*file, longName);
  if (i < 0) return -1;
  std::memcpy(out->bytes, recordAt(*file, static_cast<std::size_t>(i)), kSize);
  return static_cast<int>(i);
}

extern "C" int jmxholl_FindRecUsingHoll(const char* directory, const JedmicsHollRec* match, JedmicsHollRec* out) {
  if (match == nullptr || out == nullptr) return -1;
  auto file = readJmx(directory);
  if (!file) return -1;
  long i = findByContent(*file, match);
  if (i < 0) return -1;
  std::memcpy(out->bytes, recordAt(*file, static_cast<std::size_t>(i)), kSize);
  return static_cast<int>(i);
}

extern "C" int jmxholl_FindAndDelRec(const char* directory, const char* longName, int* index) {
  if (index != nullptr) *index = -1;
  auto folder = hv::records::folderArgument(directory);
  if (!folder || !validLongName(longName)) return 0;
  long removed = -1;
  IndexEdit done = IndexEdit::Keep;
  bool ok = hv::records::editIndexFile(*folder, jmxholl_GetJmxHollFileBase(), [&](std::optional<std::string>& file) {
    removed = file ? findByLongName(*file, longName) : -1;
    done = removed < 0 ? IndexEdit::Keep : removeRecord(*file, removed);
    return done;
  });
  if (ok && index != nullptr) *index = static_cast<int>(removed);
  return ok && done == IndexEdit::Write ? 1 : 0;
}

extern "C" int jmxholl_FindAndDelRecBasedOnHoll(const char* directory, const JedmicsHollRec* match) {
  auto folder = hv::records::folderArgument(directory);
  if (!folder || match == nullptr) return -1;
  long seq = -1;
  bool ok = hv::records::editIndexFile(*folder, jmxholl_GetJmxHollFileBase(), [&](std::optional<std::string>& file) {
    long i = file ? findByContent(*file, match) : -1;
    if (i < 0) return IndexEdit::Keep;
    seq = keyValue(recordAt(*file, static_cast<std::size_t>(i)) + jmx::kSeqNum);
    return removeRecord(*file, i);
  });
  return ok ? static_cast<int>(seq) : -1;
}
