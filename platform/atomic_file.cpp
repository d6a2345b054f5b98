#include "platform/atomic_file.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/file_io.h"
#include "platform/path_parts.h"

namespace hv::platform {
namespace {

// The installed fault hook and its context, replaced as one under the lock.
struct FaultHook {
  std::mutex lock;
  RewriteFaultHook hook = nullptr;
  void* context = nullptr;
};
FaultHook& faultHook() {
  static FaultHook h;
  return h;
}

// Runs the fault hook for a step; true when the step may go ahead.
bool stepAllowed(RewriteStep step) {
  RewriteFaultHook hook;
  void* context;
  {
    FaultHook& h = faultHook();
    std::lock_guard<std::mutex> hold(h.lock);
    hook = h.hook;
    context = h.context;
  }
  if (hook == nullptr) return true;
  int err = hook(step, context);
  if (err == 0) return true;
  errno = err;
  return false;
}

// Six characters for a temporary's name.
std::string randomSuffix() {
  static constexpr char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  thread_local std::mt19937_64 gen{std::random_device{}() ^ (std::uint64_t(::getpid()) << 32)};
  std::string s(6, 'X');
  for (char& c : s) c = kChars[gen() % (sizeof kChars - 1)];
  return s;
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

// Moves path to where a chain of symbolic links ends (the last name, which
// may not exist). ReadFailed, with errno set, when a link cannot be read or
// the chain is too long.
Status followLinks(std::string& path) {
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return Status::Ok;
    char buf[PATH_MAX];
    ssize_t n = ::readlink(path.c_str(), buf, sizeof buf - 1);
    if (n < 0) return Status::ReadFailed;
    std::string next(buf, static_cast<std::size_t>(n));
    path = next.front() == '/' ? next : folderOf(path) + next;
  }
  errno = ELOOP;
  return Status::ReadFailed;
}

// The descriptor a name of an open descriptor stands for ("/dev/stdout",
// "/dev/fd/N", "/proc/self/fd/N"), or -1. Such a name is written through the
// descriptor itself, so the caller's redirection (append, a pipe, a file)
// holds.
int namedDescriptor(const std::string& path) {
  if (path == "/dev/stdout") return STDOUT_FILENO;
  if (path == "/dev/stderr") return STDERR_FILENO;
  for (const char* prefix : {"/dev/fd/", "/proc/self/fd/"}) {
    const std::size_t n = std::strlen(prefix);
    if (path.compare(0, n, prefix) != 0 || path.size() == n || path.size() > n + 6) continue;
    int fd = 0;
    for (std::size_t i = n; i < path.size(); ++i) {
      if (path[i] < '0' || path[i] > '9') return -1;
      fd = fd * 10 + (path[i] - '0');
    }
    return fd;
  }
  return -1;
}

}  // namespace

std::string atomicTempPrefix(const std::string& path) { return "." + nameOf(path) + "."; }

void setRewriteFaultHook(RewriteFaultHook hook, void* context) {
  FaultHook& h = faultHook();
  std::lock_guard<std::mutex> hold(h.lock);
  h.hook = hook;
  h.context = context;
}

void removeStaleTemporaries(const std::string& path) {
  sweepTemporaries(folderOf(path), atomicTempPrefix(path));
}

std::string systemReason(int err) { return std::strerror(err); }

std::string fileError(const std::string& name, int err) {
  return (name == "-" ? std::string("standard output") : name) + ": " + systemReason(err);
}

AtomicFile::~AtomicFile() {
  if (!committed_) abandon();
}

Status AtomicFile::fail(int err) {
  abandon();
  error_ = fileError(path_, err);
  errorNumber_ = err;
  errno = err;
  return Status::WriteFailed;
}

void AtomicFile::abandon() {
  int saved = errno;
  if (fd_ >= 0 && ownFd_) ::close(fd_);
  fd_ = -1;
  if (!temp_.empty()) ::unlink(temp_.c_str());
  if (!staging_.empty()) ::unlink(staging_.c_str());
  temp_.clear();
  staging_.clear();
  errno = saved;
}

Status AtomicFile::open(const std::string& path, const Options& options) {
  abandon();
  path_ = path;
  options_ = options;
  error_.clear();
  errorNumber_ = 0;
  committed_ = streaming_ = false;
  keepMode_ = kUsualMode;
  keepUid_ = keepGid_ = 0;
  if (path.empty()) return fail(ENOENT);
  if (const int named = path == "-" ? STDOUT_FILENO : namedDescriptor(path); named >= 0) {
    if (options.regularOnly) return fail(ENXIO);
    int fd = ::fcntl(named, F_DUPFD_CLOEXEC, 0);
    if (fd < 0) return fail(errno);
    return openStream(fd, true);
  }
  target_ = path;
  // A device or FIFO reached through any links (including the kernel's own
  // links of /proc) is written straight into.
  if (struct stat through {}; options.links == Links::Follow && ::stat(path.c_str(), &through) == 0 &&
                               (S_ISCHR(through.st_mode) || S_ISBLK(through.st_mode) || S_ISFIFO(through.st_mode))) {
    if (options.regularOnly) return fail(ENXIO);
    int fd = openFile(path.c_str(), O_WRONLY | O_NOCTTY);
    if (fd < 0) return fail(errno);
    return openStream(fd, true);
  }
  if (options.links == Links::Follow && followLinks(target_) != Status::Ok) return fail(errno);
  struct stat st {};
  if (::lstat(target_.c_str(), &st) != 0) {
    if (errno != ENOENT) return fail(errno);
    return createTemp(target_);
  }
  if (S_ISREG(st.st_mode)) {
    keepMode_ = st.st_mode & 07777;
    keepUid_ = st.st_uid;
    keepGid_ = st.st_gid;
    return createTemp(target_);
  }
  if (S_ISLNK(st.st_mode)) return createTemp(target_);  // replaced, as asked
  if (S_ISDIR(st.st_mode)) return fail(EISDIR);
  if (options.regularOnly) return fail(ENXIO);
  const bool stream = S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode) || S_ISFIFO(st.st_mode);
  if (!stream || options.links == Links::Replace) {
    abandon();
    error_ = path_ + ": not a regular file, device or FIFO";
    errorNumber_ = errno = EINVAL;
    return Status::WriteFailed;
  }
  int fd = openFile(target_.c_str(), O_WRONLY | O_NOCTTY);
  if (fd < 0) return fail(errno);
  return openStream(fd, true);
}

