#include "platform/file_lock.h"

#include <cerrno>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>
#include <utility>

#include "platform/file_io.h"

namespace hv::platform {
namespace {

// Folders this process holds locked, by device and inode, with a nesting count.
std::mutex g_heldMutex;
std::map<std::pair<unsigned long long, unsigned long long>, int>& heldFolders() {
  static std::map<std::pair<unsigned long long, unsigned long long>, int> held;
  return held;
}

void sleepMs(int ms) {
  timespec ts{ms / 1000, (ms % 1000) * 1000000L};
  while (::nanosleep(&ts, &ts) != 0 && errno == EINTR) {
  }
}

}  // namespace

FolderLock::FolderLock(const std::string& folder, int timeoutMs) {
  fd_ = openFile(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd_ < 0) return;
  struct stat st {};
  if (::fstat(fd_, &st) != 0) {
    closeFile(fd_);
    fd_ = -1;
    return;
  }
  dev_ = st.st_dev;
  ino_ = st.st_ino;
  {
    std::lock_guard<std::mutex> guard(g_heldMutex);
    auto it = heldFolders().find({dev_, ino_});
    if (it != heldFolders().end()) {
      ++it->second;
      status_ = Status::Ok;
      closeFile(fd_);
      fd_ = -1;
      return;
    }
  }
  int waited = 0;
  for (;;) {
    if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) break;
    if (errno != EWOULDBLOCK && errno != EINTR) {
      closeFile(fd_);
      fd_ = -1;
      return;
    }
    if (waited >= timeoutMs) {
      closeFile(fd_);
      fd_ = -1;
      errno = EWOULDBLOCK;
      status_ = Status::Busy;
      return;
    }
    sleepMs(5);
    waited += 5;
  }
  std::lock_guard<std::mutex> guard(g_heldMutex);
  heldFolders()[{dev_, ino_}] = 1;
  status_ = Status::Ok;
}

FolderLock::~FolderLock() {
  if (status_ != Status::Ok) return;
  std::lock_guard<std::mutex> guard(g_heldMutex);
  auto it = heldFolders().find({dev_, ino_});
  if (it != heldFolders().end() && --it->second == 0) heldFolders().erase(it);
  if (fd_ >= 0) closeFile(fd_);  // closing the descriptor releases the flock
}

}  // namespace hv::platform
