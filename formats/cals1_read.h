#pragma once
// CALS Type 1 files (filter 3): ASCII header records and one Group 4 strip.
#include "formats/file_manager.h"
#include "platform/export.h"

namespace hv::formats {

ImageFileRecord* cals1Open(void* context, const char* path, int mode, std::uint32_t headerOffset);
HV_EXPORT ImageInformation cals1ImageInfo(ImageFileRecord* r);

}  // namespace hv::formats
