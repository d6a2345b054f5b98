#pragma once
// TIFF files (filter 1): the first image of a bilevel TIFF, strips or tiles.
#include "formats/file_manager.h"
#include "formats/record_open.h"

namespace hv::formats {

// The procedures bound for filter 1.
FilterProcs tiffFilter();

ImageFileRecord* tiffOpen(void* context, const char* path, int mode, std::uint32_t headerOffset);

}  // namespace hv::formats
