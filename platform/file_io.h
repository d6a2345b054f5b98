#pragma once
// File primitives of the core: thin wrappers over POSIX descriptors that
// retry interrupted calls and report failures by result, never by message.
#include <cstddef>
#include <cstdint>
#include <string>

namespace hv::platform {

// Opens path with open(2) flags; returns a descriptor or -1.
int openFile(const char* path, int flags, unsigned mode = 0644);
void closeFile(int fd);

// Reads up to n bytes, looping over short reads; returns bytes read (0 at
// end of file) or -1 on error.
long readFull(int fd, void* buf, std::size_t n);
// Reads up to n bytes at an absolute offset without moving the file position.
long readAt(int fd, void* buf, std::size_t n, std::int64_t offset);
// Writes all n bytes; returns false when any byte could not be written.
bool writeFull(int fd, const void* buf, std::size_t n);
// lseek(2); returns the new position or -1.
std::int64_t seekFile(int fd, std::int64_t offset, int whence);
// Size of an open file, -1 on error.
std::int64_t fileSize(int fd);

// Reads a whole file (at most maxBytes) into out; false when it cannot be read.
bool readWholeFile(const std::string& path, std::string& out, std::size_t maxBytes = 64u << 20);

}  // namespace hv::platform
