#pragma once
// The shape of a fixed-record index file as found on disk, read a piece at a
// time so that no index is ever held whole: whether it is there and readable,
// how many whole records it holds, what is left over after them, whether its
// records are separated by CR LF, and how many do not look like records of
// their kind. The records can then be walked in step.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/status.h"

namespace hv::records {

// True when a record's bytes look like a record of the file's kind.
using RecordCheck = bool (*)(const char* record);

struct IndexShape {
  // Ok when the file was read, NotFound when it is absent, ReadFailed when
  // it is there but cannot be read (reason says why).
  Status status = Status::NotFound;
  std::string reason;             // why a ReadFailed file cannot be read
  std::uint64_t size = 0;         // bytes in the file
  std::size_t recordSize = 0;     // bytes of one record
  std::size_t stride = 0;         // recordSize, or recordSize + 2 with CR LF after every record
  std::uint64_t records = 0;      // whole records
  std::uint64_t leftover = 0;     // bytes after the last whole record, a closing CR LF apart
  std::uint64_t unlike = 0;       // records that do not look like records of the kind
  std::vector<std::uint64_t> firstUnlike;  // the first few of them (at most 5)

  bool separated() const { return stride != recordSize; }
  // Readable, nothing left over, not separated, every record alike.
  bool sound() const { return status == Status::Ok && leftover == 0 && !separated() && unlike == 0; }
};

class IndexScan {
 public:
  // Looks at the file at path: opened only when it is a regular file (never
  // blocking on a FIFO), refused when larger than maxBytes.
  IndexScan(const std::string& path, std::size_t recordSize, std::uint64_t maxBytes, RecordCheck check);
  ~IndexScan();
  IndexScan(const IndexScan&) = delete;
  IndexScan& operator=(const IndexScan&) = delete;

  const IndexShape& shape() const { return shape_; }

  // Calls each(index, bytes) for every whole record in order, reading the
  // file a piece at a time (nothing for a file that was not read). ReadFailed,
  // with errno set, when a read failed; DataEnded when the file ended before
  // the records it held when it was looked at.
  Status forEach(const std::function<void(std::uint64_t index, const char* record)>& each) const;

 private:
  Status walk(const std::function<void(std::uint64_t, const char*, bool separatorOk)>& each) const;

  IndexShape shape_;
  RecordCheck check_;
  int fd_ = -1;
};

// Shared test of text records: few bytes that are neither printable ASCII nor
// NUL (at most one in eight).
bool looksLikeText(const char* record, std::size_t size);

}  // namespace hv::records
