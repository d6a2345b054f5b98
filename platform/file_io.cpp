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

int openRegularFile(const char* path) {
  struct stat st {};
  if (path == nullptr) {
    errno = ENOENT;
    return -1;
  }
  if (::stat(path, &st) != 0) return -1;
  auto refuse = [](const struct stat& s) {
    errno = S_ISDIR(s.st_mode) ? EISDIR : ENXIO;
    return -1;
  };
  if (!S_ISREG(st.st_mode)) return refuse(st);
  int fd = openFile(path, O_RDONLY | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return -1;
  // The name may have been replaced between the check and the open.
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return refuse(st);
  }
  int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  return fd;
}

std::string fileKind(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || S_ISREG(st.st_mode)) return "";
  if (S_ISDIR(st.st_mode)) return "a folder";
  if (S_ISFIFO(st.st_mode)) return "a FIFO";
  if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode)) return "a device";
  if (S_ISSOCK(st.st_mode)) return "a socket";
  return "not a regular file";
}

Status readWholeFile(const std::string& path, std::string& out, std::size_t maxBytes) {
  int fd = openRegularFile(path.c_str());
  if (fd < 0) return Status::ReadFailed;
  out.clear();
  char chunk[65536];
  for (;;) {
    long got = readFull(fd, chunk, sizeof chunk);
    if (got < 0) {
      const int err = errno;
      closeFile(fd);
      errno = err;
      return Status::ReadFailed;
    }
    if (got == 0) break;
    if (out.size() + static_cast<std::size_t>(got) > maxBytes) {
      closeFile(fd);
      errno = EFBIG;
      return Status::ReadFailed;
    }
    out.append(chunk, static_cast<std::size_t>(got));
  }
  closeFile(fd);
  return Status::Ok;
}

}  // namespace hv::platform
