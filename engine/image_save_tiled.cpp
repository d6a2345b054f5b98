#include "engine/image_save_tiled.h"

#include <algorithm>

#include "engine/ccitt_encode.h"
#include "engine/image_memory.h"
#include "formats/tiled_write.h"

namespace hv::engine {

bool writeTiles(formats::ImageFileRecord* rec, const ImageMemory* mem, std::uint32_t maxTileBytes,
                GrxProgress progress) {
  const std::uint32_t side = formats::kWriteTileSide;
  const std::uint32_t across = (mem->width + side - 1) / side, down = (mem->height + side - 1) / side;
  std::vector<std::uint8_t> bytes;
  for (std::uint32_t row = 0; row < down; ++row) {
    for (std::uint32_t col = 0; col < across; ++col) {
      GrxRect rect{static_cast<std::int32_t>(col * side), static_cast<std::int32_t>(row * side),
                   static_cast<std::int32_t>(col * side + side), static_cast<std::int32_t>(row * side + side)};
      ImageMemory* tile = grxCopyImageRegion(mem, &rect, nullptr);
      if (tile == nullptr) return false;
      int code = formats::kCompG4;
      bool ok = encodeToBytes(tile, code, bytes) == Status::Ok;
      if (ok && bytes.size() > maxTileBytes) {
        // Noise or halftone: the code would not fit, the bitmap does.
        code = formats::kCompUncompressed;
        ok = encodeToBytes(tile, code, bytes) == Status::Ok;
      }
      freeImageMemory(tile);
      if (!ok) return false;
      formats::StripDesc desc{static_cast<std::uint32_t>(rect.left), static_cast<std::uint32_t>(rect.top),
                              std::min<std::uint32_t>(rect.right, mem->width),
                              std::min<std::uint32_t>(rect.bottom, mem->height)};
      rec->compression = code;
      if (formats::writeBegin(rec, &desc) != Status::Ok) return false;
      formats::WriteCodeBuffer buf{bytes.data(), 0, static_cast<std::uint32_t>(bytes.size() * 8),
                                   static_cast<std::uint32_t>(bytes.size())};
      if (!bytes.empty() && formats::writeCodes(rec, &buf) != Status::Ok) return false;
      if (formats::writeEnd(rec, &desc) != Status::Ok) return false;
    }
    if (progress && !progress(GRX_PROGRESS_SAVE, 0, std::min<long>((row + 1) * side, mem->height), mem->height)) return false;
  }
  return true;
}

}  // namespace hv::engine
