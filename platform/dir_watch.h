#pragma once
// Watching a folder for changes of its file names (files created, deleted or
// renamed), polled without waiting: the stand-in for a directory change
// notification that is waited on with a timeout of 0.
#include <string>

#include "platform/export.h"

namespace hv::platform {

class HV_EXPORT DirWatch {
 public:
  DirWatch() = default;
  ~DirWatch();
  DirWatch(const DirWatch&) = delete;
  DirWatch& operator=(const DirWatch&) = delete;

  // Starts watching `folder` (not its subfolders); false when the folder
  // cannot be watched. A running watch is closed first.
  bool open(const std::string& folder);
  void close();
  bool isOpen() const { return fd_ >= 0; }
  const std::string& folder() const { return folder_; }

  // True when a file name in the folder changed since the watch was opened
  // or last polled; the pending events are consumed. A watch that is not
  // open counts as fired (nothing can be known about the folder).
  bool poll();

 private:
  int fd_ = -1;
  std::string folder_;
};

}  // namespace hv::platform
