#include "platform/file_io.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace hv::platform {

int openFile(const char* path, int flags, unsigned mode) {
  if (path == nullptr) return -1;
  int fd;
  do {
    fd = ::open(path, flags | O_CLOEXEC, static_cast<mode_t>(mode));
  } while (fd < 0 && errno == EINTR);
  return fd;
}

void closeFile(int fd) {
  if (fd >= 0) ::close(fd);
}

long readFull(int fd, void* buf, std::size_t n) {
  auto* p = static_cast<unsigned char*>(buf);
  std::size_t done = 0;
  while (done < n) {
    ssize_t got = ::read(fd, p + done, n - done);
    if (got < 0) {
      if (errno == EINTR) continue;
      return -1;
    }
    if (got == 0) break;
    done += static_cast<std::size_t>(got);
  }
  return static_cast<long>(done);
}

long readAt(int fd, void* buf, std::size_t n, std::int64_t offset) {
  if (offset < 0) return -1;
  auto* p = static_cast<unsigned char*>(buf);
  std::size_t done = 0;
  while (done < n) {
    ssize_t got = ::pread(fd, p + done, n - done, static_cast<off_t>(offset + done));
    if (got < 0) {
      if (errno == EINTR) continue;
      return -1;
    }
    if (got == 0) break;
    done += static_cast<std::size_t>(got);
  }
  return static_cast<long>(done);
}

bool writeFull(int fd, const void* buf, std::size_t n) {
  const auto* p = static_cast<const unsigned char*>(buf);
  std::size_t done = 0;
  while (done < n) {
    ssize_t put = ::write(fd, p + done, n - done);
    if (put < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (put == 0) return false;
    done += static_cast<std::size_t>(put);
  }
  return true;
}

std::int64_t seekFile(int fd, std::int64_t offset, int whence) {
  off_t r = ::lseek(fd, static_cast<off_t>(offset), whence);
  return r < 0 ? -1 : static_cast<std::int64_t>(r);
}

std::int64_t fileSize(int fd) {
  struct stat st {};
  if (::fstat(fd, &st) != 0) return -1;
  return static_cast<std::int64_t>(st.st_size);
}

bool readWholeFile(const std::string& path, std::string& out, std::size_t maxBytes) {
  int fd = openFile(path.c_str(), O_RDONLY);
  if (fd < 0) return false;
  out.clear();
  char chunk[65536];
  for (;;) {
    long got = readFull(fd, chunk, sizeof chunk);
    if (got < 0) {
      closeFile(fd);
      return false;
    }
    if (got == 0) break;
    if (out.size() + static_cast<std::size_t>(got) > maxBytes) {
      closeFile(fd);
      return false;
    }
    out.append(chunk, static_cast<std::size_t>(got));
  }
  closeFile(fd);
  return true;
}

}  // namespace hv::platform