Status AtomicFile::openStream(int fd, bool ownFd) {
  fd_ = fd;
  ownFd_ = ownFd;
  streaming_ = true;
  return Status::Ok;
}

Status AtomicFile::createTemp(const std::string& target) {
  const std::string folder = folderOf(target);
  const std::string prefix = atomicTempPrefix(target);
  if (options_.sweepStale) sweepTemporaries(folder, prefix);
  if (!stepAllowed(RewriteStep::CreateTemp)) return fail(errno);
  // Created 0666 so that the kernel applies the umask (or a default ACL),
  // as for any new file; other bits are set before the rename.
  const mode_t createMode = options_.mode == kUsualMode && keepMode_ == kUsualMode ? 0666 : 0600;
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = folder + prefix + randomSuffix();
    int fd = openFile(name.c_str(), O_RDWR | O_CREAT | O_EXCL, createMode);
    if (fd >= 0) {
      fd_ = fd;
      ownFd_ = true;
      temp_ = name;
      return Status::Ok;
    }
    if (errno != EEXIST) return fail(errno);
  }
  return fail(EEXIST);
}

Status AtomicFile::write(const void* data, std::size_t size) {
  if (fd_ < 0) return fail(EBADF);
  const auto* p = static_cast<const char*>(data);
  for (std::size_t done = 0; done < size;) {
    std::size_t n = std::min(kRewriteChunk, size - done);
    if (!stepAllowed(RewriteStep::Write)) return fail(errno);
    errno = 0;
    if (!writeFull(fd_, p + done, n)) return fail(errno != 0 ? errno : EIO);
    done += n;
  }
  return Status::Ok;
}

