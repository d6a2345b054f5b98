#pragma once
// Advisory write lock of a folder's index files. Every read-modify-write of an
// index file (INDEX.HOL, JMX.HOL, DOCFILES.IDX) in this system runs while
// holding the lock of the file's folder, so two of our processes never
// interleave their rewrites. The lock is flock(2) on the folder itself: it
// follows the folder, not the index file that a rewrite replaces, and it
// leaves nothing behind in the users' folders. Programs that do not take it
// are not held back.
#include <string>

#include "platform/export.h"
#include "platform/status.h"

namespace hv::platform {

class HV_EXPORT FolderLock {
 public:
  // Locks the folder, waiting at most timeoutMs for another holder. Nested
  // locks of one folder within a process count up instead of waiting.
  explicit FolderLock(const std::string& folder, int timeoutMs = 15000);
  ~FolderLock();
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

  // Ok while the lock is held; Busy when another holder kept it past the
  // wait, Failed (errno set by the failed call) when the folder cannot be
  // opened or locked.
  Status status() const { return status_; }

 private:
  Status status_ = Status::Failed;
  int fd_ = -1;
  unsigned long long dev_ = 0;
  unsigned long long ino_ = 0;
};

}  // namespace hv::platform
