// INDEX.HOL: 100-byte Hollerith records without header, ended by CR LF after
// the last record. The record count is the file size divided by 100; the
// sequence number (bytes 78-81) is a record's key.
#include <cstring>
#include <string>

#include "records/hollrec.h"
#include "records/hollrec_layout.h"
#include "records/index_file.h"

namespace {

namespace holl = hv::records::holl;
using hv::records::IndexEdit;

constexpr char kIndexName[] = "INDEX.HOL";
constexpr std::size_t kSize = holl::kRecordSize;

const char* recordAt(const std::string& file, std::size_t i) { return file.data() + i * kSize; }

// Index of the first record whose key matches characters 60-63 of the long
// name, or -1.
long findByKey(const std::string& file, const char* longName) {
  const char* key = longName + holl::kNameSeq.offset;
  const std::size_t count = file.size() / kSize;
  for (std::size_t i = 0; i < count; ++i)
    if (hv::records::sameKey(recordAt(file, i) + holl::kSeqNum.offset, key)) return static_cast<long>(i);
  return -1;
}

bool validLongName(const char* longName) {
  return longName != nullptr && ::strnlen(longName, holl::kLongNameLength) == holl::kLongNameLength;
}

// Sequence number as atoi reads it: blanks, an optional sign, digits.
long seqValue(const char* field) {
  std::size_t i = 0;
  while (i < 4 && (field[i] == ' ' || field[i] == '\t')) ++i;
  bool negative = false;
  if (i < 4 && (field[i] == '+' || field[i] == '-')) negative = field[i++] == '-';
  long v = 0;
  while (i < 4 && field[i] >= '0' && field[i] <= '9') v = v * 10 + (field[i++] - '0');
  return negative ? -v : v;
}

// The file without the record at index, or Remove when it was the only one.
IndexEdit removeRecord(std::string& file, long index) {
  const std::size_t count = file.size() / kSize;
  std::string kept;
  kept.reserve(count * kSize + 2);
  for (std::size_t i = 0; i < count; ++i)
    if (static_cast<long>(i) != index) kept.append(recordAt(file, i), kSize);
  if (kept.empty()) return IndexEdit::Remove;
  file = hv::records::withLineEnd(std::move(kept));
  return IndexEdit::Write;
}

}  // namespace

extern "C" const char* hollrec_GetHollerithFileName(void) { return kIndexName; }

extern "C" int hollrec_FindRecUsingLongName(const char* directory, const char* longName,
                                            RecordHollerith* out) {
  auto folder = hv::records::folderArgument(directory);
  if (!folder || !validLongName(longName) || out == nullptr) return -1;
  auto file = hv::records::readIndexFile(hv::records::indexFilePath(*folder, kIndexName));
  if (!file) return -1;
  long i = findByKey(*file, longName);
  if (i < 0) return -1;
  std::memcpy(out->bytes, recordAt(*file, static_cast<std::size_t>(i)), kSize);
  return static_cast<int>(i);
}

extern "C" int hollrec_GetNextSeqNum(const char* directory, int* count) {
  auto folder = hv::records::folderArgument(directory);
  if (!folder) return -1;
  long highest = -1;
  std::size_t records = 0;
  if (auto file = hv::records::readIndexFile(hv::records::indexFilePath(*folder, kIndexName))) {
    records = file->size() / kSize;
    for (std::size_t i = 0; i < records; ++i)
      highest = std::max(highest, seqValue(recordAt(*file, i) + holl::kSeqNum.offset));
  }
  if (count != nullptr) *count = static_cast<int>(records);
  return highest < 0 ? -1 : static_cast<int>(highest + 1);
}

extern "C" int hollrec_AppendHollRec(const RecordHollerith* rec, const char* directory) {
  auto folder = hv::records::folderArgument(directory);
  if (!folder || rec == nullptr) return -1;
  RecordHollerith copy = *rec;
  bool ok = hv::records::editIndexFile(*folder, kIndexName, [&](std::optional<std::string>& file) {
    if (!file) return IndexEdit::Keep;  // append never creates INDEX.HOL
    file->resize(file->size() / kSize * kSize);
    file->append(copy.bytes, kSize);
    *file = hv::records::withLineEnd(std::move(*file));
    return IndexEdit::Write;
  });
  return ok ? 2 : -1;
}

extern "C" int hollrec_ChangeHollRec(const RecordHollerith* rec, int index, const char* directory) {
  auto folder = hv::records::folderArgument(directory);
  if (!folder || rec == nullptr || index < 0) return -1;
  RecordHollerith copy = *rec;
  bool ok = hv::records::editIndexFile(*folder, kIndexName, [&](std::optional<std::string>& file) {
    if (!file || static_cast<std::size_t>(index) >= file->size() / kSize) return IndexEdit::Keep;
    file->replace(static_cast<std::size_t>(index) * kSize, kSize, copy.bytes, kSize);
    return IndexEdit::Write;
  });
  return ok ? 100 : -1;
}

extern "C" int hollrec_TruncFile(int count, const char* directory) {
  auto folder = hv::records::folderArgument(directory);
  if (!folder || count < 1) return 0;
  bool ok = hv::records::editIndexFile(*folder, kIndexName, [&](std::optional<std::string>& file) {
    if (!file || static_cast<std::size_t>(count) >= file->size() / kSize) return IndexEdit::Keep;
    file->resize(static_cast<std::size_t>(count) * kSize);
    *file = hv::records::withLineEnd(std::move(*file));
    return IndexEdit::Write;
  });
  return ok ? 1 : 0;
}

extern "C" int hollrec_FindAndDelRec(const char* directory, const char* longName) {
  auto folder = hv::records::folderArgument(directory);
  if (!folder || !validLongName(longName)) return 0;
  IndexEdit done = IndexEdit::Keep;
  bool ok = hv::records::editIndexFile(*folder, kIndexName, [&](std::optional<std::string>& file) {
    long index = file ? findByKey(*file, longName) : -1;
    done = index < 0 ? IndexEdit::Keep : removeRecord(*file, index);
    return done;
  });
  return ok && done == IndexEdit::Write ? 1 : 0;
}

namespace hv::records {

DropResult dropRecordOfDeletedImage(const char* directory, const char* fileName) {
  auto folder = folderArgument(directory);
  if (!folder || !validLongName(fileName)) return DropResult::NotFound;
  bool found = false;
  IndexEdit done = IndexEdit::Keep;
  bool ok = editIndexFile(*folder, kIndexName, [&](std::optional<std::string>& file) {
    long index = file ? findByKey(*file, fileName) : -1;
    found = index >= 0;
    done = found ? removeRecord(*file, index) : IndexEdit::Keep;
    return done;
  });
  if (!found) return DropResult::NotFound;
  if (!ok) return DropResult::Failed;
  return done == IndexEdit::Remove ? DropResult::FileRemoved : DropResult::Removed;
}

}  // namespace hv::records
