#pragma once
// Saving into the tiled targets (CALS Type 2, EDMICS VI): every 512 x 512
// tile of the image is coded as an image of its own and handed to the
// writer between write-begin and write-end.
#include <cstdint>
#include <vector>

#include "engine/image_handle.h"
#include "formats/file_manager.h"

namespace hv::engine {

// Writes every tile of `mem` through the record's filter procedures. EDMICS VI
// tiles whose Group 4 code exceeds `maxTileBytes` are stored uncompressed.
// The first failure's Status (Stopped when the progress callback says so).
Status writeTiles(formats::ImageFileRecord* rec, const ImageMemory* mem, std::uint32_t maxTileBytes,
                  GrxProgress progress);

}  // namespace hv::engine
