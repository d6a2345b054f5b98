#include "formats/record_open.h"

#include <cstring>
#include <fcntl.h>

#include "formats/file_manager.h"
#include "formats/fm_messages.h"
#include "formats/open_mode.h"
#include "formats/strip_reader.h"
#include "platform/file_io.h"

namespace hv::formats {

Status readingMode(int mode, const char* path) {
  if (isReadMode(mode)) return Status::Ok;
  report(kWarning, kMsgUnableToRead, path);
  report(kWarning, kMsgUnableToOpen, path);
  return Status::BadArgument;
}

Status setRecordPath(ImageFileRecord* r, const char* path) {
  std::size_t len = std::strlen(path);
  if (len >= sizeof r->path) return Status::BadArgument;
  std::memcpy(r->path, path, len + 1);
  return Status::Ok;
}

ImageFileRecord* failOpen(ImageFileRecord* r, int message, const char* arg) {
  if (message >= 0) report(kWarning, message, arg);
  stripClose(r);
  return nullptr;
}

ImageFileRecord* openRecordForReading(const char* path, int filter, std::uint32_t headerOffset) {
  ImageFileRecord* r = newRecord();
  if (r == nullptr) {
    report(kWarning, kMsgNoMemory, path);
    return nullptr;
  }
  r->headerOffset = headerOffset;
  if (setRecordPath(r, path) != Status::Ok) return failOpen(r, kMsgUnableToOpen, path);
  r->fd = platform::openFile(path, O_RDONLY);
  if (r->fd < 0) return failOpen(r, kMsgUnableToOpen, path);
  r->filter = filter;
  r->fileSize = platform::fileSize(r->fd);
  return r;
}

ImageFileRecord* openForWriting(const char* path, int filter, std::uint32_t headerOffset) {
  ImageFileRecord* r = newRecord();
  if (r == nullptr) {
    report(kWarning, kMsgNoMemory, path);
    return nullptr;
  }
  if (setRecordPath(r, path) != Status::Ok) return failOpen(r, kMsgUnableToOpen, path);
  r->fd = platform::openFile(path, O_RDWR | O_CREAT | O_TRUNC, 0644);
  if (r->fd < 0) return failOpen(r, kMsgUnableToOpen, path);
  r->openedForWriting = 1;
  r->filter = filter;
  r->headerOffset = headerOffset;
  if (headerOffset != 0) r->prefix.assign(headerOffset, 0);
  return r;
}

}  // namespace hv::formats
