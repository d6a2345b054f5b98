#pragma once
// Audre files (filter 6): an uncompressed raster behind a 1024-byte ASCII
// header. Read-only: opening for writing is refused.
#include "formats/file_manager.h"
#include "platform/export.h"

namespace hv::formats {

ImageFileRecord* audreOpen(void* context, const char* path, int mode, std::uint32_t headerOffset);
HV_EXPORT ImageInformation audreImageInfo(ImageFileRecord* r);
Status audreGetCodeBuf(ImageFileRecord* r, CodeBuffer* buf, CodeInfo* info, int* compression);
Status audreSeek(ImageFileRecord* r, const SeekRequest& wanted, CodeBuffer* buf, CodeInfo* info,
                 int* compression, std::uint16_t* refLine, std::uint32_t refLineEntries, SeekResult* result);

// Decimal digits up to the first non-digit (at most `n` characters).
std::uint32_t audreNumber(const std::uint8_t* p, std::size_t n);

}  // namespace hv::formats
