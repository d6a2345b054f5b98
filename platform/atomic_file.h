#pragma once
// Writing a file that the user named, so that a reader never sees half of it.
//
// What the name stands for decides how it is written:
//   - a regular file, or nothing yet: the new contents go to a temporary file
//     in the same folder; every write, the flush and the close are checked,
//     and only then is the temporary renamed over the name and the folder
//     flushed. The temporary is removed on every failure. A symbolic link is
//     followed (the link's target is rewritten in the target's folder) unless
//     the caller asks for the link itself to be replaced.
//   - an existing device, FIFO, "-" (standard output) or the name of an open
//     descriptor ("/dev/stdout", "/dev/fd/N", "/proc/self/fd/N"): the
//     contents are written straight into it; nothing is renamed or removed.
//   - a folder, socket or anything else: refused (EISDIR, EINVAL).
// A new file gets 0666 less the process's umask (or the folder's default
// ACL); an existing file keeps its permission bits, unless the caller gives
// the bits to use, and, where the system allows, its owner.
#include <cstddef>
#include <string>
#include <string_view>

#include "platform/export.h"
#include "platform/status.h"

namespace hv::platform {

// The steps of a rewrite in the order they run. A fault hook sees each step
// before it runs and may make it fail.
enum class RewriteStep {
  CreateTemp,  // creation of the temporary in the target's folder
  Write,       // one write of at most kRewriteChunk bytes (repeated)
  SetMode,     // fchmod of the temporary to the requested permissions
  SyncFile,    // fsync of the temporary
  CloseFile,   // close of the temporary
  Rename,      // rename of the temporary over the target
  SyncFolder,  // fsync of the folder, after which the new file is durable
};

inline constexpr std::size_t kRewriteChunk = 4096;

// A fault hook returns 0 to let the step run or an errno value with which the
// step then fails. Only tests install one.
using RewriteFaultHook = int (*)(RewriteStep step, void* context);
HV_EXPORT void setRewriteFaultHook(RewriteFaultHook hook, void* context);

// Permission bits meaning "an existing file keeps its own, a new one gets
// 0666 less the umask".
inline constexpr unsigned kUsualMode = ~0u;

// The name prefix of PATH's temporaries (".NAME." in PATH's folder).
HV_EXPORT std::string atomicTempPrefix(const std::string& path);

class HV_EXPORT AtomicFile {
 public:
  enum class Links {
    Follow,   // write to what a symbolic link points at
    Replace,  // replace the link itself by the new file (index rewrites)
  };
  struct Options {
    Links links = Links::Follow;
    unsigned mode = kUsualMode;
    // Remove temporaries of earlier, killed rewrites of the same name; only
    // for callers holding the folder's write lock.
    bool sweepStale = false;
    // Refuse (ENXIO) anything but a regular file or a missing name, without
    // opening it: no device, FIFO or standard output is written straight into.
    bool regularOnly = false;
  };

  AtomicFile() = default;
  ~AtomicFile();  // an uncommitted write is abandoned
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // Every step below returns Ok or WriteFailed; a failure sets error(),
  // errorNumber() and errno and abandons the write.

  // Prepares the write of path.
  Status open(const std::string& path, const Options& options);
  Status open(const std::string& path) { return open(path, Options{}); }

  // Appends bytes; checked, in chunks of at most kRewriteChunk.
  Status write(const void* data, std::size_t size);

  // A file that a writer opening files by name may fill instead of using
  // write(): the temporary itself, or for a device, FIFO or standard output a
  // staging file outside its folder whose bytes commit() copies into it.
  // Its name goes to out; out is left alone when no such file can be made.
  Status writerPath(std::string& out);

  // Completes the write: flush, permissions, rename and folder flush, or the
  // copy of the staging file into the stream. On a failure the old file (if
  // any) is still in place.
  Status commit();

  // Gives up: removes the temporary and the staging file.
  void abandon();

  // True when the contents go straight into a device, FIFO or standard output.
  bool streaming() const { return streaming_; }
  // The name the caller gave.
  const std::string& path() const { return path_; }
  // "NAME: reason" of the last failure, naming the caller's file.
  const std::string& error() const { return error_; }
  // The errno of the last failure, 0 when there was none.
  int errorNumber() const { return errorNumber_; }

 private:
  Status fail(int err);
  Status openStream(int fd, bool ownFd);
  Status createTemp(const std::string& target);
  Status copyStaging();

  std::string path_;     // as given
  std::string target_;   // the file renamed over (a link's target when followed)
  std::string temp_;     // temporary beside target_
  std::string staging_;  // staging file of a streamed write
  std::string error_;
  int errorNumber_ = 0;
  Options options_;
  unsigned keepMode_ = kUsualMode;      // bits an existing target keeps
  unsigned keepUid_ = 0, keepGid_ = 0;  // and its owner
  int fd_ = -1;
  bool ownFd_ = false;
  bool streaming_ = false;
  bool committed_ = false;
};

// Appends data to the regular file at path (created when missing) as a
// rewrite: the old contents and data go to a temporary in the file's folder,
// which is flushed and renamed over the old file, so that the file on disk is
// at every instant the old or the new one. A symbolic link is followed; the
// file keeps its permission bits. Anything at path that is not a regular file
// (a FIFO, device, folder) is refused without being opened for writing and
// without blocking. WriteFailed, with errno set, the old file untouched and
// no temporary left, when the append fails (ReadFailed when the old contents
// could not be read). Concurrent appenders of one file hold its folder's
// write lock (file_lock.h), or one of them loses its data.
HV_EXPORT Status appendFileAtomically(const std::string& path, std::string_view data);

// Removes temporaries that killed rewrites of path left in its folder; only
// for callers holding the folder's write lock.
HV_EXPORT void removeStaleTemporaries(const std::string& path);

// What a failure's errno says, in the system's words ("No space left on
// device"), and "NAME: reason".
HV_EXPORT std::string systemReason(int err);
HV_EXPORT std::string fileError(const std::string& name, int err);

}  // namespace hv::platform
