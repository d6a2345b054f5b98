#pragma once
// TIFF files (filter 1): the first image of a bilevel TIFF, strips or tiles.
#include "formats/file_manager.h"

namespace hv::formats {

// The procedures bound for filter 1.
FilterProcs tiffFilter();

ImageFileRecord* tiffOpen(void* context, const char* path, int mode, std::uint32_t headerOffset);

// Opens a record for writing (mode 1): creates or truncates the file and, for
// a non-zero header offset, allocates the prefix buffer. Shared by every
// format's open.
ImageFileRecord* openForWriting(const char* path, int filter, std::uint32_t headerOffset);

// Copies path into the record's 512-byte path field; false when too long.
bool setRecordPath(ImageFileRecord* r, const char* path);

}  // namespace hv::formats
