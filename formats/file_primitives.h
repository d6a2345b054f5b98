#pragma once
// The file manager's file primitives, with the flags its callers pass.
#include <cstddef>

namespace hv::formats {

enum FileFlags : unsigned {
  kFileReadAccess = 0x0001,
  kFileWriteAccess = 0x0002,
  kFileCreate = 0x0100,  // create (truncating): writable when an access bit is set, else read-only
  kFileRead = 0x8000,    // open an existing file for reading
};

// Returns a handle or -1.
int fileOpen(const char* path, unsigned flags);
// Byte transfers: the count moved, or -1 on an error.
long fileRead(int handle, void* buffer, std::size_t count);
long fileWrite(int handle, const void* buffer, std::size_t count);
void fileClose(int handle);

}  // namespace hv::formats
