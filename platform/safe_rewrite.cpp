#include "platform/safe_rewrite.h"

#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/file_io.h"

namespace hv::platform {
namespace {

RewriteFaultHook g_hook = nullptr;
void* g_hookContext = nullptr;

// Runs the fault hook for a step; true when the step may go ahead.
bool stepAllowed(RewriteStep step) {
  if (g_hook == nullptr) return true;
  int err = g_hook(step, g_hookContext);
  if (err == 0) return true;
  errno = err;
  return false;
}

std::string folderOf(const std::string& path) {
  auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return "./";
  return path.substr(0, slash + 1);
}

std::string nameOf(const std::string& path) {
  auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

void syncFolder(const std::string& folder) {
  if (!stepAllowed(RewriteStep::SyncFolder)) return;
  int dfd = openFile(folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (dfd < 0) return;
  ::fsync(dfd);
  ::close(dfd);
}

// Removes temporaries "PREFIXxxxxxx" of earlier rewrites of the same file
// that a killed writer left behind. The caller holds the folder lock, so no
// live rewrite of this file owns one.
void sweepTemporaries(const std::string& folder, const std::string& prefix) {
  DIR* d = ::opendir(folder.c_str());
  if (d == nullptr) return;
  while (dirent* e = ::readdir(d)) {
    std::string name = e->d_name;
    if (name.size() != prefix.size() + 6 || name.compare(0, prefix.size(), prefix) != 0) continue;
    std::string full = folder + name;
    struct stat st {};
    if (::lstat(full.c_str(), &st) == 0 && S_ISREG(st.st_mode)) ::unlink(full.c_str());
  }
  ::closedir(d);
}

bool writeChunks(int fd, std::string_view contents) {
  std::size_t done = 0;
  while (done < contents.size()) {
    std::size_t n = std::min(kRewriteChunk, contents.size() - done);
    if (!stepAllowed(RewriteStep::Write)) return false;
    if (!writeFull(fd, contents.data() + done, n)) {
      if (errno == 0) errno = EIO;
      return false;
    }
    done += n;
  }
  return true;
}

}  // namespace

void setRewriteFaultHook(RewriteFaultHook hook, void* context) {
  g_hook = hook;
  g_hookContext = context;
}

std::string rewriteTempPrefix(const std::string& path) { return "." + nameOf(path) + "."; }

bool rewriteFileSafely(const std::string& path, std::string_view contents, unsigned mode) {
  const std::string& target = path;
  const std::string folder = folderOf(target);
  const std::string prefix = rewriteTempPrefix(target);
  std::string temp = folder + prefix + "XXXXXX";
  sweepTemporaries(folder, prefix);

  if (!stepAllowed(RewriteStep::CreateTemp)) return false;
  int fd = ::mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) return false;

  auto fail = [&](bool open) {
    int saved = errno;
    if (open) ::close(fd);
    ::unlink(temp.c_str());
    errno = saved;
    return false;
  };

  if (!writeChunks(fd, contents)) return fail(true);
  if (!stepAllowed(RewriteStep::SetMode) || ::fchmod(fd, static_cast<mode_t>(mode & 07777)) != 0)
    return fail(true);
  if (!stepAllowed(RewriteStep::SyncFile) || ::fsync(fd) != 0) return fail(true);
  if (!stepAllowed(RewriteStep::CloseFile)) return fail(true);
  if (::close(fd) != 0) return fail(false);
  if (!stepAllowed(RewriteStep::Rename) || ::rename(temp.c_str(), target.c_str()) != 0)
    return fail(false);
  syncFolder(folder);
  return true;
}

bool removeFileDurably(const std::string& path) {
  const std::string& target = path;
  if (::unlink(target.c_str()) != 0) return false;
  syncFolder(folderOf(target));
  sweepTemporaries(folderOf(target), rewriteTempPrefix(target));
  return true;
}

}  // namespace hv::platform
