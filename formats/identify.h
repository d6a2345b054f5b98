#pragma once
// File-type identification from a file's name and first bytes.
#include <cstdint>

#include "platform/export.h"
#include "platform/status.h"

extern "C" {
// Identifies the file at path. Returns 1 when recognised and 0 otherwise.
// All five arguments must be non-null. documentType, filter and compression
// are reset to 0 on entry; headerOffset is 0 or 80 on success and 80 after an
// unrecognised file (untouched when the file could not be opened).
[[nodiscard]] HV_EXPORT int imfTypeDosFile(const char* path, int* documentType, int* filter, int* compression,
                                           std::uint32_t* headerOffset);
}

namespace hv::formats {

// What identification found out about a file.
struct Identification {
  int documentType = 0;
  int filter = 0;
  int compression = 0;
  std::uint32_t headerOffset = 0;  // 0, or 80 when found behind an 80-byte block
};

// Where identification looks a second time, behind a block of this many
// bytes; also the header offset given for a file it does not recognise.
inline constexpr std::uint32_t kSecondPassOffset = 80;

// The work behind imfTypeDosFile: NotFound for a file no test recognises,
// ReadFailed when the file cannot be opened.
Result<Identification> identifyFile(const char* path);

// True for a BigTIFF file (TIFF header with version 43), which is not read.
HV_EXPORT bool isBigTiff(const char* path);
}  // namespace hv::formats
