#pragma once
// EDMICS V (filter 4: one Group 4 strip behind a 512-byte header) and
// EDMICS VI "C4" (filter 5: 512 x 512 tiles behind a 128-byte header and a
// tile index).
#include "formats/file_manager.h"
#include "platform/export.h"

namespace hv::formats {

ImageFileRecord* edmics5Open(void* context, const char* path, int mode, std::uint32_t headerOffset);
HV_EXPORT ImageInformation edmics5ImageInfo(ImageFileRecord* r);

ImageFileRecord* edmics6Open(void* context, const char* path, int mode, std::uint32_t headerOffset);
HV_EXPORT ImageInformation edmics6ImageInfo(ImageFileRecord* r);

// The height EDMICS VI derives when its header holds 0: the sheet height in
// inches (11, 17, 22, 34 or 44) that the width suggests, in lines rounded up
// to a multiple of 512.
std::uint32_t edmics6DerivedHeight(std::uint32_t widthBytes, std::uint32_t resolution);

}  // namespace hv::formats
