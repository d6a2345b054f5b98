#include "engine/image_save_tiled.h"

#include <algorithm>

#include "engine/ccitt_encode.h"
#include "engine/image_memory.h"
#include "formats/tiled_write.h"

namespace hv::engine {

Status writeTiles(formats::ImageFileRecord* rec, const ImageMemory* mem, std::uint32_t maxTileBytes,
                  GrxProgress progress) {
  const std::uint32_t side = formats::kWriteTileSide;
  const std::uint32_t across = (mem->width + side - 1) / side, down = (mem->height + side - 1) / side;
  std::vector<std::uint8_t> bytes;
  for (std::uint32_t row = 0; row < down; ++row) {
    for (std::uint32_t col = 0; col < across; ++col) {
      GrxRect rect{static_cast<std::int32_t>(col * side), static_cast<std::int32_t>(row * side),
                   static_cast<std::int32_t>(col * side + side), static_cast<std::int32_t>(row * side + side)};
      ImageMemory* tile = grxCopyImageRegion(mem, &rect, nullptr);
      if (tile == nullptr) return Status::NoMemory;
      int code = formats::kCompG4;
      Status encoded = encodeToBytes(tile, code, bytes);
      if (encoded == Status::Ok && bytes.size() > maxTileBytes) {
        // Noise or halftone: the code would not fit, the bitmap does.
        code = formats::kCompUncompressed;
        encoded = encodeToBytes(tile, code, bytes);
      }
      freeImageMemory(tile);
      if (encoded != Status::Ok) return encoded;
      formats::StripDesc desc{static_cast<std::uint32_t>(rect.left), static_cast<std::uint32_t>(rect.top),
                              std::min<std::uint32_t>(rect.right, mem->width),
                              std::min<std::uint32_t>(rect.bottom, mem->height)};
      rec->compression = code;
      if (Status begun = formats::writeBegin(rec, &desc); begun != Status::Ok) return begun;
      formats::WriteCodeBuffer buf{bytes.data(), 0, static_cast<std::uint32_t>(bytes.size() * 8),
                                   static_cast<std::uint32_t>(bytes.size())};
      if (!bytes.empty()) {
        if (Status written = formats::writeCodes(rec, &buf); written != Status::Ok) return written;
      }
      if (Status ended = formats::writeEnd(rec, &desc); ended != Status::Ok) return ended;
    }
    if (progress && !progress(GRX_PROGRESS_SAVE, 0, std::min<long>((row + 1) * side, mem->height), mem->height))
      return Status::Stopped;
  }
  return Status::Ok;
}

}  // namespace hv::engine
