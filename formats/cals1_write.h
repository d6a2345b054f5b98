#pragma once
// Writing CALS Type 1 files (filter 3): 16 header records, then one Group 4
// raster from byte 2048.
#include <cstdint>

#include "formats/file_manager.h"

namespace hv::formats {

// Write parameters of a CALS Type 1 file.
struct Cals1WriteParams {
  const char* header = nullptr;  // a caller-made 2560-byte header block, or null for the Form A template
  std::int32_t pelPath = kLeftToRight;
  std::int32_t lineProgression = kTopToBottom;
};
static_assert(sizeof(Cals1WriteParams) <= kWriteParamBytes);

Status cals1WriteSpecs(ImageFileRecord* r, const ImageSpecs* specs, const void* params, std::uint32_t size);
Status cals1WriteBegin(ImageFileRecord* r, const StripDesc* desc);
Status cals1WriteCodes(ImageFileRecord* r, WriteCodeBuffer* codes);
Status cals1WriteEnd(ImageFileRecord* r, const StripDesc* desc);

}  // namespace hv::formats
