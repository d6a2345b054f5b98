#include "records/index_scan.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/atomic_file.h"
#include "platform/file_io.h"

namespace hv::records {
namespace {

// Pieces of whole strides.
std::size_t pieceBytes(std::size_t stride) { return stride * std::max<std::size_t>(1, (1u << 20) / stride); }

constexpr char kShrankReason[] = "the file became shorter while it was read";

std::string sizeText(std::uint64_t bytes) {
  if (bytes % (1u << 20) == 0) return std::to_string(bytes >> 20) + " MiB";
  return std::to_string(bytes) + " bytes";
}

}  // namespace

bool looksLikeText(const char* record, std::size_t size) {
  std::size_t odd = 0;
  for (std::size_t i = 0; i < size; ++i) {
    const auto c = static_cast<unsigned char>(record[i]);
    if (c != 0 && (c < 0x20 || c >= 0x7f)) ++odd;
  }
  return odd * 8 <= size;
}

IndexScan::IndexScan(const std::string& path, std::size_t recordSize, std::uint64_t maxBytes, RecordCheck check)
    : check_(check) {
  shape_.recordSize = shape_.stride = recordSize;
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 && errno == ENOENT) return;  // absent (or a dangling link)
  shape_.status = Status::ReadFailed;
  fd_ = platform::openRegularFile(path.c_str());
  if (fd_ < 0) {
    const std::string kind = platform::fileKind(path);
    shape_.reason = errno == ENXIO && !kind.empty() ? "not a regular file (" + kind + ")" : platform::systemReason(errno);
    return;
  }
  const std::int64_t size = platform::fileSize(fd_);
  if (size < 0) {
    shape_.reason = platform::systemReason(errno);
    return;
  }
  if (static_cast<std::uint64_t>(size) > maxBytes) {
    shape_.reason = "larger than the " + sizeText(maxBytes) + " an index file may hold (" +
                    std::to_string(size) + " bytes)";
    return;
  }
  shape_.size = static_cast<std::uint64_t>(size);
  // Records written with CR LF after each one: the first record is followed
  // by CR LF and more bytes come after it.
  char probe[2];
  if (shape_.size > recordSize + 2 && platform::readAt(fd_, probe, 2, recordSize) == 2 && probe[0] == '\r' &&
      probe[1] == '\n')
    shape_.stride = recordSize + 2;
  const std::uint64_t stride = shape_.stride;
  shape_.records = shape_.size / stride;
  std::uint64_t rest = shape_.size % stride;
  if (rest >= recordSize) {
    ++shape_.records;
    rest -= recordSize;
  }
  shape_.leftover = rest;
  // The closing CR LF that every writer leaves is no leftover.
  if (!shape_.separated() && rest == 2 && platform::readAt(fd_, probe, 2, shape_.size - 2) == 2 && probe[0] == '\r' &&
      probe[1] == '\n')
    shape_.leftover = 0;
  const Status read = walk([&](std::uint64_t i, const char* rec, bool separatorOk) {
    if (separatorOk && (check_ == nullptr || check_(rec))) return;
    if (shape_.firstUnlike.size() < 5) shape_.firstUnlike.push_back(i);
    ++shape_.unlike;
  });
  if (read != Status::Ok) {
    shape_.reason = read == Status::DataEnded ? kShrankReason : platform::systemReason(errno);
    return;
  }
  shape_.status = Status::Ok;
}

IndexScan::~IndexScan() { platform::closeFile(fd_); }

Status IndexScan::walk(const std::function<void(std::uint64_t, const char*, bool)>& each) const {
  const std::size_t stride = shape_.stride, recordSize = shape_.recordSize;
  // Pieces of about 1 MiB; a smaller file is read whole.
  const std::uint64_t whole = (shape_.size + stride - 1) / stride * stride;
  const std::uint64_t bytes = std::min<std::uint64_t>(pieceBytes(stride), std::max<std::uint64_t>(whole, stride));
  std::vector<char> piece(static_cast<std::size_t>(bytes));
  std::uint64_t index = 0, offset = 0;
  while (index < shape_.records) {
    const long got = platform::readAt(fd_, piece.data(), piece.size(), static_cast<std::int64_t>(offset));
    if (got < 0) return Status::ReadFailed;
    if (got == 0) break;  // the file shrank since it was measured
    const std::size_t n = static_cast<std::size_t>(got);
    std::size_t at = 0;
    for (; at + recordSize <= n && index < shape_.records; at += stride, ++index) {
      const bool lastOfFile = index + 1 == shape_.records;
      bool separatorOk = true;
      if (stride != recordSize && !lastOfFile)
        separatorOk = at + stride <= n && piece[at + recordSize] == '\r' && piece[at + recordSize + 1] == '\n';
      each(index, piece.data() + at, separatorOk);
    }
    if (at == 0) break;
    offset += at;
  }
  return index < shape_.records ? Status::DataEnded : Status::Ok;
}

Status IndexScan::forEach(const std::function<void(std::uint64_t, const char*)>& each) const {
  if (shape_.status != Status::Ok) return Status::Ok;
  return walk([&](std::uint64_t i, const char* rec, bool) { each(i, rec); });
}

}  // namespace hv::records
