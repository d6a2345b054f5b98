#include "formats/file_primitives.h"

#include <fcntl.h>

#include "platform/file_io.h"

namespace hv::formats {

int fileOpen(const char* path, unsigned flags) {
  if (path == nullptr) return -1;
  if (flags & kFileCreate) {
    bool writable = flags & (kFileReadAccess | kFileWriteAccess);
    return platform::openFile(path, O_RDWR | O_CREAT | O_TRUNC, writable ? 0644 : 0444);
  }
  int mode = (flags & kFileWriteAccess) ? ((flags & kFileReadAccess) ? O_RDWR : O_WRONLY) : O_RDONLY;
  return platform::openFile(path, mode);
}

long fileRead(int handle, void* buffer, std::size_t count) { return platform::readFull(handle, buffer, count); }

long fileWrite(int handle, const void* buffer, std::size_t count) {
  return platform::writeFull(handle, buffer, count) ? static_cast<long>(count) : -1;
}

void fileClose(int handle) { platform::closeFile(handle); }

}  // namespace hv::formats
