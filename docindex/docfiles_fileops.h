#pragma once
// File operations on long paths: each translates the path to the form under
// which the file is stored, then acts on the stored file.
#include <cstdint>
#include <string>
#include <sys/stat.h>

namespace hv::docindex {

// Deletes an aliased file and its record. shortPath may be null (the long
// path is translated). -1 with errno EACCES for a read-only file (nothing
// changes), ENOENT when the file or its record is missing; 0 when done.
int deleteLongFile(const std::string& longPath, const char* shortPath);

// Renames a file given by long paths. An aliased file keeps its stored name
// and its record gets the new long name (both paths must name the same
// folder, else EXDEV); a plain file is renamed. 0 or -1 with errno.
int renameLongFile(const std::string& oldLongPath, const std::string& newLongPath);

// stat(2) of the stored file of a long path.
int statLongFile(const std::string& longPath, struct stat* st);

// open(2), lseek(2), close(2), read(2), write(2) on the stored file of a long
// path; endOfLongFile is 1 at end of file, 0 before it, -1 on error.
int openLongFile(const std::string& longPath, int flags, unsigned mode = 0644);
std::int64_t seekLongFile(int fd, std::int64_t offset, int whence);
int closeLongFile(int fd);
long readLongFile(int fd, void* buf, std::size_t n);
bool writeLongFile(int fd, const void* buf, std::size_t n);
int endOfLongFile(int fd);

}  // namespace hv::docindex
