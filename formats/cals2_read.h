#pragma once
// CALS Type 2 files (filter 2): a CALS header block, then an ODA raster
// document in BER whose tiles are Group 4 coded, uncompressed or null.
#include "formats/file_manager.h"
#include "platform/export.h"

namespace hv::formats {

inline constexpr std::uint32_t kCals2StreamOffset = 2048;  // behind the CALS header block
inline constexpr std::uint8_t kOdaFirstByte = 0xA0;        // [0] document profile, constructed

ImageFileRecord* cals2Open(void* context, const char* path, int mode, std::uint32_t headerOffset);
HV_EXPORT ImageInformation cals2ImageInfo(ImageFileRecord* r);

}  // namespace hv::formats
