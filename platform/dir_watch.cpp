#include "platform/dir_watch.h"

#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>

namespace hv::platform {

DirWatch::~DirWatch() { close(); }

bool DirWatch::open(const std::string& folder) {
  close();
  int fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (fd < 0) return false;
  const std::string target = folder.empty() ? std::string(".") : folder;
  // Only changes of names: attribute and content changes leave the list valid.
  if (inotify_add_watch(fd, target.c_str(),
                        IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF |
                            IN_ONLYDIR) < 0) {
    ::close(fd);
    return false;
  }
  fd_ = fd;
  folder_ = folder;
  return true;
}

void DirWatch::close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  folder_.clear();
}

bool DirWatch::poll() {
  if (fd_ < 0) return true;
  bool fired = false;
  alignas(inotify_event) char buffer[4096];
  for (;;) {
    ssize_t n = ::read(fd_, buffer, sizeof buffer);
    if (n > 0) {
      fired = true;
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    break;  // EAGAIN: nothing more pending
  }
  return fired;
}

}  // namespace hv::platform