Status AtomicFile::writerPath(std::string& out) {
  if (fd_ < 0) return fail(EBADF);
  if (!streaming_) {
    out = temp_;
    return Status::Ok;
  }
  if (staging_.empty()) {
    const char* dir = std::getenv("TMPDIR");
    std::string pattern = std::string(dir && *dir ? dir : "/tmp") + "/.hvstage.XXXXXX";
    int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0) return fail(errno);
    ::close(fd);
    staging_ = pattern;
  }
  out = staging_;
  return Status::Ok;
}

Status AtomicFile::copyStaging() {
  int in = openFile(staging_.c_str(), O_RDONLY);
  if (in < 0) return fail(errno);
  char buf[65536];
  for (;;) {
    long got = readFull(in, buf, sizeof buf);
    if (got < 0) {
      int err = errno;
      ::close(in);
      return fail(err);
    }
    if (got == 0) break;
    if (Status s = write(buf, static_cast<std::size_t>(got)); s != Status::Ok) {
      ::close(in);
      return s;
    }
  }
  ::close(in);
  return Status::Ok;
}

Status AtomicFile::commit() {
  if (fd_ < 0) return fail(EBADF);
  if (streaming_) {
    if (!staging_.empty())
      if (Status s = copyStaging(); s != Status::Ok) return s;
    // Pipes and character devices cannot be flushed; that is no failure.
    if (::fsync(fd_) != 0 && errno != EINVAL && errno != EROFS && errno != ENOTSUP) return fail(errno);
    int fd = fd_;
    fd_ = -1;
    if (ownFd_ && ::close(fd) != 0 && errno != EINTR) return fail(errno);
    if (!staging_.empty()) ::unlink(staging_.c_str());
    staging_.clear();
    committed_ = true;
    return Status::Ok;
  }
  const unsigned mode = options_.mode != kUsualMode ? options_.mode : keepMode_;
  if (!stepAllowed(RewriteStep::SetMode)) return fail(errno);
  // A file replaced by someone else (root) keeps its owner where allowed.
  if (keepMode_ != kUsualMode && (keepUid_ != ::geteuid() || keepGid_ != ::getegid()))
    (void)::fchown(fd_, static_cast<uid_t>(keepUid_), static_cast<gid_t>(keepGid_));
  if (mode != kUsualMode && ::fchmod(fd_, static_cast<mode_t>(mode & 07777)) != 0) return fail(errno);
  if (!stepAllowed(RewriteStep::SyncFile) || ::fsync(fd_) != 0) return fail(errno);
  if (!stepAllowed(RewriteStep::CloseFile)) return fail(errno);
  int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) return fail(errno);
  if (!stepAllowed(RewriteStep::Rename) || ::rename(temp_.c_str(), target_.c_str()) != 0) return fail(errno);
  temp_.clear();
  committed_ = true;
  // A failed folder flush cannot be undone (the new file is in place) and
  // does not count as a failure.
  if (stepAllowed(RewriteStep::SyncFolder)) {
    int dfd = openFile(folderOf(target_).c_str(), O_RDONLY | O_DIRECTORY);
    if (dfd >= 0) {
      ::fsync(dfd);
      ::close(dfd);
    }
  }
  return Status::Ok;
}

Status appendFileAtomically(const std::string& path, std::string_view data) {
  AtomicFile::Options options;
  options.regularOnly = true;
  AtomicFile out;
  if (Status s = out.open(path, options); s != Status::Ok) return s;
  // The old contents, read from a descriptor checked to be a regular file and
  // opened without blocking; a missing file is an empty one.
  if (const int in = openRegularFile(path.c_str()); in >= 0) {
    char block[65536];
    long got;
    Status copied = Status::Ok;
    while ((got = readFull(in, block, sizeof block)) > 0)
      if ((copied = out.write(block, static_cast<std::size_t>(got))) != Status::Ok) break;
    const int err = errno;  // of the failed read or write, if any
    ::close(in);
    if (got != 0) {
      out.abandon();
      errno = err;
      return got < 0 ? Status::ReadFailed : copied;
    }
  } else if (errno != ENOENT) {
    const int err = errno;
    out.abandon();
    errno = err;
    return Status::ReadFailed;
  }
  if (Status s = out.write(data.data(), data.size()); s != Status::Ok) return s;
  return out.commit();
}

}  // namespace hv::platform
