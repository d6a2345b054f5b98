#pragma once
// The steps every format's open procedure shares: the mode check, a record
// with the file opened for reading or created for writing, and the clean
// failure that reports, closes and frees.
#include <cstdint>

#include "formats/image_file.h"
#include "platform/status.h"

namespace hv::formats {

// Ok for the reading modes (open_mode.h); any other mode reports "Unable to
// read %s" and "Unable to open %s" and gives BadArgument.
Status readingMode(int mode, const char* path);

// A new record for `filter` with the file opened read-only, its path, header
// offset and size set; null after reporting the failure.
ImageFileRecord* openRecordForReading(const char* path, int filter, std::uint32_t headerOffset);

// Opens a record for writing (kOpenWrite): creates or truncates the file and, for
// a non-zero header offset, allocates the prefix buffer.
ImageFileRecord* openForWriting(const char* path, int filter, std::uint32_t headerOffset);

// Reports `message` with `arg` (nothing when message < 0), closes the file,
// frees the record and returns null.
ImageFileRecord* failOpen(ImageFileRecord* r, int message, const char* arg);

// Copies path into the record's 512-byte path field; BadArgument (nothing
// copied) when too long.
Status setRecordPath(ImageFileRecord* r, const char* path);

}  // namespace hv::formats
