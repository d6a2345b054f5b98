#pragma once
// File operations on long paths: each translates the path to the form under
// which the file is stored, then acts on the stored file.
#include <sys/stat.h>

#include <cstdint>
#include <string>

#include "platform/export.h"

namespace hv::docindex {

// Deletes an aliased file and its record. shortPath may be null (the long
// path is translated). -1 with errno EACCES for a read-only file (nothing
// changes), ENOENT when the file or its record is missing; 0 when done.
HV_EXPORT int deleteLongFile(const std::string& longPath, const char* shortPath);

// Renames a file given by long paths. An aliased file keeps its stored name
// and its record gets the new long name (both paths must name the same
// folder, else EXDEV); a plain file is renamed. 0 or -1 with errno.
HV_EXPORT int renameLongFile(const std::string& oldLongPath, const std::string& newLongPath);

// stat(2) of the stored file of a long path.
HV_EXPORT int statLongFile(const std::string& longPath, struct stat* st);

// open(2), lseek(2), close(2), read(2), write(2) on the stored file of a long
// path; endOfLongFile is 1 at end of file, 0 before it, -1 on error.
HV_EXPORT int openLongFile(const std::string& longPath, int flags, unsigned mode = 0644);
HV_EXPORT std::int64_t seekLongFile(int fd, std::int64_t offset, int whence);
HV_EXPORT int closeLongFile(int fd);
HV_EXPORT long readLongFile(int fd, void* buf, std::size_t n);
HV_EXPORT bool writeLongFile(int fd, const void* buf, std::size_t n);
HV_EXPORT int endOfLongFile(int fd);

}  // namespace hv::docindex
