#pragma once
// File-type identification from a file's name and first bytes.
#include <cstdint>

#include "platform/export.h"

extern "C" {
// Identifies the file at path. Returns 1 when recognised and 0 otherwise.
// All five arguments must be non-null. documentType, filter and compression
// are reset to 0 on entry; headerOffset is 0 or 80 on success and 80 after an
// unrecognised file (untouched when the file could not be opened).
[[nodiscard]] HV_EXPORT int imfTypeDosFile(const char* path, int* documentType, int* filter, int* compression,
                                           std::uint32_t* headerOffset);
}

namespace hv::formats {
// True for a BigTIFF file (TIFF header with version 43), which is not read.
HV_EXPORT bool isBigTiff(const char* path);
}  // namespace hv::formats
