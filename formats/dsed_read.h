#pragma once
// IMPORT/EXPORT images (filter 7) as this program writes them: a header
// starting 0xF9 0xF9 with the size, resolution and coding, then one Group 4
// wrap raster (the layout in raster_write.h).
#include "formats/file_manager.h"
#include "platform/export.h"

namespace hv::formats {

ImageFileRecord* dsedOpen(void* context, const char* path, int mode, std::uint32_t headerOffset);
HV_EXPORT ImageInformation dsedImageInfo(ImageFileRecord* r);

}  // namespace hv::formats
