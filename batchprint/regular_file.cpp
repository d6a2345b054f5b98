#include "batchprint/regular_file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>

#include "platform/file_io.h"

namespace hv::batchprint {

int openRegularFile(const std::string& path, std::int64_t* size) {
  // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer.
  int fd = platform::openFile(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return -1;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    int e = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    platform::closeFile(fd);
    errno = e;
    return -1;
  }
  int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  if (size != nullptr) *size = static_cast<std::int64_t>(st.st_size);
  return fd;
}

Status readRegularFile(const std::string& path, std::string& out, std::size_t maxBytes) {
  out.clear();
  int fd = openRegularFile(path);
  if (fd < 0) return Status::ReadFailed;
  char chunk[65536];
  bool ok = true;
  while (out.size() < maxBytes) {
    std::size_t want = std::min(sizeof chunk, maxBytes - out.size());
    long got = platform::readFull(fd, chunk, want);
    if (got < 0) ok = false;
    if (got <= 0) break;
    out.append(chunk, static_cast<std::size_t>(got));
  }
  platform::closeFile(fd);
  return ok ? Status::Ok : Status::ReadFailed;
}

}  // namespace hv::batchprint
