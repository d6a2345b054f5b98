#pragma once
// Writers of the tiled formats: CALS Type 2 (kFilterCals2) and EDMICS VI
// (kFilterEdmics6). The caller codes each 512 x 512 tile as an image of its
// own and hands it over between write-begin and write-end; the record's
// compression tells the tile's coding (kCompG4, or kCompUncompressed rows).
#include <cstdint>

#include "formats/file_manager.h"

namespace hv::formats {

inline constexpr std::uint32_t kWriteTileSide = 512;

struct Cals2WriteParams {
  const char* header = nullptr;        // a caller-made 2560-byte header block, or null for the Form A template
  const char* templatePath = nullptr;  // the element tree file; null: the shipped "d1.cal"
  std::int32_t pelPath = kLeftToRight;
  std::int32_t lineProgression = kTopToBottom;
};
static_assert(sizeof(Cals2WriteParams) <= kWriteParamBytes);

struct Edm6WriteParams {
  const char* card = nullptr;  // the 80-column card text, or null for 80 zero bytes
};
static_assert(sizeof(Edm6WriteParams) <= kWriteParamBytes);

Status cals2WriteSpecs(ImageFileRecord* r, const ImageSpecs* specs, const void* params, std::uint32_t size);
Status edm6WriteSpecs(ImageFileRecord* r, const ImageSpecs* specs, const void* params, std::uint32_t size);
// Shared by both: a tile begins, its bytes, the tile ends. The last tile's
// write-end completes the file.
Status tiledWriteBegin(ImageFileRecord* r, const StripDesc* desc);
Status tiledWriteCodes(ImageFileRecord* r, WriteCodeBuffer* codes);
Status tiledWriteEnd(ImageFileRecord* r, const StripDesc* desc);

}  // namespace hv::formats
