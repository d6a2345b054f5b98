#pragma once
// TIFF files (filter 1): the first image of a bilevel TIFF, strips or tiles.
#include "formats/file_manager.h"
#include "formats/record_open.h"

namespace hv::formats {

ImageFileRecord* tiffOpen(void* context, const char* path, int mode, std::uint32_t headerOffset);

}  // namespace hv::formats
