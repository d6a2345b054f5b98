#pragma once
// File primitives of the core: thin wrappers over POSIX descriptors that
// retry interrupted calls and report failures by result, never by message.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/export.h"
#include "platform/status.h"

namespace hv::platform {

// Opens path with open(2) flags; returns a descriptor or -1.
HV_EXPORT int openFile(const char* path, int flags, unsigned mode = 0644);
HV_EXPORT void closeFile(int fd);

// Opens path for reading only when it is a regular file (a symbolic link to
// one counts): checked before opening and again on the open descriptor, and
// opened non-blocking, so a FIFO or device put in a file's place can never
// hang the caller. -1 with errno EISDIR for a folder, ENXIO for anything
// else that is not a regular file, or open's own errno.
HV_EXPORT int openRegularFile(const char* path);
// "a folder", "a FIFO", "a device", ... for what is at path; "" for a
// regular file or when nothing is there.
HV_EXPORT std::string fileKind(const std::string& path);

// Reads up to n bytes, looping over short reads; returns bytes read (0 at
// end of file) or -1 on error.
HV_EXPORT long readFull(int fd, void* buf, std::size_t n);
// Reads up to n bytes at an absolute offset without moving the file position.
HV_EXPORT long readAt(int fd, void* buf, std::size_t n, std::int64_t offset);
// Writes all n bytes; returns false when any byte could not be written.
HV_EXPORT bool writeFull(int fd, const void* buf, std::size_t n);
// lseek(2); returns the new position or -1.
HV_EXPORT std::int64_t seekFile(int fd, std::int64_t offset, int whence);
// Size of an open file, -1 on error.
HV_EXPORT std::int64_t fileSize(int fd);

// Reads a whole regular file (at most maxBytes) into out. ReadFailed, with
// errno set (EFBIG when it is larger than maxBytes), when it cannot be read.
HV_EXPORT Status readWholeFile(const std::string& path, std::string& out, std::size_t maxBytes = 64u << 20);

}  // namespace hv::platform
