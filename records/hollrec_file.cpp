// INDEX.HOL: 100-byte Hollerith records without header, ended by CR LF after
// the last record. The record count is the file size divided by 100; the
// sequence number (bytes 78-81) is a record's key.
#include <cstring>
#include <string>

#include "records/hollrec.h"
#include "records/hollrec_layout.h"
#include "records/index_file.h"
#include "records/record_codes.h"

namespace {

namespace holl = hv::records::holl;
using hv::Result;
using hv::Status;
using hv::records::HollrecCall;
using hv::records::IndexEdit;
using hv::records::toHollrecCode;

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

Result<long> findRecord(const char* directory, const char* longName, RecordHollerith* out) {
  if (!validLongName(longName) || out == nullptr) return Status::BadArgument;
  auto folder = hv::records::folderArgument(directory);
  if (!folder) return Status::BadArgument;
  auto file = hv::records::readIndexFile(hv::records::indexFilePath(*folder, kIndexName));
  if (!file) return Status::ReadFailed;
  long i = findByKey(*file, longName);
  if (i < 0) return Status::NotFound;
  std::memcpy(out->bytes, recordAt(*file, static_cast<std::size_t>(i)), kSize);
  return i;
}

// The highest sequence number plus 1; count receives the number of whole
// records (0 when the file cannot be read).
Result<long> nextSequenceNumber(const char* directory, std::size_t& count) {
  count = 0;
  auto folder = hv::records::folderArgument(directory);
  if (!folder) return Status::BadArgument;
  auto file = hv::records::readIndexFile(hv::records::indexFilePath(*folder, kIndexName));
  if (!file) return Status::ReadFailed;
  count = file->size() / kSize;
  long highest = -1;
  for (std::size_t i = 0; i < count; ++i)
    highest = std::max(highest, seqValue(recordAt(*file, i) + holl::kSeqNum.offset));
  if (highest < 0) return Status::NotFound;
  return highest + 1;
}

Status appendRecord(const RecordHollerith* rec, const char* directory) {
  auto folder = hv::records::folderArgument(directory);
  if (!folder || rec == nullptr) return Status::BadArgument;
  RecordHollerith copy = *rec;
  return hv::records::editIndexFile(*folder, kIndexName, [&](std::optional<std::string>& file) {
    if (!file) return IndexEdit::Keep;  // append never creates INDEX.HOL
    file->resize(file->size() / kSize * kSize);
    file->append(copy.bytes, kSize);
    *file = hv::records::withLineEnd(std::move(*file));
    return IndexEdit::Write;
  });
}

Status changeRecord(const RecordHollerith* rec, int index, const char* directory) {
  auto folder = hv::records::folderArgument(directory);
  if (!folder || rec == nullptr || index < 0) return Status::BadArgument;
  RecordHollerith copy = *rec;
  return hv::records::editIndexFile(*folder, kIndexName, [&](std::optional<std::string>& file) {
    if (!file || static_cast<std::size_t>(index) >= file->size() / kSize) return IndexEdit::Keep;
    file->replace(static_cast<std::size_t>(index) * kSize, kSize, copy.bytes, kSize);
    return IndexEdit::Write;
  });
}

Status truncateIndex(int count, const char* directory) {
  auto folder = hv::records::folderArgument(directory);
  if (!folder || count < 1) return Status::BadArgument;
  return hv::records::editIndexFile(*folder, kIndexName, [&](std::optional<std::string>& file) {
    if (!file || static_cast<std::size_t>(count) >= file->size() / kSize) return IndexEdit::Keep;
    file->resize(static_cast<std::size_t>(count) * kSize);
    *file = hv::records::withLineEnd(std::move(*file));
    return IndexEdit::Write;
  });
}

// Removes the record found by the long name: Ok, IndexRemoved when it was
// the last one, NotFound when no record carries the key, or the failure.
Status removeByLongName(const char* directory, const char* longName) {
  auto folder = hv::records::folderArgument(directory);
  if (!folder || !validLongName(longName)) return Status::BadArgument;
  bool found = false;
  Status status = hv::records::editIndexFile(*folder, kIndexName, [&](std::optional<std::string>& file) {
    long index = file ? findByKey(*file, longName) : -1;
    found = index >= 0;
    return found ? removeRecord(*file, index) : IndexEdit::Keep;
  });
  if (status == Status::NothingToDo && !found) return Status::NotFound;
  return status;
}

}  // namespace

extern "C" const char* hollrec_GetHollerithFileName(void) { return kIndexName; }

extern "C" int hollrec_FindRecUsingLongName(const char* directory, const char* longName,
                                            RecordHollerith* out) {
  return toHollrecCode(HollrecCall::Index, findRecord(directory, longName, out));
}

extern "C" int hollrec_GetNextSeqNum(const char* directory, int* count) {
  std::size_t records = 0;
  Result<long> next = nextSequenceNumber(directory, records);
  if (count != nullptr) *count = static_cast<int>(records);
  return toHollrecCode(HollrecCall::Index, next);
}

extern "C" int hollrec_AppendHollRec(const RecordHollerith* rec, const char* directory) {
  return toHollrecCode(HollrecCall::Append, appendRecord(rec, directory));
}

extern "C" int hollrec_ChangeHollRec(const RecordHollerith* rec, int index, const char* directory) {
  return toHollrecCode(HollrecCall::Change, changeRecord(rec, index, directory));
}

extern "C" int hollrec_TruncFile(int count, const char* directory) {
  return toHollrecCode(HollrecCall::Plain, truncateIndex(count, directory));
}

// IndexRemoved is not Ok here: the file was not rewritten but removed.
extern "C" int hollrec_FindAndDelRec(const char* directory, const char* longName) {
  return toHollrecCode(HollrecCall::Plain, removeByLongName(directory, longName));
}

namespace hv::records {

Status dropRecordOfDeletedImage(const char* directory, const char* fileName) {
  Status status = removeByLongName(directory, fileName);
  return status == Status::BadArgument ? Status::NotFound : status;
}

}  // namespace hv::records
