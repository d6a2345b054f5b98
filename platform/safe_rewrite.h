#pragma once
// Rewriting an index file so that at every instant the file on disk is either
// the old one or the new one: the new contents go to a temporary file in the
// same folder, every write, the flush and the close are checked, and only then
// is the temporary renamed over the old file and the folder flushed.
//
// Callers that rewrite an index hold the folder's write lock (file_lock.h)
// for the whole read-modify-write; the rewrite then also clears temporaries
// that an earlier, killed writer of the same file left behind.
#include <string>
#include <string_view>

#include "platform/atomic_file.h"
#include "platform/export.h"

namespace hv::platform {

// Replaces the file at path (created when missing) by contents with the given
// permission bits, through an AtomicFile. A symbolic link at path is replaced
// by the new file, never followed, so a rewrite cannot write outside the
// folder; a device, FIFO or folder at path is refused. Returns WriteFailed, with errno set and the old file
// untouched, when any step up to and including the rename fails; the temporary is removed on every failure. A
// failed folder flush after the rename cannot be undone (the new file is already in place) and does not count
// as a failure.
HV_EXPORT Status rewriteFileSafely(const std::string& path, std::string_view contents, unsigned mode);

// Removes path and flushes its folder (an index that lost its last record).
// WriteFailed, with errno set, when path cannot be removed.
HV_EXPORT Status removeFileDurably(const std::string& path);

// Prefix of the temporaries of path's rewrites (".NAME." in the same folder).
HV_EXPORT std::string rewriteTempPrefix(const std::string& path);

}  // namespace hv::platform
