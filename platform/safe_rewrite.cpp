#include "platform/safe_rewrite.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

#include "platform/file_io.h"
#include "platform/path_parts.h"

namespace hv::platform {

std::string rewriteTempPrefix(const std::string& path) { return atomicTempPrefix(path); }

Status rewriteFileSafely(const std::string& path, std::string_view contents, unsigned mode) {
  AtomicFile::Options options;
  options.links = AtomicFile::Links::Replace;
  options.mode = mode & 07777;
  options.sweepStale = true;
  AtomicFile file;
  if (Status s = file.open(path, options); s != Status::Ok) return s;
  if (Status s = file.write(contents.data(), contents.size()); s != Status::Ok) return s;
  return file.commit();
}

Status removeFileDurably(const std::string& path) {
  if (::unlink(path.c_str()) != 0) return Status::WriteFailed;
  const std::string folder = folderOf(path);
  int dfd = openFile(folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (dfd >= 0) {
    ::fsync(dfd);
    ::close(dfd);
  }
  // Temporaries of killed rewrites go with the file (the caller holds the lock).
  removeStaleTemporaries(path);
  return Status::Ok;
}

}  // namespace hv::platform
